// Times process starts side by side: every contender runs once per round, in turn, so
// that the machine's moods fall on all of them alike; the first rounds only warm up.
// Prints one Markdown table row per contender: the median, the middle half and the
// whole spread in milliseconds, and the median's ratio to the first contender's.
//
// Usage: orvo_bench_start <runs> <warm-up rounds> <contender>...
// where each contender is three arguments:
//   <label>  the row's name
//   <until>  "exit": from just before CreateProcessW to the end of the process;
//            "exit-any": the same, whatever the exit code;
//            "stamp=<file>": to the performance counter the process (the test JVM)
//            wrote to <file>, which is removed before each run;
//            "fresh=<pattern>": as "exit", with the files that match <pattern>
//            (a path with wildcards in its last part) removed before each run;
//            "updated=<file>": as "exit", with <file>'s write time set to now and
//            one untimed run of the command before each run (the second start
//            after an update)
//   <command line>  run as it is, with the benchmark's environment and folder, and
//            its standard output and error going to NUL (what a program prints
//            costs the same everywhere, and the table stays readable)
// Every run is timed to the end of the started process; then, untimed, the benchmark
// waits for what it left running (an assembly the launcher started) so that its work
// does not fall on the next contender.
// A run that does not end in time, ends with an unexpected exit code (anything but
// 0, unless "exit-any") or leaves no stamp counts as a failure: the row says how many, and the program
// exits with 1. Nothing is asserted about the times.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kRunLimitMs = 120000;

struct Contender {
    std::wstring label;
    std::wstring until;
    std::wstring commandLine;
    std::vector<double> times;
    int failures = 0;
};

long long Counter() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

double Milliseconds(long long ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

std::wstring FileOf(const Contender& contender) { return contender.until.substr(contender.until.find(L'=') + 1); }

// The counter the process wrote, or -1.
long long ReadStamp(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    char text[32] = {};
    DWORD read = 0;
    ReadFile(file, text, sizeof text - 1, &read, nullptr);
    CloseHandle(file);
    return read > 0 ? std::strtoll(text, nullptr, 10) : -1;
}

HANDLE NulHandle() {
    static HANDLE nul = [] {
        SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        return CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                           OPEN_EXISTING, 0, nullptr);
    }();
    return nul;
}

// Removes the files that match the pattern; a class-data cache is left read-only by
// the runtime that wrote it.
void RemoveMatches(const std::wstring& pattern) {
    const std::wstring folder = pattern.substr(0, pattern.find_last_of(L'\\') + 1);
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring path = folder + data.cFileName;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    } while (FindNextFileW(search, &data));
    FindClose(search);
}

void TouchNow(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    SetFileTime(file, nullptr, nullptr, &now);
    CloseHandle(file);
}

// Waits, untimed, until no process of the job is left (within the run's limit).
void WaitForJobToEmpty(HANDLE job) {
    for (DWORD waited = 0; waited < kRunLimitMs; waited += 50) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
        if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr) ||
            info.ActiveProcesses == 0) {
            return;
        }
        Sleep(50);
    }
}

struct Ended {
    bool ended = false;
    DWORD code = 1;
    long long begin = 0;
    long long end = 0;
};

// Starts the command in a job of its own, times it to the end of its process and
// then waits for the rest of the job.
Ended RunCommand(const std::wstring& command) {
    Ended result;
    std::wstring commandLine = command;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = NulHandle();
    PROCESS_INFORMATION info{};
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    result.begin = Counter();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &info)) {
        if (job) CloseHandle(job);
        return result;
    }
    if (job) AssignProcessToJobObject(job, info.hProcess);
    ResumeThread(info.hThread);
    result.ended = WaitForSingleObject(info.hProcess, kRunLimitMs) == WAIT_OBJECT_0;
    result.end = Counter();
    if (result.ended) GetExitCodeProcess(info.hProcess, &result.code);
    else TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    if (job) {
        WaitForJobToEmpty(job);
        CloseHandle(job);
    }
    return result;
}

// One run; false when it failed.
bool RunOnce(Contender& contender) {
    const bool stamped = StartsWith(contender.until, L"stamp=");
    if (stamped) DeleteFileW(FileOf(contender).c_str());
    if (StartsWith(contender.until, L"fresh=")) RemoveMatches(FileOf(contender));
    if (StartsWith(contender.until, L"updated=")) {
        TouchNow(FileOf(contender));
        if (!RunCommand(contender.commandLine).ended) return false;
    }
    Ended run = RunCommand(contender.commandLine);
    if (run.begin == 0 || run.end == 0) return false;
    const bool ended = run.ended;
    const DWORD code = run.code;
    const long long begin = run.begin;
    const long long end = run.end;
    long long stop = stamped ? ReadStamp(FileOf(contender)) : end;
    const bool anyCode = contender.until == L"exit-any";
    if (!ended || (code != 0 && !anyCode) || stop < begin) return false;
    contender.times.push_back(Milliseconds(stop - begin));
    return true;
}

double At(const std::vector<double>& sorted, double fraction) {
    return sorted[static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5)];
}

void PrintRow(const Contender& contender, double baseline) {
    std::vector<double> sorted = contender.times;
    std::sort(sorted.begin(), sorted.end());
    if (sorted.empty()) {
        std::printf("| %ls | no run succeeded (%d failed) | | | |\n", contender.label.c_str(), contender.failures);
        return;
    }
    const double median = At(sorted, 0.5);
    std::printf("| %ls | %.1f | %.1f – %.1f | %.1f – %.1f | %.2f |", contender.label.c_str(), median, At(sorted, 0.25),
                At(sorted, 0.75), sorted.front(), sorted.back(), baseline > 0 ? median / baseline : 0.0);
    if (contender.failures > 0) std::printf(" %d of %zu runs failed", contender.failures, sorted.size() + contender.failures);
    std::printf("\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 6 || (argc - 3) % 3 != 0) {
        std::fprintf(stderr, "usage: orvo_bench_start <runs> <warm-up rounds> (<label> <until> <command line>)...\n");
        return 2;
    }
    const int runs = std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10)));
    const int warmUp = std::max(0, static_cast<int>(std::wcstol(argv[2], nullptr, 10)));
    std::vector<Contender> contenders;
    for (int i = 3; i + 2 < argc; i += 3) contenders.push_back({argv[i], argv[i + 1], argv[i + 2]});
    for (int round = 0; round < warmUp + runs; ++round) {
        for (Contender& contender : contenders) {
            const std::size_t kept = contender.times.size();
            bool ok = RunOnce(contender);
            if (round < warmUp) contender.times.resize(kept);
            else if (!ok) ++contender.failures;
        }
    }
    std::printf("| | median ms | middle half | min – max | ratio |\n|---|---|---|---|---|\n");
    std::vector<double> first = contenders.front().times;
    std::sort(first.begin(), first.end());
    const double baseline = first.empty() ? 0 : At(first, 0.5);
    int failures = 0;
    for (const Contender& contender : contenders) {
        PrintRow(contender, baseline);
        failures += contender.failures;
    }
    return failures > 0 ? 1 : 0;
}
