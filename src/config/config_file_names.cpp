#include "config/config_file_names.h"

namespace orvo {
namespace {

std::wstring_view FileNamePart(std::wstring_view path) noexcept {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
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

std::wstring SanitizeProductName(std::wstring_view productName) {
    constexpr std::wstring_view kForbidden = L"\\?\"|><:/*";
    std::wstring folder;
    folder.reserve(productName.size());
    for (const wchar_t c : productName) {
        if (kForbidden.find(c) == std::wstring_view::npos) {
            folder += c;
        }
    }
    return folder;
}

UserConfigLocation UserConfigLocationFor(std::wstring_view appData, std::wstring_view productName,
                                         std::wstring_view productCode, std::wstring_view sourcePath) {
    UserConfigLocation location;
    location.productFolder = std::wstring(appData) + L"\\" + SanitizeProductName(productName);
    location.codeFolder = location.productFolder + L"\\" + std::wstring(productCode);
    location.file = location.codeFolder + L"\\" + UserConfigFileName(sourcePath);
    return location;
}

std::wstring ServiceEventSource(std::wstring_view productName, std::wstring_view executablePath) {
    if (!productName.empty()) return std::wstring(productName);
    std::wstring_view name = FileNamePart(executablePath);
    return std::wstring(name.substr(0, name.find_last_of(L'.')));
}

}  // namespace orvo
