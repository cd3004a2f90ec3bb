#include "core/pair_handover.h"

#include <windows.h>

#include <vector>

#include "foundation/error_box.h"
#include "foundation/inherited_handles.h"
#include "foundation/launcher_kind.h"
#include "foundation/messages.h"
#include "foundation/system_error_text.h"
#include "foundation/text_format.h"
#include "foundation/unique_handle.h"

namespace orvo {
namespace {

// Inheritable copies of this process's standard handles, for the child: started as
// "MyApp.exe > out.txt", the Java program's output must still reach out.txt.
class ChildStandardHandles {
public:
    ChildStandardHandles()
        : input_(InheritableCopy(STD_INPUT_HANDLE)),
          output_(InheritableCopy(STD_OUTPUT_HANDLE)),
          error_(InheritableCopy(STD_ERROR_HANDLE)) {}

    std::vector<HANDLE> Handles() const {
        std::vector<HANDLE> handles;
        for (const UniqueKernelHandle* handle : {&input_, &output_, &error_})
            if (*handle) handles.push_back(handle->get());
        return handles;
    }

    void FillIn(STARTUPINFOW& startup) const {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = input_.get();
        startup.hStdOutput = output_.get();
        startup.hStdError = error_.get();
    }

private:
    // Null when this process has no such handle (a GUI process started from the
    // desktop) or it cannot be duplicated.
    static UniqueKernelHandle InheritableCopy(DWORD which) {
        HANDLE own = GetStdHandle(which);
        if (own == nullptr || own == INVALID_HANDLE_VALUE) return {};
        HANDLE copy = nullptr;
        HANDLE self = GetCurrentProcess();
        if (!DuplicateHandle(self, own, self, &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) return {};
        return UniqueKernelHandle(copy);
    }

    UniqueKernelHandle input_;
    UniqueKernelHandle output_;
    UniqueKernelHandle error_;
};

// The show state this process was started with (minimised, say) goes on to the child.
void CopyShowState(STARTUPINFOW& startup) {
    STARTUPINFOW own{};
    own.cb = sizeof own;
    GetStartupInfoW(&own);
    if (!(own.dwFlags & STARTF_USESHOWWINDOW)) return;
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = own.wShowWindow;
}

// The child sees this launcher's path as its first token and all the same arguments.
// CreateProcessW may write into the command line, so it gets a private copy.
std::vector<wchar_t> OwnCommandLine() {
    const wchar_t* own = GetCommandLineW();
    std::wstring ownLine = own ? own : L"";
    std::vector<wchar_t> commandLine(ownLine.begin(), ownLine.end());
    commandLine.push_back(L'\0');
    return commandLine;
}

bool StartPair(const std::wstring& pairProduct, PROCESS_INFORMATION& process) {
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup.StartupInfo;
    CopyShowState(startup.StartupInfo);
    ChildStandardHandles standard;
    InheritedHandleList inherited(standard.Handles());
    DWORD flags = 0;
    if (inherited.get()) {
        standard.FillIn(startup.StartupInfo);
        startup.StartupInfo.cb = sizeof startup;
        startup.lpAttributeList = inherited.get();
        flags = EXTENDED_STARTUPINFO_PRESENT;
    }
    std::vector<wchar_t> commandLine = OwnCommandLine();
    return CreateProcessW(pairProduct.c_str(), commandLine.data(), nullptr, nullptr, inherited.get() != nullptr,
                          flags, nullptr, nullptr, &startup.StartupInfo, &process) != FALSE;
}

void ReportPairStartFailure(const std::wstring& pairProduct, DWORD error) {
    std::wstring text = FillTemplate(LoadMessage(IDS_PAIR_START_FAILED),
                                     {pairProduct, SystemErrorText(error, pairProduct)}, static_cast<int>(error));
    ShowErrorBox(ErrorBoxOwner(), text);
}

// Ctrl+C and Ctrl+Break reach every process of the console. The pair's runtime
// answers them (the program's shutdown hooks run and it ends with its code); this
// process stays to pass that code on. A handler and not the flag that ignores Ctrl+C:
// the flag would go on to the pair and turn Ctrl+C off there as well.
BOOL WINAPI IgnoreInterrupt(DWORD event) { return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT; }

}  // namespace

int HandOverToPair(const std::wstring& pairProduct, bool waitForExitCode) {
    // A console program's caller waits for it and reads its exit code, whatever the
    // configuration says.
    if (IsConsoleLauncher()) {
        SetConsoleCtrlHandler(&IgnoreInterrupt, TRUE);
        waitForExitCode = true;
    }
    PROCESS_INFORMATION process{};
    if (!StartPair(pairProduct, process)) {
        ReportPairStartFailure(pairProduct, GetLastError());
        return -1;
    }
    UniqueKernelHandle child(process.hProcess);
    UniqueKernelHandle childThread(process.hThread);
    if (!waitForExitCode) return 0;
    WaitForSingleObject(child.get(), INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(child.get(), &exitCode)) exitCode = 0;
    return static_cast<int>(exitCode);
}

}  // namespace orvo
