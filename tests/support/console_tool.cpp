#include "support/console_tool.h"

#include "foundation/unique_handle.h"
#include "support/command_line_quoting.h"
#include "support/file_tree.h"
#include "support/harness_error.h"
#include "support/test_environment.h"

namespace orvo::test {

ToolRun RunConsoleTool(const std::wstring& program, const std::vector<std::wstring>& arguments, DWORD timeoutMs) {
    // A name of its own per run: the file of the run before may still be on its way out.
    static int runs = 0;
    const std::wstring outputPath =
        TestScratchFolder() + L"\\" + CurrentTestName() + L"-tool-output-" + std::to_wstring(++runs) + L".txt";
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueFileHandle output(CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                        &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!output) throw HarnessError(L"cannot create " + outputPath, GetLastError());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output.get();
    startup.hStdError = output.get();
    PROCESS_INFORMATION process{};
    std::wstring commandLine = BuildCommandLine(program, arguments);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        throw HarnessError(L"cannot start " + program, GetLastError());
    UniqueKernelHandle processHandle(process.hProcess);
    UniqueKernelHandle thread(process.hThread);
    output.reset();
    if (WaitForSingleObject(processHandle.get(), timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(processHandle.get(), 1);
        throw HarnessError(L"" + program + L" did not end in time");
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(processHandle.get(), &exitCode);
    ToolRun run{static_cast<int>(exitCode), ReadFileBytes(outputPath).value_or("")};
    DeleteFileW(outputPath.c_str());
    return run;
}

}  // namespace orvo::test
