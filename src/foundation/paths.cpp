#include "foundation/paths.h"

#include <vector>

#include "foundation/error_box.h"
#include "foundation/messages.h"

namespace orvo {

namespace {

constexpr std::size_t kMaxPatternLength = 32766;

void ReportModulePathFailure(DWORD error) {
    ShowErrorBoxWithCode(ErrorBoxOwner(), LoadMessage(IDS_WINDOWS_EXCEPTION),
                         LoadMessage(IDS_MODULE_PATH_FAILED), static_cast<int>(error));
}

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

// Undoes a failed creation: only folders this call made go, deepest first, and
// only while empty; a folder that was there before is never touched.
void RemoveCreatedFolders(const std::vector<std::wstring>& created) {
    for (auto folder = created.rbegin(); folder != created.rend(); ++folder) {
        RemoveDirectoryW(ToLongPathFormText(*folder).c_str());
    }
}

std::optional<std::wstring> ReadLauncherPath() {
    std::optional<std::wstring> path = ModuleFileName(nullptr);
    if (!path) ReportModulePathFailure(GetLastError());
    return path;
}

}  // namespace

std::optional<std::wstring> ModuleFileName(HMODULE module) {
    // GetModuleFileNameW cuts a long path to the buffer without failing, so grow
    // the buffer until the whole path fits: a cut path would name another file.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::nullopt;
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        if (buffer.size() >= 32768) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return std::nullopt;
        }
        buffer.resize(buffer.size() * 2);
    }
}

namespace {

// Read once: the path cannot change while the process runs, and a failure shows its
// box only once however many steps ask. InitOnce rather than a function-local static,
// whose guard would link the C++ runtime's thread library into the launchers.
INIT_ONCE launcherPathOnce = INIT_ONCE_STATIC_INIT;
std::optional<std::wstring> launcherPath;

BOOL CALLBACK ReadLauncherPathOnce(PINIT_ONCE, PVOID, PVOID*) {
    launcherPath = ReadLauncherPath();
    return TRUE;
}

}  // namespace

std::optional<std::wstring> GetLauncherPath() {
    InitOnceExecuteOnce(&launcherPathOnce, &ReadLauncherPathOnce, nullptr, nullptr);
    return launcherPath;
}

std::optional<std::wstring> GetLauncherFolder() {
    std::optional<std::wstring> launcherPath = GetLauncherPath();
    if (!launcherPath) return std::nullopt;
    return FolderOf(*launcherPath);
}

std::optional<std::wstring> FullPathName(const std::wstring& path) {
    DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return std::nullopt;
    std::wstring buffer(needed, L'\0');
    DWORD written = GetFullPathNameW(path.c_str(), needed, buffer.data(), nullptr);
    if (written == 0 || written >= needed) return std::nullopt;
    buffer.resize(written);
    return buffer;
}

bool FileExists(const std::wstring& pathOrPattern) {
    WIN32_FIND_DATAW data;
    UniqueFindHandle search(FindFirstFileW(pathOrPattern.c_str(), &data));
    return static_cast<bool>(search);
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

std::wstring ToLongPathForm(const std::wstring& path) {
    // The prefix turns off the system's own completion of a path: a relative or
    // dotted one is made full first, or the prefixed text names nothing.
    if (path.size() < MAX_PATH || path.starts_with(L"\\\\?\\")) return ToLongPathFormText(path);
    return ToLongPathFormText(FullPathName(path).value_or(path));
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
