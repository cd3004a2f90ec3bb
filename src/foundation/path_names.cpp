#include "foundation/path_names.h"

#include <windows.h>

#include "foundation/path_text.h"

namespace orvo {

namespace {

std::optional<std::wstring> ShortPathNameText(const std::wstring& path) {
    std::wstring longForm = ToLongPathFormText(path);
    DWORD needed = GetShortPathNameW(longForm.c_str(), nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::wstring buffer(needed, L'\0');
    DWORD written = GetShortPathNameW(longForm.c_str(), buffer.data(), needed);
    if (written == 0 || written >= needed) return std::nullopt;
    buffer.resize(written);
    return buffer;
}

// "\\?\C:\x" back to "C:\x" and "\\?\UNC\s\x" back to "\\s\x".
std::wstring WithoutLongPathPrefix(const std::wstring& path) {
    if (path.rfind(kLongUncPrefix, 0) == 0) return L"\\" + path.substr(kLongUncPrefix.size());
    if (path.rfind(kLongPathPrefix, 0) == 0) return path.substr(kLongPathPrefix.size());
    return path;
}

}  // namespace

std::optional<std::wstring> FullPathName(const std::wstring& path) {
    DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return std::nullopt;
    std::wstring buffer(needed, L'\0');
    DWORD written = GetFullPathNameW(path.c_str(), needed, buffer.data(), nullptr);
    if (written == 0 || written >= needed) return std::nullopt;
    buffer.resize(written);
    return buffer;
}

std::wstring ToLongPathForm(const std::wstring& path) {
    // The prefix turns off the system's own completion of a path: a relative or
    // dotted one is made full first, or the prefixed text names nothing.
    if (path.size() < MAX_PATH || path.starts_with(L"\\\\?\\")) return ToLongPathFormText(path);
    return ToLongPathFormText(FullPathName(path).value_or(path));
}

std::optional<std::wstring> ShortPathName(const std::wstring& path) {
    std::optional<std::wstring> shortPath = ShortPathNameText(path);
    if (!shortPath) return std::nullopt;
    return WithoutLongPathPrefix(*shortPath);
}

std::wstring ClassicLengthPath(const std::wstring& path) {
    if (path.size() < kClassicMaxPath) return path;
    if (std::optional<std::wstring> shortPath = ShortPathNameText(path)) {
        std::wstring plain = WithoutLongPathPrefix(*shortPath);
        if (plain.size() < kClassicMaxPath) return plain;
    }
    std::size_t cut = path.rfind(L'\\');
    if (cut == std::wstring::npos) return path;
    if (std::optional<std::wstring> shortFolder = ShortPathNameText(path.substr(0, cut))) {
        std::wstring plain = WithoutLongPathPrefix(*shortFolder) + path.substr(cut);
        if (plain.size() < kClassicMaxPath) return plain;
    }
    return path;
}

std::wstring ExpandEnvironment(const std::wstring& text) {
    DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0) return {};
    std::wstring buffer(needed, L'\0');
    if (ExpandEnvironmentStringsW(text.c_str(), buffer.data(), needed) == 0) return {};
    buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
    return buffer;
}

}  // namespace orvo
