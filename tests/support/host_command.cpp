#include "support/host_command.h"

#include <optional>

#include "foundation/unique_handle.h"
#include "support/command_line_quoting.h"
#include "support/file_tree.h"
#include "support/harness_error.h"
#include "support/test_environment.h"
#include "support/wide_text.h"

namespace orvo::test {
namespace {

using UnixFileNameFunction = char*(CDECL*)(const wchar_t*);

std::wstring FromAscii(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Single quotes keep every character but the quote itself, which the paths here never hold.
std::string ShellQuoted(const std::string& text) { return "'" + text + "'"; }

std::optional<int> ReadStatus(const std::wstring& statusPath) {
    const std::optional<std::string> text = ReadFileBytes(statusPath);
    if (!text || text->empty()) return std::nullopt;
    return std::stoi(*text);
}

}  // namespace

bool RunningUnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::string HostPath(const std::wstring& windowsPath) {
    const auto toUnix = reinterpret_cast<UnixFileNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) throw HarnessError(L"the host's tools are only reachable under wine");
    char* unixPath = toUnix(windowsPath.c_str());
    if (!unixPath) throw HarnessError(L"no host path for " + windowsPath);
    std::string path(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return path;
}

int RunHostCommand(const std::string& command, const std::wstring& logPath, DWORD timeoutMs) {
    const std::wstring statusPath = TestScratchFolder() + L"\\" + CurrentTestName() + L"-host-status.txt";
    DeleteFileW(statusPath.c_str());
    const std::string status = HostPath(statusPath);
    // The status appears whole, by a rename, or not at all.
    const std::string script = "(" + command + ") >>" + ShellQuoted(HostPath(logPath)) + " 2>&1; echo $? >" +
                               ShellQuoted(status + ".part") + " && mv " + ShellQuoted(status + ".part") + " " +
                               ShellQuoted(status);
    std::wstring commandLine = BuildCommandLine(L"sh", {L"-c", FromAscii(script)});
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(L"Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        throw HarnessError(L"cannot start the host's shell", GetLastError());
    UniqueKernelHandle processHandle(process.hProcess);
    UniqueKernelHandle thread(process.hThread);
    for (ULONGLONG deadline = GetTickCount64() + timeoutMs; GetTickCount64() < deadline; Sleep(100)) {
        if (const std::optional<int> exitStatus = ReadStatus(statusPath)) {
            DeleteFileW(statusPath.c_str());
            return *exitStatus;
        }
    }
    throw HarnessError(L"the host command did not end in time: " + FromAscii(command));
}

}  // namespace orvo::test
