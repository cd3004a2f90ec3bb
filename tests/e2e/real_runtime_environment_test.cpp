// The environment the Java program sees on the real runtime: the launcher's own
// variables, the search path with the runtime's bin folder, and the native
// library path. In a hand-over only the host prepares it, so nothing appears twice.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/app_folder.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"

namespace orvo::test {
namespace {

std::wstring OwnPath() {
    DWORD size = GetEnvironmentVariableW(L"Path", nullptr, 0);
    std::wstring value(size, L'\0');
    if (size > 0) value.resize(GetEnvironmentVariableW(L"Path", value.data(), size));
    return value;
}

TEST(RealRuntimeEnvironment, ProgramSeesRuntimeVariablesSearchPathAndLibraryPath) {
    AppFolder folder;
    ProbeAppSettings settings;
    settings.runtimeLines = L"System Path=C:\\orvo-tools\nLibrary Path=C:\\orvo-native\n";
    ProbeApp app(folder, settings);
    LauncherRun run = app.Run({L"print-env", L"ORVO_JVM_PATH", L"print-env", L"ORVO_JVM_HOME", L"print-env",
                               L"Path", L"print-prop", L"java.library.path"});
    EXPECT_EQ(run.exitCode, 0);
    ExpectHostedByApp64(run, app.Results());

    // The launchers inherit the test's own search path unchanged.
    const std::wstring before = OwnPath();
    ASSERT_FALSE(before.empty());
    const std::wstring home = RealRuntimeHome();
    ProbeResults results = app.Results();
    EXPECT_EQ(results.Value(L"env.ORVO_JVM_PATH"), RealRuntimeClientLibrary()) << results.Text();
    EXPECT_EQ(results.Value(L"env.ORVO_JVM_HOME"), home) << results.Text();
    EXPECT_EQ(results.Value(L"env.Path"), L"C:\\orvo-tools;" + before + L";" + home + L"\\bin") << results.Text();
    EXPECT_EQ(results.Value(L"prop.java.library.path"),
              L"C:\\orvo-native;" + folder.path() + L"\\;.;" + before + L";" + home + L"\\lib")
        << results.Text();
}

TEST(RealRuntimeEnvironment, WithoutLibraryPathTheRuntimeChoosesItsOwn) {
    AppFolder folder;
    ProbeApp app(folder);
    LauncherRun run = app.Run({L"print-env", L"Path", L"print-prop", L"java.library.path"});
    EXPECT_EQ(run.exitCode, 0);
    const std::wstring home = RealRuntimeHome();
    ProbeResults results = app.Results();
    EXPECT_EQ(results.Value(L"env.Path"), OwnPath() + L";" + home + L"\\bin") << results.Text();
    std::optional<std::wstring> libraryPath = results.Value(L"prop.java.library.path");
    ASSERT_TRUE(libraryPath.has_value()) << results.Text();
    // The runtime's own default begins with the folder of the running executable.
    EXPECT_EQ(libraryPath->rfind(folder.path() + L";", 0), 0u) << *libraryPath;
}

}  // namespace
}  // namespace orvo::test
