// Single-instance mode on the real Java runtime: the two forms of secondaryMain,
// arguments of any script arriving as Java strings, and the 32-bit launcher, which
// hands over to its 64-bit pair and passes the running instance's answer back.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/app_folder.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"

namespace orvo::test {
namespace {

using Arguments = std::vector<std::wstring>;

// A running instance: the probe waiting for the file "release" of its folder.
class RunningProbe {
public:
    RunningProbe(const AppFolder& folder, const std::wstring& mainClass, bool start32 = false)
        : folder_(folder), app_(folder, Settings(mainClass)) {
        RunOptions options = app_.Options();
        options.timeoutMs = 4 * kRealRuntimeTimeoutMs;
        // Each wait-file gives up after two minutes: two of them outlast a long test.
        const std::wstring release = folder.PathOf(L"release");
        session_ = std::make_unique<LauncherSession>(start32 ? app_.App32() : app_.Launcher(),
                                                     Arguments{L"wait-file", release, L"wait-file", release}, options);
        EXPECT_TRUE(WaitForResults([](const ProbeResults& results) { return results.HasLine(L"main", L"started"); }))
            << "the running instance never reached main";
    }

    const ProbeApp& app() const { return app_; }

    bool WaitForResults(const std::function<bool(const ProbeResults&)>& condition) {
        return session_->WaitUntil([&](const LauncherRun&) { return condition(app_.Results()); },
                                   kRealRuntimeTimeoutMs);
    }

    // Lets main return and checks that only this one VM ran.
    void Release() {
        folder_.WriteText(L"release", L"");
        const LauncherRun run = session_->Finish();
        EXPECT_EQ(run.exitCode, 0) << DescribeProcesses(run);
        const std::wstring lines = L"\n" + app_.Results().Text();
        EXPECT_EQ(lines.find(L"\nmain=started\n"), lines.rfind(L"\nmain=started\n")) << "a later start ran main";
    }

private:
    static ProbeAppSettings Settings(const std::wstring& mainClass) {
        ProbeAppSettings settings;
        settings.mainClass = mainClass;
        settings.applicationLines = L"Single Instance=yes\n";
        return settings;
    }

    const AppFolder& folder_;
    ProbeApp app_;
    std::unique_ptr<LauncherSession> session_;
};

TEST(RealRuntimeSingleInstance, IntSecondaryMainAnswersWithWhatItReturns) {
    struct Case {
        Arguments later;
        int exitCode;
    };
    const Case cases[] = {
        {{L"return", L"42"}, 42},
        {{L"return", L"-3"}, -3},
        {{L"print-args", L"--", L"Gr\u00FC\u00DFe", L"\u65E5\u672C\u8A9E", L"\U0001F600"}, 0},
    };
    AppFolder folder;
    RunningProbe primary(folder, L"orvo.test.Probe");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.later));
        EXPECT_EQ(primary.app().Run(c.later).exitCode, c.exitCode);
    }
    const ProbeResults results = primary.app().Results();
    EXPECT_EQ(results.Value(L"secondary.args.count"), L"5") << results.Text();
    EXPECT_EQ(results.Value(L"secondary.arg.2"), L"Gr\u00FC\u00DFe");
    EXPECT_EQ(results.Value(L"secondary.arg.3"), L"\u65E5\u672C\u8A9E");
    EXPECT_EQ(results.Value(L"secondary.arg.4"), L"\U0001F600");
    primary.Release();
}

// The later start is let go before a void secondaryMain runs: it exits with 0
// whatever the method returns or throws.
TEST(RealRuntimeSingleInstance, VoidSecondaryMainAnswersZeroBeforeItRuns) {
    AppFolder folder;
    RunningProbe primary(folder, L"orvo.test.VoidSecondary");
    EXPECT_EQ(primary.app().Run({L"return", L"5", L"throw", L"from secondaryMain"}).exitCode, 0);
    EXPECT_TRUE(primary.WaitForResults([](const ProbeResults& results) { return results.Has(L"secondary.started"); }))
        << "secondaryMain did not run\n" << primary.app().Results().Text();
    primary.Release();
}

// App.exe gives the running instance up to App64.exe, which hosts the runtime: a
// later App.exe hands over in turn, and its App64.exe forwards to the running one.
TEST(RealRuntimeSingleInstance, LaterStartOfThe32BitLauncherGetsTheAnswerThroughItsPair) {
    AppFolder folder;
    RunningProbe primary(folder, L"orvo.test.Probe", true);
    const LauncherRun later = RunLauncher(primary.app().App32(), {L"return", L"42"}, primary.app().Options());
    EXPECT_EQ(later.exitCode, 42) << DescribeProcesses(later);
    EXPECT_EQ(later.processes.size(), 2u) << "App.exe and its App64.exe";
    for (const ProcessRecord& process : later.processes) EXPECT_EQ(process.exitCode, 42) << process.imagePath;
    primary.Release();
}

// Five App.exe started at once, five times over: each hands over to its App64.exe,
// which forwards to the running one. Every argument list arrives exactly once, and
// every start exits with the answer to its own list.
TEST(RealRuntimeSingleInstance, BurstOfStartsThroughThe32BitLauncherEachGetTheAnswerToTheirOwnList) {
    constexpr int kRounds = 5;
    constexpr int kAtOnce = 5;
    AppFolder folder;
    RunningProbe primary(folder, L"orvo.test.Probe", true);
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::unique_ptr<LauncherSession>> starts;
        for (int i = 1; i <= kAtOnce; ++i) {
            const std::wstring n = std::to_wstring(round * kAtOnce + i);
            starts.push_back(std::make_unique<LauncherSession>(
                primary.app().App32(), Arguments{L"return", n, L"print-args", L"--", L"burst-" + n},
                primary.app().Options()));
        }
        for (int i = 1; i <= kAtOnce; ++i) {
            const LauncherRun run = starts[static_cast<std::size_t>(i - 1)]->Finish();
            EXPECT_EQ(run.exitCode, round * kAtOnce + i) << DescribeProcesses(run);
        }
    }
    const std::wstring lines = L"\n" + primary.app().Results().Text();
    for (int n = 1; n <= kRounds * kAtOnce; ++n) {
        const std::wstring line = L"\nsecondary.arg.4=burst-" + std::to_wstring(n) + L"\n";
        std::size_t count = 0;
        for (std::size_t at = lines.find(line); at != std::wstring::npos; at = lines.find(line, at + 1)) ++count;
        EXPECT_EQ(count, 1u) << "list " << n;
    }
    primary.Release();
}

}  // namespace
}  // namespace orvo::test
