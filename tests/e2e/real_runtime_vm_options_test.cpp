// VM options as the real runtime takes them: one it does not know stops the
// creation, a heap size given as a share of memory arrives as a number, and a
// quoted option keeps its blank.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/app_folder.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"

namespace orvo::test {
namespace {

TEST(RealRuntimeVmOptions, UnknownOptionStopsTheCreationWithABox) {
    AppFolder folder;
    ProbeAppSettings settings;
    settings.runtimeLines = L"Virtual Machine Parameters=-Xfoo\n";
    ProbeApp app(folder, settings);
    const std::wstring box = L"JNI exception: failed to create the Java VM\nReason: unknown.\n";
    LauncherRun run = app.Run({}, {ExpectMessageBox(box, IDOK, L"real-runtime-unknown-option")});
    EXPECT_EQ(run.exitCode, -1) << DescribeProcesses(run);
    ExpectProcessesOfHandOver(run);
    // The host shows the box: App64.exe, the last process of the run.
    std::vector<WindowSnapshot> boxes = run.WindowsFor(0);
    ASSERT_EQ(boxes.size(), 1u);
    ASSERT_FALSE(run.processes.empty());
    EXPECT_EQ(boxes.front().processId, run.processes.back().processId) << DescribeProcesses(run);
    EXPECT_FALSE(app.Results().exists()) << app.Results().Text();
}

// The runtime reports slightly less than -Xmx (one survivor space is not counted),
// so the comparison allows 10 per cent.
TEST(RealRuntimeVmOptions, HeapShareOfPhysicalMemoryArrivesAsKibibytes) {
    AppFolder folder;
    ProbeAppSettings settings;
    settings.runtimeLines = L"Virtual Machine Parameters=-Xmx25P \"-Dorvo.greeting=a b\"\n";
    ProbeApp app(folder, settings);
    LauncherRun run = app.Run({L"max-memory", L"print-prop", L"orvo.greeting"});
    EXPECT_EQ(run.exitCode, 0);
    ExpectHostedByApp64(run, app.Results());

    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    ASSERT_TRUE(GlobalMemoryStatusEx(&memory));
    const double expected = static_cast<double>(memory.ullTotalPhys >> 10) * 0.25 * 1024.0;
    ProbeResults results = app.Results();
    std::optional<std::wstring> reported = results.Value(L"max-memory");
    ASSERT_TRUE(reported.has_value()) << results.Text();
    const double maxMemory = std::wcstod(reported->c_str(), nullptr);
    EXPECT_NEAR(maxMemory, expected, expected * 0.10) << "total physical memory " << memory.ullTotalPhys;
    EXPECT_EQ(results.Value(L"prop.orvo.greeting"), L"a b") << results.Text();
}

}  // namespace
}  // namespace orvo::test
