// How long after its start a launcher has its splash on screen: starts the launcher
// again and again and watches, from this process, for a visible window of the splash
// class in it. A benchmark, not a test: it prints figures and judges nothing.
//
//   orvo_splash_bench <launcher> <window class> <runs>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr double kGiveUpMs = 20000;

struct Search {
    DWORD processId;
    const wchar_t* className;
    bool found;
};

BOOL CALLBACK LookAtWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t className[64];
    if (processId != search->processId || !IsWindowVisible(window)) return TRUE;
    if (!GetClassNameW(window, className, 64) || std::wcscmp(className, search->className) != 0) return TRUE;
    search->found = true;
    return FALSE;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds from just before CreateProcess until the splash shows; negative when it
// never did. The launcher is ended afterwards either way.
double TimeOneStart(const std::wstring& launcher, const wchar_t* className) {
    std::wstring commandLine = L"\"" + launcher + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(launcher.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    double elapsed = -1;
    for (;;) {
        Search search{process.dwProcessId, className, false};
        EnumWindows(&LookAtWindow, reinterpret_cast<LPARAM>(&search));
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        if (search.found) {
            elapsed = Milliseconds(start, now);
            break;
        }
        if (Milliseconds(start, now) > kGiveUpMs || WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

double Percentile(const std::vector<double>& sorted, double p) {
    double at = p * static_cast<double>(sorted.size() - 1);
    std::size_t low = static_cast<std::size_t>(at);
    std::size_t high = std::min(low + 1, sorted.size() - 1);
    return sorted[low] + (sorted[high] - sorted[low]) * (at - static_cast<double>(low));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fwprintf(stderr, L"usage: %ls <launcher> <window class> <runs>\n", argv[0]);
        return 2;
    }
    int runs = _wtoi(argv[3]);
    std::vector<double> times;
    int missed = 0;
    for (int i = 0; i < runs; ++i) {
        double ms = TimeOneStart(argv[1], argv[2]);
        if (ms < 0) ++missed;
        else times.push_back(ms);
        std::wprintf(L"run %2d: %8.1f ms\n", i + 1, ms);
    }
    if (times.empty()) {
        std::wprintf(L"%ls: the splash never showed\n", argv[2]);
        return 1;
    }
    std::sort(times.begin(), times.end());
    std::wprintf(L"%ls: %zu runs (%d without a splash): median %.1f ms, quartiles %.1f .. %.1f ms, "
                 L"min %.1f ms, max %.1f ms\n",
                 argv[2], times.size(), missed, Percentile(times, 0.5), Percentile(times, 0.25),
                 Percentile(times, 0.75), times.front(), times.back());
    return 0;
}
