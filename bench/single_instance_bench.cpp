// How long a start forwarded to a running instance takes, from the start of the later
// launcher process to its exit, next to a launcher start that stops at once (a copy
// named "App", without a dot, finds no configuration and exits with -1 at once): the
// bare cost of a launcher process. The two kinds alternate; each is run `runs` times.
//
// Usage (see single-instance.sh): orvo_bench_single_instance [runs]
// Needs ORVO_LAUNCHER, ORVO_TEST_TMP and ORVO_TEST_JVM_DIR, as the tests do. The
// running instance hosts the test JVM library, whose int secondaryMain answers with
// its first argument's number.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <exception>
#include <string>
#include <vector>

#include "foundation/unique_handle.h"
#include "support/app_folder.h"
#include "support/command_line_quoting.h"
#include "support/test_jvm.h"

namespace orvo::bench {
namespace {

using test::AppFolder;
using test::TestJvmIni;
using test::TestJvmRuntime;

constexpr int kDefaultRuns = 20;
constexpr DWORD kRunLimitMs = 60000;

struct Started {
    UniqueKernelHandle process;
    double milliseconds = 0;
    int exitCode = 0;
};

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

UniqueKernelHandle Start(const std::wstring& exe, const std::vector<std::wstring>& arguments) {
    std::wstring commandLine = test::BuildCommandLine(exe, arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        return {};
    }
    CloseHandle(info.hThread);
    return UniqueKernelHandle(info.hProcess);
}

// One start, timed from just before CreateProcessW to the moment the process has ended.
Started TimedRun(const std::wstring& exe, const std::vector<std::wstring>& arguments) {
    Started run;
    const double begin = Now();
    run.process = Start(exe, arguments);
    DWORD code = static_cast<DWORD>(-99);
    if (run.process && WaitForSingleObject(run.process.get(), kRunLimitMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(run.process.get(), &code);
    }
    run.milliseconds = Now() - begin;
    run.exitCode = static_cast<int>(code);
    return run;
}

void Report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    auto at = [&](double fraction) { return times[static_cast<std::size_t>(fraction * static_cast<double>(n - 1))]; };
    std::printf("%-34s runs %2zu  median %7.1f ms  min %7.1f  p25 %7.1f  p75 %7.1f  max %7.1f\n", what, n, at(0.5),
                times.front(), at(0.25), at(0.75), times.back());
}

bool WaitForMain(const TestJvmRuntime& runtime) {
    const ULONGLONG deadline = GetTickCount64() + kRunLimitMs;
    while (runtime.ReadLog().mainCalls.empty()) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
    return true;
}

int Measure(int runs) {
    AppFolder folder(L"bench");
    const TestJvmRuntime runtime(folder.PathOf(L"jre"), TestJvmIni()
                                                            .Set("classes", L"com/example/App")
                                                            .Set("main_wait_file", L"release")
                                                            .Set("secondary_main", L"int")
                                                            .Set("secondary_main_result", L"arg0"));
    // A class path that names nothing would stop the start with a box.
    folder.CreateFolder(L"classes");
    const std::wstring app = folder.AddLauncher(L"App.exe");
    const std::wstring bare = folder.AddLauncher(L"App");
    folder.WriteText(L"App.ini", L"[Application]\nSingle Instance=yes\n[Java Runtime Environment]\nMain Class=com.example.App\nJRE Path=" +
                                     runtime.home() + L"\n[Class Path]\nClass Path=" + folder.PathOf(L"classes") + L"\n");
    UniqueKernelHandle primary = Start(app, {});
    if (!primary || !WaitForMain(runtime)) {
        std::fprintf(stderr, "the running instance did not start\n");
        return 1;
    }
    std::vector<double> forwarded, stopped;
    int wrong = 0;
    for (int i = 0; i < runs; ++i) {
        Started later = TimedRun(app, {L"7"});
        Started nothing = TimedRun(bare, {});
        wrong += (later.exitCode != 7) + (nothing.exitCode != -1);
        forwarded.push_back(later.milliseconds);
        stopped.push_back(nothing.milliseconds);
    }
    folder.WriteText(L"jre\\bin\\server\\release", L"");
    WaitForSingleObject(primary.get(), kRunLimitMs);
    Report("forwarded start (answer 7)", forwarded);
    Report("start that stops at once (-1)", stopped);
    if (wrong > 0) std::fprintf(stderr, "%d runs ended with an unexpected exit code\n", wrong);
    return wrong > 0 ? 1 : 0;
}

}  // namespace
}  // namespace orvo::bench

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : orvo::bench::kDefaultRuns;
    try {
        return orvo::bench::Measure(runs);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "benchmark failed: %s\n", error.what());
        return 1;
    }
}
