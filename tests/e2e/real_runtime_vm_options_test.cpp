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
    // The runtime names the option it rejects.
    const std::wstring box = L"JNI exception: failed to create the Java VM\nReason: unknown.\n\n"
                             L"The Java runtime reported:\nUnrecognized option: -Xfoo";
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

// Documentation writes module options as java.exe takes them, in two words; the VM
// takes only the one-word form. Without the option, java.lang stays closed (the
// illegal-access default of Java 9 to 16 would open it, so it is turned off).
TEST(RealRuntimeVmOptions, ModuleOptionInTwoWordsOpensJavaLang) {
    struct Case {
        const wchar_t* parameters;
        const wchar_t* javaLang;
    };
    const Case cases[] = {
        {L"--add-opens java.base/java.lang=ALL-UNNAMED", L"open"},
        {L"--add-opens=java.base/java.lang=ALL-UNNAMED", L"open"},
        {L"", L"closed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.parameters)));
        AppFolder folder;
        ProbeAppSettings settings;
        settings.runtimeLines = std::wstring(L"Virtual Machine Parameters=--illegal-access=deny ") + c.parameters + L"\n";
        ProbeApp app(folder, settings);
        LauncherRun run = app.Run({L"open-java-lang"});
        EXPECT_EQ(run.exitCode, 0) << DescribeProcesses(run);
        ExpectHostedByApp64(run, app.Results());
        EXPECT_EQ(app.Results().Value(L"java-lang"), c.javaLang) << app.Results().Text();
    }
}

}  // namespace
}  // namespace orvo::test
