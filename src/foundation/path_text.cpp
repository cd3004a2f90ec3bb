#include "foundation/path_text.h"

namespace orvo {

namespace {
bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}
}  // namespace

bool IsUncPath(std::wstring_view path) {
    if (StartsWith(path, kLongUncPrefix)) return true;
    if (StartsWith(path, kLongPathPrefix)) return false;
    return StartsWith(path, L"\\\\");
}

std::wstring ToLongPathFormText(std::wstring_view path) {
    if (path.size() < kClassicMaxPath) return std::wstring(path);
    if (IsUncPath(path)) {
        if (StartsWith(path, kLongUncPrefix)) return std::wstring(path);
        return std::wstring(kLongUncPrefix) + std::wstring(path.substr(2));
    }
    if (StartsWith(path, kLongPathPrefix)) return std::wstring(path);
    return std::wstring(kLongPathPrefix) + std::wstring(path);
}

std::wstring StripPathComponents(std::wstring path, int count) {
    for (int i = 0; i < count; ++i) {
        std::size_t cut = path.rfind(L'\\');
        if (cut != std::wstring::npos) path.erase(cut);
    }
    return path;
}

std::wstring WithTrailingBackslash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
}

std::wstring FolderOf(std::wstring_view path) {
    std::size_t cut = path.rfind(L'\\');
    return std::wstring(cut == std::wstring_view::npos ? path : path.substr(0, cut));
}

PathWalk SplitPathForCreation(std::wstring_view path) {
    PathWalk walk;
    walk.unc = IsUncPath(path);
    std::wstring_view prefix;
    if (StartsWith(path, kLongPathPrefix)) {
        prefix = path.find(kLongUncPrefix) != std::wstring_view::npos ? kLongUncPrefix : kLongPathPrefix;
    }
    std::wstring_view rest = path.substr(prefix.size());
    std::size_t searchFrom = (walk.unc && StartsWith(rest, L"\\\\")) ? 2 : 0;
    std::size_t cut = rest.find(L'\\', searchFrom);
    if (cut == std::wstring_view::npos) {
        walk.components.push_back(std::wstring(prefix) + std::wstring(rest));
        return walk;
    }
    walk.components.push_back(std::wstring(prefix) + std::wstring(rest.substr(0, cut)));
    rest.remove_prefix(cut + 1);
    for (;;) {
        std::size_t next = rest.find(L'\\');
        walk.components.emplace_back(rest.substr(0, next));
        if (next == std::wstring_view::npos) break;
        rest.remove_prefix(next + 1);
    }
    return walk;
}

}  // namespace orvo
