// The machine type of the selected runtime decides whether the launch goes to the
// pair, and reading it must not load any library: a dbghelp.dll planted beside the
// application or in the current folder would otherwise run inside the launcher.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/app_folder.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"
#include "support/planted_dll.h"
#include "support/wine_dll_order.h"

namespace orvo::test {
namespace {

// App.exe checks the 64-bit runtime and hands it over to App64.exe. (App64.exe
// itself is no witness: the 64-bit runtime it hosts loads dbghelp by name on its
// own.) Both runs test App.exe, the 32-bit launcher of the build.
TEST(RealRuntimeMachineCheck, PlantedDbghelpIsNeverLoaded) {
    AppFolder folder;
    ProbeApp app(folder);
    const std::wstring current = folder.CreateFolder(L"current");
    const std::vector<std::wstring> planted = {PlantDll(folder.path(), L"dbghelp.dll", PlantedArch::k32),
                                               PlantDll(current, L"dbghelp.dll", PlantedArch::k32)};
    NativeLibraryFirst filesFirst({L"App.exe"}, L"dbghelp");
    RunOptions options = app.Options();
    options.workingDirectory = current;
    LauncherRun run = RunLauncher(app.App32(), {L"exit", L"5"}, options);
    EXPECT_EQ(run.exitCode, 5) << DescribeProcesses(run);
    EXPECT_EQ(run.processes.size(), 2u) << DescribeProcesses(run);
    EXPECT_TRUE(app.Results().Value(L"process").value_or(L"").ends_with(L"\\App64.exe")) << app.Results().Text();
    for (const std::wstring& path : planted) EXPECT_EQ(PlantedDllLoads(path), L"") << path;
}

}  // namespace
}  // namespace orvo::test
