#include "support/launcher_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "support/command_line_quoting.h"
#include "support/harness_error.h"
#include "support/screenshot.h"
#include "support/ui_automation.h"
#include "support/wide_text.h"

namespace orvo::test {

namespace {

constexpr DWORD kPollMs = 50;
// A new window gets this long to finish painting before it is read: the icon's
// colours and the screenshots come from the screen.
constexpr DWORD kSettleMs = 300;
constexpr UINT kKilledExitCode = 0xDEAD;

std::wstring TrySaveWindowScreenshot(HWND window, const std::wstring& label) {
    try {
        return SaveWindowScreenshot(window, label);
    } catch (const HarnessError& error) {
        ADD_FAILURE() << "screenshot " << label << " could not be saved: " << error.what();
        return {};
    }
}

std::wstring CountedLabel(const std::wstring& label, int count) {
    return count == 1 ? label : label + L"-" + std::to_wstring(count);
}

// An inheritable handle for writing the file anew; null for an empty path. A file
// that cannot be made fails the test.
UniqueFileHandle OpenStandardFile(const std::wstring& path) {
    if (path.empty()) return {};
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ADD_FAILURE() << "cannot create " << path << ": " << SystemErrorText(GetLastError());
    return file;
}

// An inheritable handle for reading the file; null for an empty path.
UniqueFileHandle OpenInputFile(const std::wstring& path) {
    if (path.empty()) return {};
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, &inheritable, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ADD_FAILURE() << "cannot open " << path << ": " << SystemErrorText(GetLastError());
    return file;
}

DWORD WINAPI ReadPipeToEnd(void* session);

}  // namespace

ExpectedWindow ExpectMessageBox(std::wstring text, int pressButtonId, std::wstring screenshotLabel) {
    ExpectedWindow expected;
    expected.description = L"message box \"" + text + L"\"";
    expected.matches = [text](const WindowSnapshot& w) { return w.IsDialog() && w.MessageText() == text; };
    expected.respond = [pressButtonId](const WindowSnapshot& w) {
        if (PressButton(w.handle, pressButtonId)) return;
        ADD_FAILURE() << "the box has no button " << pressButtonId << " to press:\n" << DescribeWindow(w);
        RequestWindowClose(w.handle);
    };
    expected.screenshotLabel = std::move(screenshotLabel);
    return expected;
}

ExpectedWindow ExpectSplashWindow(int minCount, std::wstring screenshotLabel) {
    ExpectedWindow expected;
    expected.description = L"the splash window";
    expected.matches = [](const WindowSnapshot& w) { return w.className == kSplashWindowClass; };
    expected.minCount = minCount;
    expected.screenshotLabel = std::move(screenshotLabel);
    return expected;
}

int LauncherRun::UnexpectedWindowCount() const {
    return static_cast<int>(
        std::count_if(windows.begin(), windows.end(), [](const SeenWindow& w) { return w.expectation < 0; }));
}

std::vector<WindowSnapshot> LauncherRun::WindowsFor(int expectation) const {
    std::vector<WindowSnapshot> found;
    for (const SeenWindow& seen : windows)
        if (seen.expectation == expectation) found.push_back(seen.window);
    return found;
}

LauncherSession::LauncherSession(std::wstring launcher, const std::vector<std::wstring>& arguments,
                                 RunOptions options)
    : options_(std::move(options)), counts_(options_.expectedWindows.size(), 0) {
    run_.launcher = std::move(launcher);
    run_.commandLine = options_.commandLine ? *options_.commandLine : BuildCommandLine(run_.launcher, arguments);
    std::wstring environment = EnvironmentBlockWith(options_.environment);
    deadline_ = GetTickCount64() + options_.timeoutMs;
    UniqueFileHandle input = OpenInputFile(options_.stdInputFile);
    UniqueFileHandle output;
    if (options_.outputToPipe) {
        SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
        HANDLE readEnd = nullptr;
        HANDLE writeEnd = nullptr;
        if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) ADD_FAILURE() << "cannot create the output pipe";
        output.reset(writeEnd);
        pipeReadEnd_.reset(readEnd);
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    } else {
        output = OpenStandardFile(options_.stdOutputFile);
    }
    UniqueFileHandle error = options_.errorToOutput ? UniqueFileHandle() : OpenStandardFile(options_.stdErrorFile);
    ChildStartup startup;
    startup.stdInput = input ? input.get() : nullptr;
    startup.workingDirectory = options_.workingDirectory;
    startup.environmentBlock = options_.environment.empty() ? nullptr : &environment;
    startup.stdOutput = output ? output.get() : nullptr;
    startup.stdError = options_.errorToOutput ? startup.stdOutput : error ? error.get() : nullptr;
    startup.alsoInherited = options_.alsoInherited;
    startup.showWindow = options_.showWindow;
    run_.startError = tree_.Start(run_.launcher, run_.commandLine, startup);
    if (run_.startError != 0) {
        // Once, under a loaded CI machine, wine could not create the process at all; a
        // start that fails twice is the test's failure.
        std::fprintf(stderr, "note: starting %ls failed with error %lu; trying once more\n", run_.launcher.c_str(),
                     static_cast<unsigned long>(run_.startError));
        Sleep(500);
        run_.startError = tree_.Start(run_.launcher, run_.commandLine, startup);
    }
    run_.started = run_.startError == 0;
    // The write end is the launcher's alone now: the pipe ends when its tree has ended.
    output.reset();
    if (pipeReadEnd_) pipeReader_.reset(CreateThread(nullptr, 0, &ReadPipeToEnd, this, 0, nullptr));
    if (!run_.started)
        ADD_FAILURE() << "cannot start " << run_.launcher << ": " << SystemErrorText(run_.startError) << " (error "
                      << run_.startError << ")";
}

