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
//            "fresh=<file>": as "exit", with <file> removed before each run
//   <command line>  run as it is, with the benchmark's environment and folder, and
//            its standard output and error going to NUL (what a program prints
//            costs the same everywhere, and the table stays readable)
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

// One run; false when it failed.
bool RunOnce(Contender& contender) {
    const bool stamped = StartsWith(contender.until, L"stamp=");
    if (stamped || StartsWith(contender.until, L"fresh=")) {
        // A class-data archive is left read-only by the runtime that wrote it.
        SetFileAttributesW(FileOf(contender).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(FileOf(contender).c_str());
    }
    std::wstring commandLine = contender.commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = NulHandle();
    PROCESS_INFORMATION info{};
    const long long begin = Counter();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        return false;
    }
    DWORD code = 1;
    bool ended = WaitForSingleObject(info.hProcess, kRunLimitMs) == WAIT_OBJECT_0;
    const long long end = Counter();
    if (ended) GetExitCodeProcess(info.hProcess, &code);
    else TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
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
