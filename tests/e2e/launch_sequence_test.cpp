// The launch as a user sees it when it stops before any Java code runs: the box
// for a configuration without a main class, a launcher whose name gives no INI,
// no Java runtime anywhere, and an INI file deeper than the classic path limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/app_folder.h"
#include "support/file_tree.h"
#include "support/launcher_run.h"
#include "support/ui_automation.h"

namespace orvo::test {
namespace {

constexpr wchar_t kMainClassMissing[] = L"Main class was not specified in INI file.";

// JAVA_HOME of the machine running the tests must not lead the launcher anywhere.
RunOptions WithoutJavaHome(std::vector<ExpectedWindow> expected = {}) {
    RunOptions options;
    options.expectedWindows = std::move(expected);
    options.environment = {{L"JAVA_HOME", std::nullopt}};
    return options;
}

// The one box a missing main class gives: exact text, error icon, no owner
// (nothing else is on screen yet), only an OK button, the system's caption.
void ExpectOneMainClassBox(const LauncherRun& run) {
    EXPECT_EQ(run.exitCode, -1);
    std::vector<WindowSnapshot> boxes = run.WindowsFor(0);
    ASSERT_EQ(boxes.size(), 1u);
    const WindowSnapshot& box = boxes.front();
    EXPECT_EQ(box.MessageText(), kMainClassMissing);
    EXPECT_EQ(box.icon, MessageIcon::kError);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.ownerProcessId, 0u);
    EXPECT_EQ(box.ButtonTexts(), std::vector<std::wstring>{L"OK"});
    EXPECT_EQ(box.title, L"Error");
    EXPECT_EQ(box.processId, run.processes.front().processId);
}

TEST(LaunchSequence, ConfigurationWithoutMainClassShowsOneErrorBoxAndExitsMinusOne) {
    struct Case {
        const wchar_t* name;
        const wchar_t* ini;  // nullptr: no INI file at all
        TextEncoding encoding;
    };
    const Case cases[] = {
        {L"no INI file", nullptr, TextEncoding::kAnsi},
        {L"key in the wrong section",
         L"[Application]\nMain Class=com.example.App\n[Java Runtime Environment]\nMinimum Version=1.8\n",
         TextEncoding::kAnsi},
        {L"empty value, UTF-16 file", L"[Java Runtime Environment]\nMain Class=\n", TextEncoding::kUtf16Bom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        AppFolder folder(c.name);
        std::wstring launcher = folder.AddLauncher(L"MyApp.exe");
        if (c.ini) folder.WriteText(L"MyApp.ini", c.ini, c.encoding);
        // Only the first case keeps a picture of the box, to be looked at by a person.
        std::wstring screenshot = c.ini ? L"" : L"main-class-box";
        RunOptions options = WithoutJavaHome({ExpectMessageBox(kMainClassMissing, IDOK, screenshot)});
        ExpectOneMainClassBox(RunLauncher(launcher, {}, options));
    }
}

TEST(LaunchSequence, LauncherNameWithoutDotExitsMinusOneWithoutAnyBox) {
    AppFolder folder;
    std::wstring launcher = folder.AddLauncher(L"MyApp");
    // Were a configuration looked for anyway, this one would stop the launch with a box.
    folder.WriteText(L"MyApp.ini", L"[Java Runtime Environment]\nMinimum Version=1.8\n");
    LauncherRun run = RunLauncher(launcher, {}, WithoutJavaHome());
    EXPECT_EQ(run.exitCode, -1);
    EXPECT_TRUE(run.windows.empty());
}

// A configuration file of any size gives one box that says what is wrong; a file of
// gigabytes crashed the 64-bit launcher inside the profile API, which loads it whole.
TEST(LaunchSequence, ConfigurationFileBeyondSixteenMegabytesShowsItsOwnBox) {
    const std::uint64_t sizes[] = {(16ull << 20) + 1, 3ull << 30, (4ull << 30) + 100};
    for (std::uint64_t size : sizes) {
        SCOPED_TRACE(testing::Message() << size << " bytes");
        AppFolder folder(std::to_wstring(size));
        std::wstring launcher = folder.AddLauncher(L"MyApp.exe");
        WriteSparseFile(folder.PathOf(L"MyApp.ini"), "[Java Runtime Environment]\r\nMain Class=com.example.App\r\n",
                        size);
        const std::wstring message =
            L"The configuration file " + folder.PathOf(L"MyApp.ini") + L" is larger than 16 MB and cannot be read.";
        std::wstring screenshot = size == (3ull << 30) ? L"too-large-box" : L"";
        LauncherRun run = RunLauncher(launcher, {}, WithoutJavaHome({ExpectMessageBox(message, IDOK, screenshot)}));
        EXPECT_EQ(run.exitCode, -1);
        EXPECT_EQ(run.WindowsFor(0).size(), 1u);
        EXPECT_EQ(run.UnexpectedWindowCount(), 0);
    }
}

// Nothing in the launcher's folder, the registry or JAVA_HOME: the launcher asks
// for a runtime, and cancelling that question ends the launch with -1 and leaves
// the configuration as it was.
ExpectedWindow CancelledJreNotFoundDialog() {
    ExpectedWindow dialog;
    dialog.description = L"the JRE Not Found dialog";
    dialog.matches = [](const WindowSnapshot& w) { return w.IsDialog() && w.title == L"JRE Not Found"; };
    dialog.respond = [](const WindowSnapshot& w) { EXPECT_TRUE(PressButton(w.handle, IDCANCEL)); };
    return dialog;
}

TEST(LaunchSequence, NoRuntimeAnywhereAsksForOneAndCancelEndsWithMinusOne) {
    AppFolder folder;
    std::wstring launcher = folder.AddLauncher(L"MyApp.exe");
    const std::wstring ini = L"[Java Runtime Environment]\nMain Class=com.example.App\n";
    folder.WriteText(L"MyApp.ini", ini);
    LauncherRun run = RunLauncher(launcher, {}, WithoutJavaHome({CancelledJreNotFoundDialog()}));
    EXPECT_EQ(run.exitCode, -1);
    EXPECT_EQ(run.WindowsFor(0).size(), 1u);
    EXPECT_EQ(folder.ReadText(L"MyApp.ini"), WithWindowsLineEnds(ini));
}

// Nested folder names that make `folder` + "\\" + names + "\\" + fileName exactly
// `length` characters long (each name at most 60 characters).
std::wstring FoldersToReach(const std::wstring& folder, const std::wstring& fileName, std::size_t length) {
    std::size_t room = length - folder.size() - fileName.size() - 2;
    std::wstring names;
    while (room > 0) {
        std::size_t piece = std::min<std::size_t>(room, 60);
        // A piece must leave either nothing or room for a separator and one character.
        if (room - piece == 1) --piece;
        if (!names.empty()) names += L"\\";
        names += std::wstring(piece, L'd');
        room -= piece + (room > piece ? 1 : 0);
    }
    return names;
}

// Wine 8 starts no program whose path is 260 characters or longer (in plain,
// "\\?\" or short-name form alike), so the deepest launcher that can run has a
// 259-character path. Named "LongApp.e", its INI "LongApp.ini" is 261 characters
// long: past the classic limit, where the profile API no longer takes the plain path.
TEST(LaunchSequence, IniPathBeyondClassicPathLimitIsStillRead) {
    AppFolder folder;
    const std::wstring name = L"LongApp.e";
    const std::wstring withIni = L"i\\" + FoldersToReach(folder.path() + L"\\i", name, 259);
    const std::wstring withoutIni = L"n\\" + FoldersToReach(folder.path() + L"\\n", name, 259);
    folder.CreateFolder(withIni);
    folder.CreateFolder(withoutIni);
    std::wstring launcher = folder.AddLauncher(withIni + L"\\" + name);
    std::wstring ini =
        folder.WriteText(withIni + L"\\LongApp.ini", L"[Java Runtime Environment]\nMain Class=com.example.App\n");
    std::wstring control = folder.AddLauncher(withoutIni + L"\\" + name);
    ASSERT_EQ(launcher.size(), 259u);
    ASSERT_EQ(ini.size(), 261u);

    // A launcher that read its INI gets past the main class and asks for a runtime ...
    LauncherRun found = RunLauncher(launcher, {}, WithoutJavaHome({CancelledJreNotFoundDialog()}));
    EXPECT_EQ(found.exitCode, -1);
    EXPECT_EQ(found.windows.size(), 1u);
    // ... while the same launcher without an INI beside it stops at the main class.
    ExpectOneMainClassBox(RunLauncher(control, {}, WithoutJavaHome({ExpectMessageBox(kMainClassMissing)})));
}

}  // namespace
}  // namespace orvo::test