LauncherSession::~LauncherSession() {
    if (!finished_ && run_.started && !tree_.Empty()) {
        tree_.KillAll(kKilledExitCode);
        ADD_FAILURE() << "the run of " << run_.launcher << " was left unfinished; its process tree was killed";
    }
    FinishPipeReader();  // the thread reads into this object
}

bool LauncherSession::WaitUntil(const std::function<bool(const LauncherRun&)>& condition, DWORD timeoutMs) {
    if (finished_ || !run_.started) return condition(run_);
    bool held = Pump(condition, std::min(deadline_, GetTickCount64() + timeoutMs));
    if (!held && !Over() && GetTickCount64() >= deadline_) KillOnTimeout();
    return held;
}

LauncherRun LauncherSession::Finish() {
    if (finished_) return run_;
    finished_ = true;
    if (run_.started) {
        Pump([](const LauncherRun&) { return false; }, deadline_);
        if (!Over()) KillOnTimeout();
        // The root may end between two polls, before the job's report of a child it
        // started (the paired launcher, say) was taken in.
        tree_.Poll(0);
        run_.processes = tree_.Records();
        if (!run_.timedOut) run_.exitCode = tree_.RootExitCode().value_or(kNoExitCode);
        FinishPipeReader();
        if (!run_.timedOut) CheckExpectationCounts();
    }
    return run_;
}

namespace {

DWORD WINAPI ReadPipeToEnd(void* session) {
    static_cast<LauncherSession*>(session)->ReadPipe();
    return 0;
}

}  // namespace

void LauncherSession::ReadPipe() {
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(pipeReadEnd_.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) piped_.append(buffer, read);
}

