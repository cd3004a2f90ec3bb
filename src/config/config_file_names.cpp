#include "config/config_file_names.h"

#include <algorithm>

namespace orvo {
namespace {

std::wstring_view FileNamePart(std::wstring_view path) noexcept {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

std::wstring WithoutForbiddenCharacters(std::wstring_view text) {
    constexpr std::wstring_view kForbidden = L"\\?\"|><:/*";
    std::wstring kept;
    kept.reserve(text.size());
    for (const wchar_t c : text) {
        if (c >= L' ' && kForbidden.find(c) == std::wstring_view::npos) {
            kept += c;
        }
    }
    return kept;
}

bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) noexcept {
    auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](wchar_t x, wchar_t y) { return lower(x) == lower(y); });
}

// The system takes these base names for devices, whatever follows their first "."
// and whatever blanks end them.
bool IsDeviceName(std::wstring_view base) noexcept {
    base = base.substr(0, base.find_last_not_of(L' ') + 1);
    for (std::wstring_view device : {L"con", L"prn", L"aux", L"nul", L"conin$", L"conout$"}) {
        if (EqualsIgnoringAsciiCase(base, device)) return true;
    }
    constexpr std::wstring_view kPortDigits = L"0123456789\u00b9\u00b2\u00b3";
    return base.size() == 4 && kPortDigits.find(base[3]) != std::wstring_view::npos &&
           (EqualsIgnoringAsciiCase(base.substr(0, 3), L"com") || EqualsIgnoringAsciiCase(base.substr(0, 3), L"lpt"));
}

}  // namespace

std::optional<std::wstring> ConfigPathFor(std::wstring_view executablePath) {
    const std::size_t dot = executablePath.find_last_of(L'.');
    const std::size_t slash = executablePath.find_last_of(L'\\');
    // A dot that only appears in a folder name would put the file one level up
    // (C:\App.v2\run gives C:\App.ini), so such a path has no configuration.
    if (dot == std::wstring_view::npos || (slash != std::wstring_view::npos && dot < slash)) {
        return std::nullopt;
    }
    std::wstring path(executablePath.substr(0, dot + 1));
    path += L"ini";
    return path;
}

std::wstring UserConfigFileName(std::wstring_view sourcePath) {
    std::wstring_view name = FileNamePart(sourcePath);
    const std::size_t dot = name.find_last_of(L'.');
    std::wstring fileName(name.substr(0, dot));
    fileName += L".ini";
    return fileName;
}

std::wstring SafeFolderName(std::wstring_view text) {
    std::wstring folder = WithoutForbiddenCharacters(text);
    folder.erase(folder.find_last_not_of(L". ") + 1);
    const std::size_t baseEnd = std::min(folder.find(L'.'), folder.size());
    if (IsDeviceName(std::wstring_view(folder).substr(0, baseEnd))) {
        folder.insert(baseEnd, 1, L'_');
    }
    return folder;
}

UserConfigLocation UserConfigLocationFor(std::wstring_view appData, std::wstring_view productName,
                                         std::wstring_view productCode, std::wstring_view sourcePath) {
    UserConfigLocation location;
    location.productFolder = std::wstring(appData) + L"\\" + SafeFolderName(productName);
    location.codeFolder = location.productFolder + L"\\" + SafeFolderName(productCode);
    location.file = location.codeFolder + L"\\" + UserConfigFileName(sourcePath);
    return location;
}

std::wstring ServiceEventSource(std::wstring_view productName, std::wstring_view executablePath) {
    if (!productName.empty()) return std::wstring(productName);
    std::wstring_view name = FileNamePart(executablePath);
    return std::wstring(name.substr(0, name.find_last_of(L'.')));
}

}  // namespace orvo
