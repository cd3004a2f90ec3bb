#pragma once
// Runs a launcher the way a user starts it and watches everything it shows.
//
// The test says which windows it expects (a message box with a given text, a
// dialog to drive) and what to do with each; the harness handles every window of
// the launcher's process tree as it appears. A window nobody expected is read,
// saved as a screenshot, closed, and reported as a failure of the running test.
// Every run has a time limit: when it passes, the whole tree is killed and the
// test fails. A run never hangs.
#include <windows.h>

#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "foundation/unique_handle.h"
#include "support/environment_block.h"
#include "support/process_tree.h"
#include "support/window_snapshot.h"

namespace orvo::test {

inline constexpr int kNoExitCode = INT_MIN;
inline constexpr DWORD kDefaultRunTimeoutMs = 20000;

// A window the test expects the launcher (or a process it starts) to show.
struct ExpectedWindow {
    std::wstring description;  // named in failure messages
    std::function<bool(const WindowSnapshot&)> matches;
    // What the test does with the window: press a button, drive a dialog step by
    // step, resize it... Runs on the test's thread; empty leaves the window alone.
    std::function<void(const WindowSnapshot&)> respond;
    int minCount = 1;  // seen fewer times, the test fails
    int maxCount = 1;  // seen more often, the extra ones count as unexpected
    std::wstring screenshotLabel;  // when set, every sighting is saved as a PNG first
};

// A message box (dialog class "#32770") showing exactly this text, once; the
// button with that id is pressed. A missing button fails the test and closes the box.
ExpectedWindow ExpectMessageBox(std::wstring text, int pressButtonId = IDOK, std::wstring screenshotLabel = {});

// The launcher's own splash window (class "SplashScreenWindow"), at most once and left
// alone. minCount 0 suits a splash that may be gone again before the harness reads it.
inline constexpr wchar_t kSplashWindowClass[] = L"SplashScreenWindow";
ExpectedWindow ExpectSplashWindow(int minCount = 1, std::wstring screenshotLabel = {});

struct RunOptions {
    std::vector<ExpectedWindow> expectedWindows;
    DWORD timeoutMs = kDefaultRunTimeoutMs;
    std::wstring workingDirectory;  // empty: the test program's own
    std::vector<EnvironmentChange> environment;  // applied to the inherited environment
    std::optional<std::wstring> commandLine;  // replaces the one built from the arguments
    bool waitForWholeTree = true;  // false: the run ends with the launcher itself
    // The launcher's standard output and error go into these files (made anew);
    // empty: it has none, as when started from the desktop.
    std::wstring stdOutputFile;
    std::wstring stdErrorFile;
    // Its standard input is read from this file; empty: it has none.
    std::wstring stdInputFile;
    // Its standard output is a pipe, whose whole content becomes LauncherRun::piped
    // (instead of stdOutputFile).
    bool outputToPipe = false;
    // Its standard error is the same handle as its standard output, as "2>&1" makes it
    // (instead of stdErrorFile).
    bool errorToOutput = false;
    std::optional<WORD> showWindow;  // the show state the launcher is started with
    // Further inheritable handles the launcher gets (they stay the caller's).
    std::vector<HANDLE> alsoInherited;
};

struct SeenWindow {
    WindowSnapshot window;
    int expectation = -1;  // index into RunOptions::expectedWindows; -1 for unexpected
};

struct LauncherRun {
    std::wstring launcher;
    std::wstring commandLine;
    bool started = false;
    DWORD startError = 0;
    bool timedOut = false;
    // The launcher's own exit code as GetExitCodeProcess reports it, read as a
    // signed value (-1, not 4294967295); kNoExitCode when it did not end by itself.
    int exitCode = kNoExitCode;
    std::vector<SeenWindow> windows;  // in the order they appeared
    std::vector<ProcessRecord> processes;  // the launcher first, then what it started
    std::string piped;  // what came through the pipe of RunOptions::outputToPipe

    int UnexpectedWindowCount() const;
    // The windows matched to that expectation, in order.
    std::vector<WindowSnapshot> WindowsFor(int expectation) const;
};

// One launcher run, step by step, for tests that run several side by side or act
// between two steps; RunLauncher below is the usual way.
class LauncherSession {
public:
    // Starts the launcher; a failed start fails the test (run().started is false).
    LauncherSession(std::wstring launcher, const std::vector<std::wstring>& arguments, RunOptions options);
    // A session not finished is killed with its tree, and the test fails.
    ~LauncherSession();
    LauncherSession(const LauncherSession&) = delete;
    LauncherSession& operator=(const LauncherSession&) = delete;

    // Handles windows until the condition holds (true), the run is over, or the
    // time is up (false). The run's own time limit applies as well.
    bool WaitUntil(const std::function<bool(const LauncherRun&)>& condition, DWORD timeoutMs);
    // Handles windows until the run is over or its time limit passes, then checks
    // that every expected window was seen, and returns the result.
    LauncherRun Finish();
    // What has been seen so far.
    const LauncherRun& run() const noexcept { return run_; }
    // The output pipe's reader thread: reads until the pipe has no writer left.
    void ReadPipe();
    // True while the launcher itself (the root of the tree) runs.
    bool RootRunning() const { return tree_.RootRunning(); }
    // Ids of the run's processes that still run, the launcher first.
    std::vector<DWORD> LiveProcessIds() const { return tree_.LiveProcessIds(); }

private:
    bool Pump(const std::function<bool(const LauncherRun&)>& condition, ULONGLONG deadline);
    bool Over() const;
    void HandleNewWindows();
    void HandleWindow(HWND window);
    int MatchingExpectation(const WindowSnapshot& window, bool& exhausted) const;
    void HandleUnexpected(WindowSnapshot window, bool exhausted);
    void KillOnTimeout();
    void CheckExpectationCounts() const;

    void FinishPipeReader();

    RunOptions options_;
    ProcessTree tree_;
    // The read end of the output pipe, emptied by a thread of its own into piped_.
    UniqueFileHandle pipeReadEnd_;
    UniqueKernelHandle pipeReader_;
    std::string piped_;
    LauncherRun run_;
    ULONGLONG deadline_ = 0;
    std::vector<int> counts_;
    std::vector<HWND> handled_;
    bool finished_ = false;
};

// Runs the launcher to its end (or its time limit) and returns what happened.
LauncherRun RunLauncher(const std::wstring& launcher, const std::vector<std::wstring>& arguments = {},
                        RunOptions options = {});

}  // namespace orvo::test
