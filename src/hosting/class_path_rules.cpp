#include "hosting/class_path_rules.h"

namespace orvo {

namespace {

// Windows accepts '/' as a separator too; cutting only at '\' would name a match of
// "C:\app/lib/*.jar" as "C:\app\a.jar", a file that is not there.
size_t LastSeparator(std::wstring_view path) { return path.find_last_of(L"\\/"); }

bool NeedsExpansion(std::wstring_view piece) {
    return !IsAbsoluteClassPathPiece(piece) || piece.find(L'*') != std::wstring_view::npos;
}

void AppendEntry(std::wstring& classPath, std::wstring_view entry) {
    classPath.append(entry);
    classPath += L';';
}

// Calls `visit` with every non-empty entry of the setting, expanded, in order. An empty
// entry would search the launcher's folder itself.
template <typename Visit>
void ForEachEntry(std::wstring_view setting, const ClassPathServices& services, Visit visit) {
    std::size_t start = 0;
    while (start <= setting.size()) {
        std::size_t end = setting.find(L';', start);
        if (end == std::wstring_view::npos) end = setting.size();
        std::wstring piece = services.expand(std::wstring(setting.substr(start, end - start)));
        if (!piece.empty()) visit(piece);
        start = end + 1;
    }
}

void AppendMatches(std::wstring& classPath, std::wstring_view piece, std::wstring_view launcherPath,
                   const ClassPathServices& services) {
    std::wstring pattern = ClassPathSearchPattern(piece, launcherPath);
    for (const std::wstring& name : services.findNames(pattern)) {
        AppendEntry(classPath, ClassPathMatchPath(pattern, name));
    }
}

}  // namespace

bool IsAbsoluteClassPathPiece(std::wstring_view piece) {
    return piece.size() >= 2 && (piece[1] == L':' || (piece[0] == L'\\' && piece[1] == L'\\'));
}

std::wstring ClassPathSearchPattern(std::wstring_view piece, std::wstring_view launcherPath) {
    if (IsAbsoluteClassPathPiece(piece)) return std::wstring(piece);
    std::wstring pattern(launcherPath.substr(0, launcherPath.rfind(L'\\')));
    pattern += L'\\';
    pattern.append(piece);
    return pattern;
}

std::wstring ClassPathMatchPath(std::wstring_view pattern, std::wstring_view fileName) {
    size_t separator = LastSeparator(pattern);
    std::wstring path;
    if (separator != std::wstring_view::npos) {
        path.assign(pattern.substr(0, separator));
        path += L'\\';
    } else if (pattern.size() >= 2 && pattern[1] == L':') {
        // "C:*.jar" searches drive C's current folder; its matches are "C:name".
        path.assign(pattern.substr(0, 2));
    }
    path.append(fileName);
    return path;
}

std::wstring BuildClassPath(std::wstring_view setting, std::wstring_view launcherPath,
                            bool embeddedJar, const ClassPathServices& services) {
    std::wstring classPath;
    ForEachEntry(setting, services, [&](const std::wstring& piece) {
        if (NeedsExpansion(piece)) AppendMatches(classPath, piece, launcherPath, services);
        else AppendEntry(classPath, piece);
    });
    if (embeddedJar) classPath = std::wstring(launcherPath) + L';' + classPath;
    return classPath;
}

std::vector<std::wstring> MissingClassPathEntries(std::wstring_view setting, std::wstring_view launcherPath,
                                                  const ClassPathServices& services) {
    std::vector<std::wstring> lookedFor;
    bool anyFound = false;
    ForEachEntry(setting, services, [&](const std::wstring& piece) {
        if (anyFound) return;
        if (NeedsExpansion(piece)) {
            std::wstring pattern = ClassPathSearchPattern(piece, launcherPath);
            anyFound = !services.findNames(pattern).empty();
            lookedFor.push_back(std::move(pattern));
        } else {
            anyFound = services.exists(piece);
            lookedFor.push_back(piece);
        }
    });
    if (anyFound) lookedFor.clear();
    return lookedFor;
}

}  // namespace orvo
