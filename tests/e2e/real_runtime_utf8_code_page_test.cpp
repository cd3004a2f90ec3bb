// Launchers packed with the UTF-8 code page: a runtime and jars in a folder of any
// script reach the runtime by their own names, not by short ones; a runtime that reads
// file names in the system's code page instead is refused in the search. And launchers
// packed as long-path aware, with a class path deeper than 260 characters.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/app_folder.h"
#include "support/file_tree.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"
#include "support/trace_file.h"
#include "support/ui_automation.h"
#include "support/wide_text.h"

namespace orvo::test {
namespace {

const std::wstring kCyrillic = L"\u041F\u0440\u043E\u0433\u0430 Test";
const std::wstring kJapanese = L"\u65E5\u672C\u8A9E";
// What the probe gets as an argument and writes to its standard output.
const std::wstring kText = L"\u0436\u0438\u0437\u043D\u044C \u65E5\u672C";
const std::vector<std::wstring> kPackedUtf8{L"--code-page", L"utf-8"};

// The launchers (packed with `packOptions`), their INI naming the bundled runtime, and
// the probe's jar in lib; the probe's standard output goes to out.txt.
ProbeApp LayOut(const BundledRuntimeFolder& folder, const std::vector<std::wstring>& packOptions) {
    CreateFolderTree(folder.path() + L"\\lib");
    CopyFileTo(ProbeJar(), folder.path() + L"\\lib\\probe.jar");
    ProbeAppSettings settings;
    settings.jrePath = L"";  // "jre" beside the launchers
    settings.classPath = L"lib\\*.jar";
    settings.pairProduct = L"App64.exe";
    settings.applicationLines = L"Output File=out.txt\n";
    settings.packOptions = packOptions;
    return ProbeApp(folder.path(), settings);
}

const std::vector<std::wstring> kProbeCommands{
    L"print-prop", L"java.class.path", L"print-prop", L"sun.jnu.encoding", L"code-source",
    L"stdout",     kText,              L"print-args", L"--",               kText};

// The probe ran in a UTF-8 process and everything arrived by its own name.
void ExpectStartedIntact(const BundledRuntimeFolder& folder, const ProbeApp& app, const LauncherRun& run) {
    EXPECT_EQ(run.exitCode, 0) << DescribeProcesses(run);
    const ProbeResults results = app.Results();
    ExpectHostedByApp64(run, results);
    const std::wstring jar = folder.path() + L"\\lib\\probe.jar";
    EXPECT_EQ(results.Value(L"prop.sun.jnu.encoding"), L"UTF-8") << results.Text();
    EXPECT_EQ(results.Value(L"prop.java.class.path"), jar + L";") << results.Text();
    EXPECT_EQ(results.Value(L"code-source"), jar) << results.Text();
    EXPECT_EQ(results.Value(L"arg.9"), kText) << results.Text();
    EXPECT_EQ(ReadFileBytes(folder.path() + L"\\out.txt"), Utf8(kText) + "\r\n");
}

ExpectedWindow ExpectJreNotFoundDialogCancelled() {
    ExpectedWindow expected;
    expected.description = L"the \"JRE Not Found\" dialog";
    expected.matches = [](const WindowSnapshot& w) { return w.IsDialog() && w.title == L"JRE Not Found"; };
    expected.respond = [](const WindowSnapshot& w) { EXPECT_TRUE(PressButton(w.handle, IDCANCEL)); };
    return expected;
}

// Java 11.0.13 takes the VM's UTF-8 class path for text in the system's code page and
// finds no main class; 17.0.9 and later read it in UTF-8.
TEST(RealRuntimeUtf8CodePage, EachRuntimeVersionStartsOrIsRefusedAsFound) {
    for (int version : kRealRuntimeVersions) {
        for (const std::wstring& name : {kCyrillic, kJapanese}) {
            SCOPED_TRACE("Java " + std::to_string(version) + " in " + Utf8(name));
            BundledRuntimeFolder folder(name, version);
            ProbeApp app = LayOut(folder, kPackedUtf8);
            const std::wstring tracePath = folder.path() + L"\\trace.txt";
            RunOptions options = app.Options(version == 11 ? std::vector{ExpectJreNotFoundDialogCancelled()}
                                                           : std::vector<ExpectedWindow>{});
            options.environment.push_back({L"ORVO_TRACE", tracePath});
            LauncherRun run = RunLauncher(app.Launcher(), kProbeCommands, options);
            if (version != 11) {
                ExpectStartedIntact(folder, app, run);
                continue;
            }
            EXPECT_EQ(run.exitCode, -1) << DescribeProcesses(run);
            EXPECT_FALSE(app.Results().exists()) << app.Results().Text();
            const TraceFile trace = ReadTraceFile(tracePath);
            const std::wstring launcher = app.Launcher().substr(app.Launcher().rfind(L'\\') + 1);
            const auto refusal = trace.Find(launcher, L"search", L"launcher folder: refused, Java 11.", true);
            EXPECT_TRUE(refusal.has_value()) << trace.Text();
            if (refusal) {
                EXPECT_TRUE(trace.lines[*refusal].text.ends_with(
                    L" is not known to read file names in UTF-8 (17.0.7 or later, but not 18, does)"))
                    << trace.Text();
            }
        }
    }
}

// Without the code page, the runtime in such a folder cannot start, and says so.
TEST(RealRuntimeUtf8CodePage, WithoutItTheRuntimeInTheFolderSaysItCannotStart) {
    for (const std::wstring& name : {kCyrillic, kJapanese}) {
        SCOPED_TRACE(Utf8(name));
        BundledRuntimeFolder folder(name, 21);
        ProbeApp app = LayOut(folder, {});
        const std::wstring lead = L"The Java runtime " + folder.path() +
                                  L"\\jre cannot start from its folder: the name has letters that the system's code "
                                  L"page for programs lacks";
        ExpectedWindow box;
        box.description = L"the box about the runtime's folder";
        box.matches = [&](const WindowSnapshot& window) { return window.MessageText().starts_with(lead); };
        box.respond = [](const WindowSnapshot& window) { EXPECT_TRUE(PressButton(window.handle, IDOK)); };
        LauncherRun run = app.Run(kProbeCommands, {box});
        EXPECT_NE(run.exitCode, 0) << DescribeProcesses(run);
        EXPECT_FALSE(app.Results().exists()) << app.Results().Text();
    }
}

// Wine cannot start a program from a path of 260 characters or more, so the launcher
// stays above the deep folder; the runtime in such a folder fails on its own (it cannot
// set its boot class path), so it stays where it is.
TEST(RealRuntimeLongPaths, ClassPathDeeperThan260Characters) {
    AppFolder folder;
    std::wstring deep;
    while (folder.path().size() + deep.size() < 300) deep += std::wstring(40, L'd') + L"\\";
    CreateFolderTree(folder.PathOf(deep + L"lib"));
    CopyFileTo(ProbeJar(), folder.PathOf(deep + L"lib\\probe.jar"));
    ProbeAppSettings settings;
    settings.jrePath = RealRuntimeHome(21);
    settings.classPath = deep + L"lib\\*.jar";
    settings.packOptions = {L"--long-paths"};
    ProbeApp app(folder, settings);
    LauncherRun run = app.Run({L"code-source"});
    EXPECT_EQ(run.exitCode, 0) << DescribeProcesses(run);
    const ProbeResults results = app.Results();
    ExpectHostedByApp64(run, results);
    EXPECT_EQ(results.Value(L"code-source"), folder.PathOf(deep + L"lib\\probe.jar")) << results.Text();
}

}  // namespace
}  // namespace orvo::test
