#include "discovery/registry_reader.h"

#include <algorithm>

namespace orvo {
namespace {

// A registry key name has at most 255 characters.
constexpr DWORD kMaxKeyNameLength = 255;
// Most values (a folder, a colour) fit the first buffer and are read with one call.
constexpr DWORD kFirstReadBytes = 520;
// A value that grows between two reads is read again this often before the read
// counts as failed.
constexpr int kReadAttempts = 3;

REGSAM AccessFor(RegistryView view) {
    // Without a flag the process's own view is read; KEY_WOW64_64KEY is harmless
    // on 32-bit Windows, where there is only one view.
    return view == RegistryView::Wide64 ? KEY_READ | KEY_WOW64_64KEY : KEY_READ;
}

// The value's data and, in `type`, its type; nullopt for a missing or empty value.
std::optional<std::vector<BYTE>> ReadValueBytes(HKEY key, const wchar_t* valueName, DWORD& type) {
    std::vector<BYTE> bytes(kFirstReadBytes);
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD read = static_cast<DWORD>(bytes.size());
        LSTATUS status = RegQueryValueExW(key, valueName, nullptr, &type, bytes.data(), &read);
        if (status == ERROR_SUCCESS) {
            if (read == 0) return std::nullopt;
            bytes.resize(std::min<std::size_t>(read, bytes.size()));
            return bytes;
        }
        // Too small: the call has put the size the value needs now in `read`.
        if (status != ERROR_MORE_DATA || read <= bytes.size()) return std::nullopt;
        bytes.resize(read);
    }
    return std::nullopt;
}

// The data carries no promise of a terminating NUL or of an even length, so the
// text is cut from whole UTF-16 units inside the data only.
std::wstring TextUpToFirstNul(const std::vector<BYTE>& bytes) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        wchar_t unit = static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == L'\0') break;
        text.push_back(unit);
    }
    return text;
}

}  // namespace

std::optional<UniqueRegKey> OpenRegistryKey(HKEY parent, const std::wstring& path,
                                            RegistryView view) {
    // The out-handle is adopted only on success: a failed open promises nothing about it.
    HKEY opened = nullptr;
    if (RegOpenKeyExW(parent, path.c_str(), 0, AccessFor(view), &opened) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return UniqueRegKey(opened);
}

std::vector<std::wstring> RegistrySubkeyNames(HKEY key) {
    std::vector<std::wstring> names;
    wchar_t name[kMaxKeyNameLength + 1];
    for (DWORD index = 0;; ++index) {
        DWORD length = kMaxKeyNameLength + 1;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    return names;
}

std::optional<std::wstring> ReadRegistryText(HKEY key, const wchar_t* valueName) {
    DWORD type = REG_NONE;
    std::optional<std::vector<BYTE>> bytes = ReadValueBytes(key, valueName, type);
    if (!bytes) return std::nullopt;
    return TextUpToFirstNul(*bytes);
}

std::optional<std::wstring> ReadRegistryString(HKEY key, const wchar_t* valueName) {
    DWORD type = REG_NONE;
    std::optional<std::vector<BYTE>> bytes = ReadValueBytes(key, valueName, type);
    if (!bytes || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    return TextUpToFirstNul(*bytes);
}

}  // namespace orvo
