#include "foundation/launcher_path.h"

#include "foundation/error_box.h"
#include "foundation/messages.h"
#include "foundation/path_text.h"

namespace orvo {

namespace {

void ReportModulePathFailure(DWORD error) {
    ShowErrorBoxWithCode(ErrorBoxOwner(), LoadMessage(IDS_WINDOWS_EXCEPTION),
                         LoadMessage(IDS_MODULE_PATH_FAILED), static_cast<int>(error));
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

}  // namespace orvo
