// A runtime folder whose JVM library is no DLL at all: the launcher names the
// file it could not load, with the system's error number, and exits with -1.
#include <gtest/gtest.h>

#include <string>

#include "support/app_folder.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"

namespace orvo::test {
namespace {

TEST(RealRuntimeLibrary, LibraryThatIsNoDllIsNamedInTheBox) {
    AppFolder folder;
    folder.CreateFolder(L"broken\\bin\\client");
    const std::wstring library = folder.WriteText(L"broken\\bin\\client\\jvm.dll", L"this is not a DLL\n");
    ProbeAppSettings settings;
    settings.jrePath = folder.PathOf(L"broken");
    ProbeApp app(folder, settings);
    const std::wstring box = L"Failed to load Java VM library: " + library + L" (errno = 193).\n";
    LauncherRun run = app.Run({}, {ExpectMessageBox(box, IDOK, L"real-runtime-no-dll")});
    EXPECT_EQ(run.exitCode, -1);
    // A library that is no image at all cannot ask for the pair either.
    ASSERT_EQ(run.processes.size(), 1u) << DescribeProcesses(run);
    EXPECT_FALSE(app.Results().exists());
}

}  // namespace
}  // namespace orvo::test
