#include "foundation/paths.h"

#include <vector>

#include "foundation/path_names.h"

namespace orvo {

namespace {

constexpr std::size_t kMaxPatternLength = 32766;

// Undoes a failed creation: only folders this call made go, deepest first, and
// only while empty; a folder that was there before is never touched.
void RemoveCreatedFolders(const std::vector<std::wstring>& created) {
    for (auto folder = created.rbegin(); folder != created.rend(); ++folder) {
        RemoveDirectoryW(ToLongPathFormText(*folder).c_str());
    }
}

}  // namespace

bool FileExists(const std::wstring& pathOrPattern) {
    // A plain path is one look-up; a search opens and reads the folder, which the
    // runtime search would pay several times for every registered runtime.
    if (pathOrPattern.find_first_of(L"*?") == std::wstring::npos) {
        return GetFileAttributesW(pathOrPattern.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    WIN32_FIND_DATAW data;
    UniqueFindHandle search(FindFirstFileW(pathOrPattern.c_str(), &data));
    return static_cast<bool>(search);
}

bool FolderExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool AbsolutePathExists(const std::wstring& path) {
    if (path.size() < 2) return false;
    bool unc = path[0] == L'\\' && path[1] == L'\\';
    if (!unc && path[1] != L':') return false;
    WIN32_FIND_DATAW data;
    UniqueFindHandle search(FindFirstFileW(path.c_str(), &data));
    if (search) return true;
    return GetLastError() == 0;
}

DWORD CreateParentDirectories(const std::wstring& filePath) {
    if (AbsolutePathExists(filePath)) return 0;
    PathWalk walk = SplitPathForCreation(filePath);
    const auto& parts = walk.components;
    std::wstring current = parts.front();
    std::vector<std::wstring> created;
    DWORD remembered = 0;
    for (std::size_t i = 1; i + 1 < parts.size(); ++i) {
        std::wstring candidate = current + L"\\" + parts[i];
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            created.push_back(candidate);
            current = std::move(candidate);
            continue;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS) remembered = error;
        if (error == ERROR_ALREADY_EXISTS || walk.unc) {  // server and share levels cannot be created
            current = std::move(candidate);
            continue;
        }
        RemoveCreatedFolders(created);
        break;
    }
    return remembered;
}

bool FileFinder::FindFile(const std::wstring& pattern) {
    search_.reset();
    found_ = false;
    root_.clear();
    std::wstring effective = pattern.empty() ? std::wstring(L"*.*") : pattern;
    if (effective.size() > kMaxPatternLength) return false;
    effective = ToLongPathForm(effective);
    search_.reset(FindFirstFileW(effective.c_str(), &data_));
    if (!search_) return false;
    std::optional<std::wstring> full = FullPathName(effective);
    if (!full) {
        search_.reset();
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    std::size_t cut = full->find_last_of(L"\\/");
    root_ = cut == std::wstring::npos ? *full : full->substr(0, cut);
    found_ = true;
    return true;
}

}  // namespace orvo
