#pragma once
// Running a console program of this build (orvo-pack) the way a build script does:
// its output collected, its exit status returned, with a time limit.
#include <windows.h>

#include <string>
#include <vector>

namespace orvo::test {

struct ToolRun {
    int exitCode = -1;
    std::string output;  // standard output and standard error, in the order written
};

// Runs the program to its end. A program that cannot start, or that passes the time
// limit (it is then killed), throws HarnessError: the test fails.
ToolRun RunConsoleTool(const std::wstring& program, const std::vector<std::wstring>& arguments,
                       DWORD timeoutMs = 60000);

}  // namespace orvo::test
