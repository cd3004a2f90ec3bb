// An application in a folder whose name has letters outside the ANSI code page (1252
// under wine). The runtime takes its options in ANSI text, so the launcher hands it
// the short (8.3) names of the jars; a folder the code page can name is handed over as
// it is. A runtime bundled in such a folder cannot find its own files (it turns its
// short names back into long ones), and the box says so.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/file_tree.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"
#include "support/ui_automation.h"
#include "support/wide_text.h"

namespace orvo::test {
namespace {

const std::wstring kCyrillic = L"\u041F\u0440\u043E\u0433\u0430 Test";
const std::wstring kLatin1 = L"Pr\u00F4gram T\u00EBst";

std::wstring ShortPath(const std::wstring& path) {
    wchar_t buffer[1024];
    DWORD length = GetShortPathNameW(path.c_str(), buffer, 1024);
    return length > 0 && length < 1024 ? std::wstring(buffer, length) : std::wstring();
}

// Launchers and jars in the folder; the runtime bundled there, or at its own place.
ProbeApp LayOut(const BundledRuntimeFolder& folder, bool bundledRuntime) {
    CreateFolderTree(folder.path() + L"\\lib");
    if (!CopyFileW(ProbeJar().c_str(), (folder.path() + L"\\lib\\probe.jar").c_str(), FALSE))
        ADD_FAILURE() << "cannot copy the probe jar";
    ProbeAppSettings settings;
    if (bundledRuntime) settings.jrePath = L"";  // "jre" beside the launchers
    settings.classPath = L"lib\\*.jar";
    settings.pairProduct = L"App64.exe";  // an INI is ANSI text too
    return ProbeApp(folder.path(), settings);
}

TEST(RealRuntimeCodePage, JarsInTheFolderReachTheRuntimeByNamesItCanRead) {
    struct Case {
        const std::wstring& folderName;
        bool bundledRuntime;
        bool shortNames;  // the code page lacks some of the folder's letters
    };
    const Case cases[] = {{kCyrillic, false, true}, {kLatin1, true, false}, {kLatin1, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.folderName) + (c.bundledRuntime ? ", runtime bundled" : ", runtime elsewhere"));
        BundledRuntimeFolder folder(c.folderName);
        ProbeApp app = LayOut(folder, c.bundledRuntime);
        LauncherRun run =
            app.Run({L"print-prop", L"java.class.path", L"code-source", L"print-args", L"--", L"\u0436"});
        EXPECT_EQ(run.exitCode, 0) << DescribeProcesses(run);
        ProbeResults results = app.Results();
        ExpectHostedByApp64(run, results);
        const std::wstring jar = folder.path() + L"\\lib\\probe.jar";
        EXPECT_EQ(results.Value(L"prop.java.class.path"), (c.shortNames ? ShortPath(jar) : jar) + L";")
            << results.Text();
        // Java itself names the class's source by its long name again.
        EXPECT_EQ(results.Value(L"code-source"), jar) << results.Text();
        // Arguments to main are Java strings: they stay exact.
        EXPECT_EQ(results.Value(L"arg.5"), L"\u0436") << results.Text();
    }
}

TEST(RealRuntimeCodePage, RuntimeBundledInAFolderTheCodePageCannotNameSaysSo) {
    BundledRuntimeFolder folder(kCyrillic);
    ProbeApp app = LayOut(folder, true);
    const std::wstring lead = L"The Java runtime " + folder.path() +
                              L"\\jre cannot start from its folder: the name has letters that the system's code page "
                              L"for programs lacks, and the runtime reads its own folder in that code page. Install "
                              L"the runtime, or the application with it, in a folder whose name has none of them.\n\n"
                              L"The Java runtime reported:\n";
    ExpectedWindow box;
    box.description = L"the box about the runtime's folder, with the runtime's own words";
    box.matches = [&](const WindowSnapshot& window) { return window.MessageText().starts_with(lead); };
    box.respond = [](const WindowSnapshot& window) { EXPECT_TRUE(PressButton(window.handle, IDOK)); };
    box.screenshotLabel = L"runtime-folder";
    LauncherRun run = app.Run({}, {box});
    EXPECT_NE(run.exitCode, 0) << DescribeProcesses(run);
    ExpectProcessesOfHandOver(run);
    EXPECT_FALSE(app.Results().exists()) << app.Results().Text();
}

}  // namespace
}  // namespace orvo::test