void LauncherSession::FinishPipeReader() {
    if (!pipeReader_) return;
    // The tree has ended, so the pipe has no writer left; a grandchild that escaped
    // the job would keep it open, and a run never hangs.
    if (WaitForSingleObject(pipeReader_.get(), 5000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the output pipe of " << run_.launcher << " was still open after the run";
        CancelSynchronousIo(pipeReader_.get());
        WaitForSingleObject(pipeReader_.get(), 5000);
    }
    pipeReader_.reset();
    run_.piped = piped_;
}

bool LauncherSession::Pump(const std::function<bool(const LauncherRun&)>& condition, ULONGLONG deadline) {
    for (;;) {
        HandleNewWindows();
        if (condition(run_)) return true;
        if (Over() || run_.timedOut || GetTickCount64() >= deadline) return false;
        tree_.Poll(kPollMs);
    }
}

bool LauncherSession::Over() const { return options_.waitForWholeTree ? tree_.Empty() : !tree_.RootRunning(); }

void LauncherSession::HandleNewWindows() {
    std::erase_if(handled_, [](HWND window) { return !IsWindow(window); });
    for (HWND window : VisibleTopLevelWindows(tree_.LiveProcessIds()))
        if (std::find(handled_.begin(), handled_.end(), window) == handled_.end()) HandleWindow(window);
}

void LauncherSession::HandleWindow(HWND window) {
    WaitUntilIdle(window);
    Sleep(kSettleMs);
    if (!IsWindowVisible(window)) return;  // gone again before it could be read
    handled_.push_back(window);
    WindowSnapshot snapshot = ReadWindow(window);
    bool exhausted = false;
    int index = MatchingExpectation(snapshot, exhausted);
    if (index < 0) return HandleUnexpected(std::move(snapshot), exhausted);
    const ExpectedWindow& expected = options_.expectedWindows[static_cast<std::size_t>(index)];
    int count = ++counts_[static_cast<std::size_t>(index)];
    if (!expected.screenshotLabel.empty())
        snapshot.screenshotPath = TrySaveWindowScreenshot(window, CountedLabel(expected.screenshotLabel, count));
    run_.windows.push_back({snapshot, index});
    if (expected.respond) expected.respond(snapshot);
}

int LauncherSession::MatchingExpectation(const WindowSnapshot& window, bool& exhausted) const {
    for (std::size_t i = 0; i < options_.expectedWindows.size(); ++i) {
        const ExpectedWindow& expected = options_.expectedWindows[i];
        if (!expected.matches || !expected.matches(window)) continue;
        if (counts_[i] < expected.maxCount) return static_cast<int>(i);
        exhausted = true;
    }
    return -1;
}

void LauncherSession::HandleUnexpected(WindowSnapshot window, bool exhausted) {
    int number = run_.UnexpectedWindowCount() + 1;
    window.screenshotPath = TrySaveWindowScreenshot(window.handle, L"unexpected-" + std::to_wstring(number));
    run_.windows.push_back({window, -1});
    ADD_FAILURE() << (exhausted ? "a window appeared more often than expected" : "an unexpected window appeared")
                  << " while running " << run_.launcher << "; it was closed:\n"
                  << DescribeWindow(window);
    RequestWindowClose(window.handle);
}

void LauncherSession::KillOnTimeout() {
    run_.timedOut = true;
    std::wstring open;
    for (HWND window : VisibleTopLevelWindows(tree_.LiveProcessIds())) open += DescribeWindow(ReadWindow(window));
    std::wstring screenshot;
    try {
        screenshot = SaveScreenshot(L"timeout");
    } catch (const HarnessError&) {
    }
    tree_.KillAll(kKilledExitCode);
    ADD_FAILURE() << run_.launcher << " did not finish within " << options_.timeoutMs
                  << " ms; its process tree was killed.\nwindows still open:\n"
                  << (open.empty() ? L"(none)\n" : open) << "screen: " << screenshot;
}

void LauncherSession::CheckExpectationCounts() const {
    for (std::size_t i = 0; i < options_.expectedWindows.size(); ++i) {
        const ExpectedWindow& expected = options_.expectedWindows[i];
        if (counts_[i] < expected.minCount)
            ADD_FAILURE() << expected.description << " was seen " << counts_[i] << " time(s), expected at least "
                          << expected.minCount << " (running " << run_.launcher << ")";
    }
}

LauncherRun RunLauncher(const std::wstring& launcher, const std::vector<std::wstring>& arguments, RunOptions options) {
    return LauncherSession(launcher, arguments, std::move(options)).Finish();
}

}  // namespace orvo::test
