// A launcher in a folder others can write to, started from a folder others can
// write to: a library planted in either under the name of one the runtime or the
// Java program needs must not be loaded, and the launch must still work. The
// runtime lies elsewhere, as an installed one does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/app_folder.h"
#include "support/java_runtime.h"
#include "support/planted_dll.h"
#include "support/test_environment.h"
#include "support/wine_dll_order.h"

namespace orvo::test {
namespace {

enum class Where { kLauncherFolder, kCurrentFolder };

// What the Java program does besides loading its native library: what makes the
// runtime load the planted name.
enum class Use { kNothingMore, kNetwork };

struct PlantedCase {
    const wchar_t* name;
    Where where;
    Use use = Use::kNothingMore;
};

// jvm.dll's own imports; the system libraries the runtime loads by bare name (a bare
// name is looked for in the executable's folder first): dbghelp.dll as the VM starts,
// winhttp.dll and mswsock.dll for its network libraries; and the library the Java
// program's native library needs from Path. Not here: version.dll beside the launcher
// (wine's own user32 imports it, so under wine a process beside a planted copy dies
// before it runs); opengl32.dll beside the launcher (under wine a Swing window never
// loads it by bare name, so the case could not fail); orvo_path_helper.dll beside the
// launcher (the Java program's own libraries are looked for there first, as Windows
// does for every program).
constexpr PlantedCase kCases[] = {
    {L"winmm.dll", Where::kLauncherFolder},
    {L"winmm.dll", Where::kCurrentFolder},
    {L"wsock32.dll", Where::kLauncherFolder},
    {L"wsock32.dll", Where::kCurrentFolder},
    {L"vcruntime140.dll", Where::kLauncherFolder},
    {L"vcruntime140.dll", Where::kCurrentFolder},
    {L"version.dll", Where::kCurrentFolder},
    {L"dbghelp.dll", Where::kLauncherFolder},
    {L"dbghelp.dll", Where::kCurrentFolder},
    {L"winhttp.dll", Where::kLauncherFolder, Use::kNetwork},
    {L"mswsock.dll", Where::kLauncherFolder, Use::kNetwork},
    {L"orvo_path_helper.dll", Where::kCurrentFolder},
};

// The probe's commands for the case after it loaded its native library, and the line
// it then reports (none for kNothingMore).
struct ProbeUse {
    std::vector<std::wstring> commands;
    std::wstring key;
    std::wstring value;
};

ProbeUse ProbeUseFor(Use use) {
    switch (use) {
        case Use::kNothingMore: break;
        case Use::kNetwork: return {{L"network"}, L"network", L"connected"};
    }
    return {};
}

std::wstring Describe(const PlantedCase& c) {
    return std::wstring(c.name) + (c.where == Where::kLauncherFolder ? L" beside the launcher" : L" in the current folder");
}

// The Java program's native library lies in "native"; the library it imports lies
// in "deps", which "System Path" names: only the search of Path finds it.
ProbeAppSettings WithNativeLibrary(const AppFolder& folder) {
    folder.CreateFolder(L"native");
    folder.AddCopyOf(PlantedBuildFile(L"needs_path_helper.dll", PlantedArch::k64), L"native\\needs_path_helper.dll");
    std::wstring dependencies = folder.CreateFolder(L"deps");
    folder.AddCopyOf(PlantedBuildFile(L"orvo_path_helper.dll", PlantedArch::k64), L"deps\\orvo_path_helper.dll");
    ProbeAppSettings settings;
    settings.runtimeLines = L"System Path=" + dependencies + L"\n";
    return settings;
}

TEST(RealRuntimePlantedDll, NoPlantedLibraryIsLoadedAndTheLaunchWorks) {
    for (const PlantedCase& c : kCases) {
        SCOPED_TRACE(Describe(c));
        AppFolder folder(FileNameSafe(c.name) + (c.where == Where::kLauncherFolder ? L"-app" : L"-cwd"));
        ProbeApp app(folder, WithNativeLibrary(folder));
        const std::wstring nativeLibrary = folder.PathOf(L"native\\needs_path_helper.dll");
        std::wstring currentFolder = folder.CreateFolder(L"cwd");
        std::wstring planted =
            PlantDll(c.where == Where::kLauncherFolder ? folder.path() : currentFolder, c.name, PlantedArch::k64);
        std::wstring library(c.name);
        NativeLibraryFirst filesFirst({L"App.exe", L"App64.exe"}, library.substr(0, library.rfind(L'.')));
        const ProbeUse use = ProbeUseFor(c.use);
        std::vector<std::wstring> arguments = {L"load-library", nativeLibrary};
        arguments.insert(arguments.end(), use.commands.begin(), use.commands.end());
        arguments.insert(arguments.end(), {L"exit", L"3"});
        RunOptions options = app.Options();
        options.workingDirectory = currentFolder;
        LauncherRun run = RunLauncher(app.Launcher(), arguments, options);
        EXPECT_EQ(PlantedDllLoads(planted), L"");
        EXPECT_EQ(run.exitCode, 3) << DescribeProcesses(run);
        ExpectHostedByApp64(run, app.Results());
        EXPECT_EQ(app.Results().Value(L"loaded"), nativeLibrary) << app.Results().Text();
        if (!use.key.empty()) {
            EXPECT_TRUE(app.Results().HasLine(use.key, use.value)) << app.Results().Text();
        }
    }
}

}  // namespace
}  // namespace orvo::test
