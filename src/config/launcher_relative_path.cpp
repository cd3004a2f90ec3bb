#include "config/launcher_relative_path.h"

namespace orvo {
namespace {

bool IsAbsolute(std::wstring_view text) noexcept {
    return text.size() >= 2 && (text.starts_with(L"\\\\") || text[1] == L':');
}

}  // namespace

std::wstring ResolveFromLauncherFolder(std::wstring_view text, std::wstring_view launcherPath) {
    if (text.empty() || IsAbsolute(text)) {
        return std::wstring(text);
    }
    const std::size_t slash = launcherPath.find_last_of(L'\\');
    if (slash == std::wstring_view::npos) {
        return std::wstring(text);
    }
    std::wstring path(launcherPath.substr(0, slash + 1));
    path += text;
    return path;
}

}  // namespace orvo
