// An application jar stored at the end of the launcher executable, run on the real
// runtime: the executable itself heads the class path and the classes load from it.
#include <gtest/gtest.h>

#include <string>

#include "support/app_folder.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"

namespace orvo::test {
namespace {

TEST(RealRuntimeEmbeddedJar, ProgramRunsFromTheExecutableItself) {
    AppFolder folder;
    ProbeAppSettings settings;
    settings.classPath = L"";
    settings.embeddedJar = true;
    ProbeApp app(folder, settings);
    LauncherRun run = app.Run({L"print-prop", L"java.class.path", L"code-source"});
    EXPECT_EQ(run.exitCode, 0);
    ExpectHostedByApp64(run, app.Results());
    ProbeResults results = app.Results();
    EXPECT_EQ(results.Value(L"prop.java.class.path"), app.HostLauncher() + L";") << results.Text();
    EXPECT_EQ(results.Value(L"code-source"), app.HostLauncher()) << results.Text();
}

}  // namespace
}  // namespace orvo::test
