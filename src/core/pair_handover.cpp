#include "core/pair_handover.h"

#include <windows.h>

#include <vector>

#include "foundation/unique_handle.h"

namespace orvo {

int HandOverToPair(const std::wstring& pairProduct, bool waitForExitCode) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // CreateProcessW may write into the command line, so it gets a private copy.
    const wchar_t* own = GetCommandLineW();
    std::wstring ownLine = own ? own : L"";
    std::vector<wchar_t> commandLine(ownLine.begin(), ownLine.end());
    commandLine.push_back(L'\0');
    CreateProcessW(pairProduct.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                   nullptr, &startup, &process);
    UniqueKernelHandle child(process.hProcess);
    UniqueKernelHandle childThread(process.hThread);
    if (!waitForExitCode) return 0;
    DWORD exitCode = 0;
    if (child) {
        WaitForSingleObject(child.get(), INFINITE);
        if (!GetExitCodeProcess(child.get(), &exitCode)) exitCode = 0;
    }
    return static_cast<int>(exitCode);
}

}  // namespace orvo
