// The tests' Ctrl+C at a console: runs a program on a console of its own (one without
// a window, as a user's console but unseen), shares that console, waits until the
// program is ready (it has made the marker file), presses Ctrl+C there and ends with
// the program's exit code.
//
//   orvo_console_interrupter MARKER PROGRAM [ARGUMENT...]
//
// Its own failures end it with codes 120 to 125, each a different step.
#include <windows.h>

#include <string>

namespace {

constexpr DWORD kReadyLimitMs = 45000;
constexpr DWORD kEndLimitMs = 30000;

// Ctrl+C reaches every process of the console, this one too: it stays to report.
BOOL WINAPI StayForTheExitCode(DWORD) { return TRUE; }

// The arguments as a command line; the tests pass none with quotes in them.
std::wstring CommandLineOf(int argc, wchar_t** argv, int first) {
    std::wstring line;
    for (int i = first; i < argc; ++i) {
        std::wstring argument = argv[i];
        if (!line.empty()) line += L' ';
        line += argument.find(L' ') == std::wstring::npos && !argument.empty() ? argument : L'"' + argument + L'"';
    }
    return line;
}

bool AttachWithin(DWORD processId, DWORD limitMs) {
    for (ULONGLONG until = GetTickCount64() + limitMs; GetTickCount64() < until; Sleep(20))
        if (AttachConsole(processId)) return true;
    return false;
}

// True once the marker exists; false when the program ends first or the time is up.
bool WaitUntilReady(const wchar_t* marker, HANDLE program) {
    for (ULONGLONG until = GetTickCount64() + kReadyLimitMs; GetTickCount64() < until;) {
        if (GetFileAttributesW(marker) != INVALID_FILE_ATTRIBUTES) return true;
        if (WaitForSingleObject(program, 50) == WAIT_OBJECT_0) return false;
    }
    return false;
}

int Fail(HANDLE program, int code) {
    TerminateProcess(program, static_cast<UINT>(code));
    return code;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 120;
    FreeConsole();
    std::wstring commandLine = CommandLineOf(argc, argv, 2);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(argv[2], commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &started))
        return 121;
    CloseHandle(started.hThread);
    HANDLE program = started.hProcess;
    if (!AttachWithin(started.dwProcessId, 5000)) return Fail(program, 122);
    SetConsoleCtrlHandler(&StayForTheExitCode, TRUE);
    if (!WaitUntilReady(argv[1], program)) return Fail(program, 123);
    if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) return Fail(program, 124);
    if (WaitForSingleObject(program, kEndLimitMs) != WAIT_OBJECT_0) return Fail(program, 125);
    DWORD exitCode = 0;
    GetExitCodeProcess(program, &exitCode);
    return static_cast<int>(exitCode);
}
