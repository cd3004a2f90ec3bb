// The real Java runtime started through the launcher: what main receives, and how
// the configured main class is found.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/app_folder.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"

namespace orvo::test {
namespace {

TEST(RealRuntimeArguments, ArgumentsOutsideTheAnsiCodePageReachMainIntact) {
    AppFolder folder;
    ProbeApp app(folder);
    const std::vector<std::wstring> arguments = {
        L"print-args", L"--", L"Gr\u00FC\u00DFe", L"\u65E5\u672C\u8A9E", L"\U0001F600",
        L"two words",  L"",   L"-nosplash",       L"C:\\back\\slash"};
    LauncherRun run = app.Run(arguments);
    EXPECT_EQ(run.exitCode, 0);
    ExpectHostedByApp64(run, app.Results());

    ProbeResults results = app.Results();
    ASSERT_EQ(results.Value(L"args.count"), std::to_wstring(arguments.size())) << results.Text();
    for (std::size_t i = 0; i < arguments.size(); ++i)
        EXPECT_EQ(results.Value(L"arg." + std::to_wstring(i)), arguments[i]) << "argument " << i;
}

TEST(RealRuntimeMainClass, DottedAndSlashedNamesBothReachMain) {
    for (const wchar_t* mainClass : {L"orvo.test.Probe", L"orvo/test/Probe"}) {
        SCOPED_TRACE(testing::Message() << "Main Class=" << std::wstring(mainClass));
        AppFolder folder(mainClass);
        ProbeAppSettings settings;
        settings.mainClass = mainClass;
        ProbeApp app(folder, settings);
        LauncherRun run = app.Run({L"print-args"});
        EXPECT_EQ(run.exitCode, 0);
        ProbeResults results = app.Results();
        EXPECT_EQ(results.Value(L"arg.0"), L"print-args") << results.Text();
        EXPECT_TRUE(results.HasLine(L"main", L"returned")) << results.Text();
    }
}

// The runtime's launcher helper looks the class up: it names a missing class in
// its dotted form on standard error and ends the program with status 1, whichever
// separator the configuration used.
TEST(RealRuntimeMainClass, MissingClassIsReportedByTheRuntimeAndEndsWithOne) {
    for (const wchar_t* mainClass : {L"orvo.test.Missing", L"orvo/test/Missing"}) {
        SCOPED_TRACE(testing::Message() << "Main Class=" << std::wstring(mainClass));
        AppFolder folder(mainClass);
        ProbeAppSettings settings;
        settings.mainClass = mainClass;
        settings.applicationLines = L"Error File=" + folder.PathOf(L"err.txt") + L"\n";
        ProbeApp app(folder, settings);
        LauncherRun run = app.Run({});
        EXPECT_EQ(run.exitCode, 1);
        ExpectProcessesOfHandOver(run);
        std::optional<std::wstring> errors = folder.ReadText(L"err.txt");
        ASSERT_TRUE(errors.has_value()) << "no error file";
        EXPECT_NE(errors->find(L"Could not find or load main class orvo.test.Missing"), std::wstring::npos)
            << *errors;
    }
}

}  // namespace
}  // namespace orvo::test
