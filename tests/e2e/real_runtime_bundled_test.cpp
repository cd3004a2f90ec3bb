// The runtime shipped in a "jre" folder beside the launcher, with no "JRE Path":
// the launcher finds it there, and the 32-bit one hands the 64-bit runtime over.
#include <gtest/gtest.h>

#include <string>

#include "support/java_runtime.h"
#include "support/launcher_run.h"

namespace orvo::test {
namespace {

TEST(RealRuntimeBundled, RuntimeInJreBesideTheLauncherIsFoundAndRun) {
    BundledRuntimeFolder folder;
    ProbeAppSettings settings;
    settings.jrePath = L"";
    ProbeApp app(folder.path(), settings);
    LauncherRun run = app.Run({L"print-env", L"ORVO_JVM_HOME", L"exit", L"6"});
    EXPECT_EQ(run.exitCode, 6);
    ExpectHostedByApp64(run, app.Results());
    EXPECT_EQ(app.Results().Value(L"env.ORVO_JVM_HOME"), folder.path() + L"\\jre") << app.Results().Text();
}

}  // namespace
}  // namespace orvo::test
