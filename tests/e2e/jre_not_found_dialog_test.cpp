// The dialog a user meets when no Java runtime is found anywhere: what it says for
// each version requirement, how it is laid out, the three ways of backing out, and
// browsing for a runtime folder in the shell's folder picker, after which the choice
// is remembered and the next start goes on without asking.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "discovery/jre_not_found_dialog.h"
#include "foundation/unique_handle.h"
#include "support/app_folder.h"
#include "support/folder_picker.h"
#include "support/harness_error.h"
#include "support/launcher_run.h"
#include "support/registry_keys.h"
#include "support/remote_memory.h"
#include "support/screenshot.h"
#include "support/test_environment.h"
#include "support/ui_automation.h"
#include "support/window_snapshot.h"

namespace orvo::test {
namespace {

constexpr wchar_t kTitle[] = L"JRE Not Found";
constexpr wchar_t kDownloadAddress[] = L"https://adoptium.net/";
constexpr wchar_t kBrowseHint[] = L"If you have a JRE installed you can browse for it below:";
constexpr wchar_t kPickerTitle[] = L"Browse for JRE folder";

constexpr int kPathField = 201;
constexpr int kBrowseButton = 202;
constexpr int kMessageText = 203;
constexpr int kErrorIcon = 204;
constexpr int kDownloadLink = 205;
constexpr int kHintText = 206;
constexpr int kUnnumbered = -1;

constexpr DWORD kDialogRunTimeoutMs = 60000;
constexpr DWORD kPickerTimeoutMs = 30000;

constexpr wchar_t kProductName[] = L"Orvo Tests";
constexpr wchar_t kProductCode[] = L"{JRE-DIALOG}";

std::wstring Message(const std::wstring& requirement) {
    return L"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE (" + requirement +
           L") from:";
}

std::wstring ServerMessage(const std::wstring& requirement) {
    return L"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE with a server "
           L"JVM (" +
           requirement + L") from:";
}

// -- The machine ----------------------------------------------------------------------------

// -- The application ------------------------------------------------------------------------

// MyApp.exe with a main class and no runtime anywhere: no "JRE Path", nothing in
// its folder, JAVA_HOME removed, and APPDATA pointed into the test folder.
class NoRuntimeApp {
public:
    NoRuntimeApp(const AppFolder& folder, std::wstring_view applicationLines = {},
                 std::wstring_view runtimeLines = {})
        : folder_(folder) {
        launcher_ = folder.AddLauncher(L"MyApp.exe");
        std::wstring ini = L"[Product Information]\nProduct Name=" + std::wstring(kProductName) +
                           L"\nProduct Code=" + kProductCode + L"\n[Application]\n" + std::wstring(applicationLines) +
                           L"[Java Runtime Environment]\nMain Class=com.example.App\n" + std::wstring(runtimeLines);
        folder.WriteText(L"MyApp.ini", ini);
        folder.CreateFolder(L"appdata");  // APPDATA exists; the launcher makes only the folders below it
        iniText_ = *folder.ReadText(L"MyApp.ini");
    }

    const std::wstring& launcher() const { return launcher_; }
    std::wstring AppData() const { return folder_.PathOf(L"appdata"); }
    // True when the launcher made the per-user folder, which it does only to write there.
    bool WroteUserCopy() const { return folder_.Exists(L"appdata\\" + std::wstring(kProductName)); }
    std::wstring UserCopy(std::wstring_view iniName) const {
        return std::wstring(L"appdata\\") + kProductName + L"\\" + kProductCode + L"\\" + std::wstring(iniName);
    }
    // The main INI exactly as the test wrote it.
    bool MainIniUnchanged() const { return folder_.ReadText(L"MyApp.ini") == iniText_; }

    RunOptions Options(std::vector<ExpectedWindow> expected) const {
        RunOptions options;
        options.expectedWindows = std::move(expected);
        options.environment = {{L"JAVA_HOME", std::nullopt}, {L"APPDATA", AppData()}};
        options.timeoutMs = kDialogRunTimeoutMs;
        return options;
    }
    LauncherRun Run(std::vector<ExpectedWindow> expected) const {
        return RunLauncher(launcher_, {}, Options(std::move(expected)));
    }

private:
    const AppFolder& folder_;
    std::wstring launcher_;
    std::wstring iniText_;
};

// The paired launcher beside MyApp.exe, named by its full path: a relative name
// would be taken from the launcher's current folder, which is the test program's.
std::wstring PairLine(const AppFolder& folder) { return L"Pair Product=" + folder.PathOf(L"MyApp64.exe") + L"\n"; }

// A runtime folder as the dialog sees one: only its JVM library counts, and an
// empty file is enough. Returns the folder's path.
std::wstring AddRuntime(const AppFolder& folder, std::wstring_view relative, std::wstring_view flavour) {
    folder.CreateFolder(std::wstring(relative) + L"\\bin\\" + std::wstring(flavour));
    folder.WriteBytes(std::wstring(relative) + L"\\bin\\" + std::wstring(flavour) + L"\\jvm.dll", "");
    return folder.PathOf(relative);
}

// The value of one key in an INI text (case-insensitive key match, first match);
// nullopt when absent.
std::optional<std::wstring> IniValue(const std::optional<std::wstring>& text, std::wstring_view key) {
    if (!text) return std::nullopt;
    std::size_t start = 0;
    while (start < text->size()) {
        std::size_t end = text->find(L'\n', start);
        if (end == std::wstring::npos) end = text->size();
        std::wstring line = text->substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        std::size_t equals = line.find(L'=');
        if (equals == key.size() && CompareStringOrdinal(line.c_str(), static_cast<int>(equals), key.data(),
                                                         static_cast<int>(key.size()), TRUE) == CSTR_EQUAL)
            return line.substr(equals + 1);
        start = end + 1;
    }
    return std::nullopt;
}

// -- Acting on the dialog -------------------------------------------------------------------

bool IsJreDialog(const WindowSnapshot& window) { return window.IsDialog() && window.title == kTitle; }

ExpectedWindow ExpectJreDialog(std::function<void(const WindowSnapshot&)> respond,
                               std::wstring screenshotLabel = {}) {
    ExpectedWindow expected;
    expected.description = L"the \"JRE Not Found\" dialog";
    expected.matches = IsJreDialog;
    expected.respond = std::move(respond);
    expected.screenshotLabel = std::move(screenshotLabel);
    return expected;
}

void PressOrFail(HWND dialog, int buttonId) {
    if (PressButton(dialog, buttonId)) return;
    ADD_FAILURE() << "button " << buttonId << " could not be pressed (missing or disabled):\n"
                  << DescribeWindow(ReadWindow(dialog));
    PressButton(dialog, IDCANCEL);
}

// A key press as the window's message loop receives it from the keyboard.
void PostKey(HWND target, WORD key) {
    UINT scanCode = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, key, 1 | (scanCode << 16));
    PostMessageW(target, WM_KEYUP, key, 1 | (scanCode << 16) | 0xC0000000u);
}

GUITHREADINFO GuiThreadOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

// The key press, to the control that has the focus (the dialog when none has).
void PressKey(HWND dialog, WORD key) {
    HWND focus = GuiThreadOf(dialog).hwndFocus;
    PostKey(focus ? focus : dialog, key);
}

// What the dialog showed after one browse.
struct AfterBrowse {
    std::wstring pathField;
    bool okEnabled = false;
};

// Presses Browse, picks the folder in the picker, confirms it, and reads the dialog.
// Saves a picture of the picker with the folder selected when a label is given.
std::optional<AfterBrowse> BrowseTo(HWND dialog, const std::wstring& folder, const std::wstring& pickerLabel) {
    if (!PressButton(dialog, kBrowseButton)) {
        ADD_FAILURE() << "Browse could not be pressed:\n" << DescribeWindow(ReadWindow(dialog));
        return std::nullopt;
    }
    HWND picker = WaitForFolderPicker(dialog, kPickerTimeoutMs);
    if (!picker) {
        ADD_FAILURE() << "no folder picker appeared after Browse";
        return std::nullopt;
    }
    WindowSnapshot pickerWindow = ReadWindow(picker);
    EXPECT_TRUE(std::any_of(pickerWindow.controls.begin(), pickerWindow.controls.end(),
                            [](const ControlSnapshot& c) { return c.text == kPickerTitle; }))
        << "the picker says what to pick:\n"
        << DescribeWindow(pickerWindow);
    bool selected = SelectFolderInPicker(picker, folder);
    if (selected && !pickerLabel.empty()) SaveWindowScreenshot(picker, pickerLabel);
    EXPECT_TRUE(PressButton(picker, selected ? IDOK : IDCANCEL)) << DescribeWindow(pickerWindow);
    if (!WaitUntilClosed(picker, kPickerTimeoutMs)) {
        ADD_FAILURE() << "the folder picker did not close:\n" << DescribeWindow(ReadWindow(picker));
        return std::nullopt;
    }
    // The dialog handles the picked folder before it takes the next message.
    if (!WaitUntilIdle(dialog, kPickerTimeoutMs)) ADD_FAILURE() << "the dialog stayed busy after the picker closed";
    if (!selected) return std::nullopt;
    WindowSnapshot after = ReadWindow(dialog);
    const ControlSnapshot* field = after.Control(kPathField);
    const ControlSnapshot* ok = after.Control(IDOK);
    if (!field || !ok) {
        ADD_FAILURE() << "the dialog lost its controls:\n" << DescribeWindow(after);
        return std::nullopt;
    }
    return AfterBrowse{field->text, ok->enabled};
}

// Browses to each folder in turn (recording what the dialog shows after each), then
// presses `finalButton`. Pictures: the first picker and the dialog after the first browse.
ExpectedWindow BrowseThenPress(std::vector<std::wstring> folders, int finalButton, std::vector<AfterBrowse>& results,
                               bool screenshots = false) {
    return ExpectJreDialog(
        [folders, finalButton, &results, screenshots](const WindowSnapshot& dialog) {
            for (std::size_t i = 0; i < folders.size(); ++i) {
                bool pictures = screenshots && i == 0;
                std::optional<AfterBrowse> after = BrowseTo(dialog.handle, folders[i], pictures ? L"picker" : L"");
                if (!after) return PressOrFail(dialog.handle, IDCANCEL);
                results.push_back(*after);
                if (pictures) SaveWindowScreenshot(dialog.handle, L"after-browse");
            }
            PressOrFail(dialog.handle, finalButton);
        },
        screenshots ? L"opened" : L"");
}

// -- What a start shows once it has a runtime --------------------------------------------------

// The stand-in library is an empty file: the launcher goes on to load it, cannot,
// and names it in the load-failure box. (With a loadable library the launch would go
// on into the VM; only this box changes then.)
ExpectedWindow ExpectLibraryLoadFailure(const std::wstring& jvmPath) {
    ExpectedWindow expected;
    const std::wstring prefix = L"Failed to load Java VM library: " + jvmPath + L" (errno = ";
    expected.description = L"the load-failure box naming " + jvmPath;
    expected.matches = [prefix](const WindowSnapshot& w) {
        return w.IsDialog() && w.MessageText().starts_with(prefix) && w.MessageText().ends_with(L").\n");
    };
    expected.respond = [](const WindowSnapshot& w) { PressOrFail(w.handle, IDOK); };
    return expected;
}

// -- The tests ----------------------------------------------------------------------------------

class JreNotFoundDialog : public testing::Test {
protected:
    void SetUp() override {
        // A registered runtime would be found before the dialog is ever shown.
        RequireNoJavaRegistrations();
        // The pointer rests away from the dialog, so no tooltip or hover interferes.
        SetCursorPos(0, 0);
    }
};

// Client rectangle of a control, in the dialog's client coordinates.
RECT ClientRectOf(HWND dialog, const ControlSnapshot& control) {
    RECT rect = control.rect;
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

struct TemplateControl {
    int id;
    const wchar_t* className;
    const wchar_t* text;  // nullptr: not compared (the icon, the message)
    RECT units;           // x, y, width, height in dialog units
};

const TemplateControl kTemplate[] = {
    {IDOK, L"Button", L"OK", {107, 122, 50, 14}},
    {IDCANCEL, L"Button", L"Cancel", {161, 122, 50, 14}},
    {kPathField, L"Edit", L"", {60, 89, 94, 14}},
    {kUnnumbered, L"Static", L"JRE Path:", {12, 92, 45, 8}},
    {kBrowseButton, L"Button", L"Browse...", {157, 89, 50, 14}},
    {kUnnumbered, L"Button", L"Missing JRE", {8, 11, 203, 103}},
    {kErrorIcon, L"Static", nullptr, {16, 24, 20, 20}},
    {kMessageText, L"Static", nullptr, {42, 22, 149, 32}},
    {kDownloadLink, L"Static", kDownloadAddress, {44, 55, 75, 8}},
    {kHintText, L"Static", kBrowseHint, {12, 73, 195, 8}},
};

// The dialog's base units, found from its client size of 219 x 145 dialog units.
struct BaseUnits {
    int x = 0;
    int y = 0;
};

std::optional<BaseUnits> BaseUnitsOf(HWND dialog) {
    RECT client{};
    GetClientRect(dialog, &client);
    for (int x = 1; x < 64; ++x)
        for (int y = 1; y < 64; ++y)
            if (MulDiv(219, x, 4) == client.right && MulDiv(145, y, 8) == client.bottom) return BaseUnits{x, y};
    return std::nullopt;
}

void ExpectTemplateLayout(const WindowSnapshot& dialog) {
    ASSERT_EQ(dialog.controls.size(), std::size(kTemplate)) << DescribeWindow(dialog);
    std::optional<BaseUnits> units = BaseUnitsOf(dialog.handle);
    RECT client{};
    GetClientRect(dialog.handle, &client);
    ASSERT_TRUE(units) << "the client area (" << client.right << " x " << client.bottom
                       << " pixels) is not 219 x 145 dialog units of any base unit; window "
                       << dialog.rect.right - dialog.rect.left << " x " << dialog.rect.bottom - dialog.rect.top;
    for (std::size_t i = 0; i < std::size(kTemplate); ++i) {
        const TemplateControl& want = kTemplate[i];
        const ControlSnapshot& have = dialog.controls[i];
        SCOPED_TRACE(testing::Message() << "control " << i << " (id " << want.id << ")");
        // A control without a number reads back as -1 or, truncated to 16 bits, 65535.
        EXPECT_EQ(have.id == 0xFFFF ? -1 : have.id, want.id);
        EXPECT_EQ(have.className, want.className);
        if (want.text) {
            EXPECT_EQ(have.text, want.text);
        }
        EXPECT_TRUE(have.visible);
        RECT rect = ClientRectOf(dialog.handle, have);
        EXPECT_EQ(rect.left, MulDiv(want.units.left, units->x, 4));
        EXPECT_EQ(rect.top, MulDiv(want.units.top, units->y, 8));
        if (want.id == kErrorIcon) continue;  // an icon control takes the icon's own size
        EXPECT_EQ(rect.right - rect.left, MulDiv(want.units.right, units->x, 4));
        EXPECT_EQ(rect.bottom - rect.top, MulDiv(want.units.bottom, units->y, 8));
    }
}

void ExpectCentredInWorkArea(const WindowSnapshot& dialog) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    LONG width = dialog.rect.right - dialog.rect.left;
    LONG height = dialog.rect.bottom - dialog.rect.top;
    EXPECT_NEAR(dialog.rect.left, work.left + (work.right - work.left - width) / 2, 1);
    EXPECT_NEAR(dialog.rect.top, work.top + (work.bottom - work.top - height) / 2, 1);
}

struct PixelCounts {
    int blue = 0;
    int red = 0;
    int purple = 0;
};

// Pixels of the link's control that are clearly blue or clearly red (the underline
// alone is a solid line in the link colour).
PixelCounts LinkPixels(const WindowSnapshot& dialog) {
    const ControlSnapshot* link = dialog.Control(kDownloadLink);
    if (!link) return {};
    ScreenImage image = CaptureScreenArea(link->rect);
    PixelCounts counts;
    for (std::uint32_t pixel : image.pixels) {
        int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
        if (b > 170 && r < 80 && g < 80) ++counts.blue;
        if (r > 170 && g < 80 && b < 80) ++counts.red;
        if (r > 100 && r < 160 && b > 100 && b < 160 && g < 60) ++counts.purple;
    }
    return counts;
}

// Everything a person sees when the dialog opens; checked while it is on screen.
void ExpectOpeningState(const WindowSnapshot& dialog) {
    EXPECT_EQ(dialog.title, kTitle);
    EXPECT_EQ(dialog.owner, nullptr) << "nothing of the launcher is on screen to own it";
    EXPECT_EQ(dialog.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU), DWORD{WS_POPUP | WS_CAPTION | WS_SYSMENU});
    EXPECT_TRUE(dialog.exStyle & WS_EX_DLGMODALFRAME);
    ExpectTemplateLayout(dialog);
    ExpectCentredInWorkArea(dialog);
    ASSERT_EQ(dialog.controls.size(), std::size(kTemplate));
    EXPECT_EQ(dialog.Control(kMessageText)->text, Message(L"latest version"));
    EXPECT_EQ(dialog.icon, MessageIcon::kError);
    EXPECT_EQ(dialog.Control(kErrorIcon)->style & SS_TYPEMASK, DWORD{SS_ICON});
    EXPECT_FALSE(dialog.Control(IDOK)->enabled) << "OK waits for a folder with a JVM library";
    EXPECT_TRUE(dialog.Control(IDCANCEL)->enabled);
    EXPECT_TRUE(dialog.Control(kBrowseButton)->enabled);
    EXPECT_EQ(GuiThreadOf(dialog.handle).hwndFocus, dialog.Control(kBrowseButton)->handle)
        << "the keyboard starts on Browse";
    const ControlSnapshot* field = dialog.Control(kPathField);
    EXPECT_TRUE(field->text.empty());
    EXPECT_TRUE(field->style & ES_READONLY);
    EXPECT_TRUE(field->style & ES_AUTOHSCROLL);
    // The dialog manager turns an edit's WS_BORDER into the sunken client edge.
    EXPECT_TRUE((field->style & WS_BORDER) || (GetWindowLongW(field->handle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
    for (int id : {IDOK, IDCANCEL, kPathField, kBrowseButton})
        EXPECT_TRUE(dialog.Control(id)->style & WS_TABSTOP) << "control " << id;
    EXPECT_TRUE(dialog.Control(kDownloadLink)->style & SS_NOTIFY) << "the link must receive clicks";
    PixelCounts pixels = LinkPixels(dialog);
    EXPECT_GT(pixels.blue, 20) << "the link is drawn in the default link colour, blue";
    EXPECT_EQ(pixels.red, 0);
}

TEST_F(JreNotFoundDialog, OpensWithTheTemplateLayoutAndOkDisabled) {
    AppFolder folder;
    NoRuntimeApp app(folder);
    LauncherRun run = app.Run({ExpectJreDialog(
        [&](const WindowSnapshot& dialog) {
            ExpectOpeningState(dialog);
            PressOrFail(dialog.handle, IDCANCEL);
        },
        L"opened")});
    EXPECT_EQ(run.exitCode, -1);
}

TEST_F(JreNotFoundDialog, MessageNamesTheVersionRequirement) {
    struct Case {
        const wchar_t* name;
        const wchar_t* runtimeLines;
        std::wstring message;
    };
    // Every kind of range and JVM type is in the string-table unit tests; here the
    // dialog shows the configured one, the server texts among them.
    const Case cases[] = {
        {L"between", L"Minimum Version=1.6\nMaximum Version=11.0.2\n", Message(L"version between 1.6 and 11.0.2")},
        {L"server JVM", L"JVM Type=server\nMinimum Version=1.8\n", ServerMessage(L"minimum version 1.8")},
        {L"longest", L"JVM Type=server\nMinimum Version=1.8.0_292\nMaximum Version=11.0.20.1\n",
         ServerMessage(L"version between 1.8.0.292 and 11.0.20.1")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        AppFolder folder(c.name);
        NoRuntimeApp app(folder, {}, c.runtimeLines);
        std::wstring shown;
        // The server-JVM texts, the longest, are kept as pictures to see how they fit.
        const std::wstring screenshot = c.message.find(L"server") != std::wstring::npos ? FileNameSafe(c.name) : L"";
        LauncherRun run = app.Run({ExpectJreDialog(
            [&](const WindowSnapshot& dialog) {
                if (const ControlSnapshot* text = dialog.Control(kMessageText)) shown = text->text;
                PressOrFail(dialog.handle, IDCANCEL);
            },
            screenshot)});
        EXPECT_EQ(shown, c.message);
        EXPECT_EQ(run.exitCode, -1);
    }
}

TEST_F(JreNotFoundDialog, CancelEscapeAndCloseBoxEachEndTheLaunchAndWriteNothing) {
    struct Case {
        const wchar_t* name;
        std::function<void(HWND)> dismiss;
    };
    const Case cases[] = {
        {L"Cancel", [](HWND dialog) { PressOrFail(dialog, IDCANCEL); }},
        {L"Escape", [](HWND dialog) { PressKey(dialog, VK_ESCAPE); }},
        // What a click on the close box sends.
        {L"close box", [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        AppFolder folder(c.name);
        NoRuntimeApp app(folder, PairLine(folder));
        LauncherRun run = app.Run({ExpectJreDialog([&](const WindowSnapshot& dialog) { c.dismiss(dialog.handle); })});
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, -1);
        EXPECT_FALSE(app.WroteUserCopy()) << "no per-user copy may be written";
        EXPECT_TRUE(app.MainIniUnchanged());
        EXPECT_FALSE(folder.Exists(L"MyApp64.ini"));
    }
}

// A folder whose name the ANSI code page cannot hold was remembered as "?" and the
// dialog came back on every start.
TEST_F(JreNotFoundDialog, BrowsedRuntimeIsRememberedPerUserAndUsedByTheNextStart) {
    struct Case {
        const wchar_t* label;
        const wchar_t* runtimeFolder;
    };
    const Case cases[] = {
        {L"plain", L"jre8"},
        {L"cyrillic-japanese", L"\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u044b\\\u65e5\u672c\u8a9e jre8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.label);
        AppFolder folder(c.label);
        NoRuntimeApp app(folder, PairLine(folder));
        const std::wstring runtime = AddRuntime(folder, c.runtimeFolder, L"client");
        const std::wstring library = runtime + L"\\bin\\client\\jvm.dll";
        std::vector<AfterBrowse> browsed;
        const bool pictures = &c == &cases[0];
        LauncherRun first =
            app.Run({BrowseThenPress({runtime}, IDOK, browsed, pictures), ExpectLibraryLoadFailure(library)});
        EXPECT_EQ(first.exitCode, -1);
        ASSERT_EQ(browsed.size(), 1u);
        EXPECT_EQ(browsed[0].pathField, runtime) << "the field shows the folder as the picker returned it";
        EXPECT_TRUE(browsed[0].okEnabled);

        const std::wstring remembered = runtime + L"\\";
        EXPECT_EQ(IniValue(folder.ReadText(app.UserCopy(L"MyApp.ini")), L"JRE Path"), remembered);
        EXPECT_EQ(IniValue(folder.ReadText(app.UserCopy(L"MyApp64.ini")), L"JRE Path"), remembered);
        EXPECT_TRUE(app.MainIniUnchanged()) << "outside service mode the main INI is never written";
        EXPECT_FALSE(folder.Exists(L"MyApp64.ini"));

        // The next start finds the remembered folder first and asks nothing.
        LauncherRun next = app.Run({ExpectLibraryLoadFailure(library)});
        EXPECT_EQ(next.exitCode, -1);
        EXPECT_EQ(next.UnexpectedWindowCount(), 0);
    }
}

// A service has nobody to answer the dialog: it is not shown (any window fails the
// run), the launch ends as after Cancel, and nothing is remembered anywhere.
TEST_F(JreNotFoundDialog, ServiceModeShowsNoDialogAndRemembersNothing) {
    AppFolder folder;
    NoRuntimeApp app(folder, L"Application Type=service\n" + PairLine(folder));
    LauncherRun run = app.Run({});
    EXPECT_EQ(run.exitCode, -1);
    EXPECT_TRUE(app.MainIniUnchanged());
    EXPECT_FALSE(folder.Exists(L"MyApp64.ini"));
    EXPECT_FALSE(app.WroteUserCopy());
}

TEST_F(JreNotFoundDialog, FolderWithoutAUsableLibraryKeepsOkDisabled) {
    struct Case {
        const wchar_t* name;
        const wchar_t* runtimeLines;
        const wchar_t* flavour;  // nullptr: only bin\java.dll, no library
    };
    const Case cases[] = {
        {L"runtime marker only", L"", nullptr},
        {L"client library for a server JVM", L"JVM Type=server\n", L"client"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        AppFolder folder(c.name);
        NoRuntimeApp app(folder, {}, c.runtimeLines);
        folder.CreateFolder(L"jre\\bin");
        folder.WriteBytes(L"jre\\bin\\java.dll", "");
        const std::wstring runtime = c.flavour ? AddRuntime(folder, L"jre", c.flavour) : folder.PathOf(L"jre");
        std::vector<AfterBrowse> browsed;
        LauncherRun run = app.Run({BrowseThenPress({runtime}, IDCANCEL, browsed)});
        EXPECT_EQ(run.exitCode, -1);
        ASSERT_EQ(browsed.size(), 1u);
        EXPECT_EQ(browsed[0].pathField, runtime);
        EXPECT_FALSE(browsed[0].okEnabled);
        EXPECT_FALSE(app.WroteUserCopy());
    }
}

TEST_F(JreNotFoundDialog, BrowsingToAnEmptyFolderAfterARuntimeDisablesOkAgain) {
    AppFolder folder;
    NoRuntimeApp app(folder);
    const std::wstring runtime = AddRuntime(folder, L"jre8", L"server");
    const std::wstring empty = folder.CreateFolder(L"empty");
    std::vector<AfterBrowse> browsed;
    LauncherRun run = app.Run({BrowseThenPress({runtime, empty}, IDCANCEL, browsed)});
    EXPECT_EQ(run.exitCode, -1);
    ASSERT_EQ(browsed.size(), 2u);
    EXPECT_TRUE(browsed[0].okEnabled);
    EXPECT_EQ(browsed[1].pathField, empty);
    EXPECT_FALSE(browsed[1].okEnabled);
    EXPECT_FALSE(app.WroteUserCopy()) << "a cancel after a good browse remembers nothing";
    EXPECT_TRUE(app.MainIniUnchanged());
}

TEST_F(JreNotFoundDialog, LinkTakesTheBrowsersAnchorColour) {
    const std::wstring settingsKey = L"Software\\Microsoft\\Internet Explorer\\Settings";
    struct Case {
        const wchar_t* value;
        bool red;
    };
    for (const Case& c : {Case{L"255,0,0", true}, Case{L"255,0", false}, Case{L"511,256,0", true}}) {
        SCOPED_TRACE(testing::Message() << "Anchor Color=" << c.value);
        OwnedRegistryKeys anchor;  // a user's own "Anchor Color" is left alone: the test fails instead
        anchor.SetString(HKEY_CURRENT_USER, settingsKey, 0, L"Anchor Color", c.value);
        AppFolder folder(c.value);
        NoRuntimeApp app(folder);
        PixelCounts pixels;
        LauncherRun run = app.Run({ExpectJreDialog([&](const WindowSnapshot& dialog) {
            pixels = LinkPixels(dialog);
            PressOrFail(dialog.handle, IDCANCEL);
        })});
        EXPECT_EQ(run.exitCode, -1);
        EXPECT_GT(c.red ? pixels.red : pixels.blue, 20);
        EXPECT_EQ(c.red ? pixels.blue : pixels.red, 0);
    }
}

// Where the test's stand-in browser writes the address it was asked to open.
constexpr wchar_t kOpenedKey[] = L"Software\\Orvo Tests\\Link";

std::optional<std::wstring> OpenedAddress() {
    wchar_t text[512] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, kOpenedKey, L"Opened", RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(text);
}

void ForgetOpenedAddress() { RegDeleteKeyValueW(HKEY_CURRENT_USER, kOpenedKey, L"Opened"); }

std::optional<std::wstring> WaitForOpenedAddress() {
    for (ULONGLONG deadline = GetTickCount64() + 15000; GetTickCount64() < deadline; Sleep(100))
        if (std::optional<std::wstring> address = OpenedAddress()) return address;
    return std::nullopt;
}

// A mouse message as the link receives it, at a point of its client area. Sent, not
// posted, so that it has been handled when this returns (the dialog's loop only
// routes keys, never mouse messages).
void SendMouse(HWND link, UINT message, WPARAM keys, int x, int y) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(link, message, keys, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 5000, &ignored);
}

struct TooltipSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTooltip(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<TooltipSearch*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (processId == search->processId && lstrcmpiW(className, TOOLTIPS_CLASSW) == 0) search->found.push_back(window);
    return TRUE;
}

// The texts the launcher's tooltips hold for the link (tool id 1 on the link window).
std::vector<std::wstring> LinkTooltipTexts(HWND link) {
    TooltipSearch search{0, {}};
    GetWindowThreadProcessId(link, &search.processId);
    EnumWindows(CollectTooltip, reinterpret_cast<LPARAM>(&search));
    std::vector<std::wstring> texts;
    constexpr std::size_t kTextChars = 256;
    for (HWND tooltip : search.found) {
        RemoteMemory remote(tooltip, sizeof(TTTOOLINFOW) + kTextChars * sizeof(wchar_t));
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = link;
        tool.uId = 1;
        tool.lpszText = static_cast<wchar_t*>(remote.At(sizeof(TTTOOLINFOW)));
        remote.Write(0, &tool, sizeof(tool));
        std::wstring empty(kTextChars, L'\0');
        remote.Write(sizeof(TTTOOLINFOW), empty.data(), kTextChars * sizeof(wchar_t));
        SendWithTimeout(tooltip, TTM_GETTEXTW, kTextChars, reinterpret_cast<LPARAM>(remote.At(0)));
        std::wstring text(kTextChars, L'\0');
        remote.Read(sizeof(TTTOOLINFOW), text.data(), kTextChars * sizeof(wchar_t));
        text.resize(std::wstring_view(text.c_str()).size());
        if (!text.empty()) texts.push_back(text);
    }
    return texts;
}

struct LinkActivity {
    std::wstring how;
    std::optional<std::wstring> opened;
};

struct LinkObservations {
    HWND link = nullptr;
    std::vector<std::wstring> tooltipTexts;
    HWND focusWhilePressed = nullptr;
    HWND captureWhilePressed = nullptr;
    HWND captureAfterRelease = nullptr;
    std::optional<std::wstring> openedByReleaseOutside;
    PixelCounts beforeOpening;
    PixelCounts afterOpening;
    std::vector<LinkActivity> activations;
};

// Presses inside the link and releases outside it (nothing opens), then activates it
// by click, Space and Enter, recording what the stand-in browser was given each time.
void ExerciseLink(const WindowSnapshot& dialog, LinkObservations& seen) {
    const ControlSnapshot* link = dialog.Control(kDownloadLink);
    if (!link) return;
    seen.link = link->handle;
    seen.tooltipTexts = LinkTooltipTexts(link->handle);
    const int inside = 6;
    const int middle = (link->rect.bottom - link->rect.top) / 2;
    SendMouse(link->handle, WM_MOUSEMOVE, 0, inside, middle);
    SendMouse(link->handle, WM_LBUTTONDOWN, MK_LBUTTON, inside, middle);
    seen.focusWhilePressed = GuiThreadOf(dialog.handle).hwndFocus;
    seen.captureWhilePressed = GuiThreadOf(dialog.handle).hwndCapture;
    SendMouse(link->handle, WM_LBUTTONUP, 0, -5, -5);
    seen.captureAfterRelease = GuiThreadOf(dialog.handle).hwndCapture;
    Sleep(1500);
    seen.openedByReleaseOutside = OpenedAddress();
    seen.beforeOpening = LinkPixels(ReadWindow(dialog.handle));

    SendMouse(link->handle, WM_LBUTTONDOWN, MK_LBUTTON, inside, middle);
    SendMouse(link->handle, WM_LBUTTONUP, 0, inside, middle);
    seen.activations.push_back({L"click", WaitForOpenedAddress()});
    WaitUntilIdle(dialog.handle);
    Sleep(200);
    seen.afterOpening = LinkPixels(ReadWindow(dialog.handle));
    // The opened program may take the activation, so the keys go to the link itself.
    for (auto [key, how] : {std::pair{VK_SPACE, L"Space"}, std::pair{VK_RETURN, L"Enter"}}) {
        ForgetOpenedAddress();
        PostKey(link->handle, static_cast<WORD>(key));
        seen.activations.push_back({how, WaitForOpenedAddress()});
    }
}

// The shell opens the link's address with whatever handles https; for the test that
// is reg.exe, which records the address it is given. Changing the machine's handler
// is allowed only where the test run says the machine may be changed.
TEST_F(JreNotFoundDialog, LinkOpensItsAddressByClickSpaceAndEnterAndTurnsVisited) {
    MachineValueOverride handler(HKEY_LOCAL_MACHINE, L"Software\\Classes\\https\\shell\\open\\command", L"",
                                L"\"C:\\windows\\system32\\reg.exe\" add \"HKCU\\" + std::wstring(kOpenedKey) +
                                    L"\" /v Opened /t REG_SZ /d \"%1\" /f");
    OwnedRegistryKeys opened;
    opened.Create(HKEY_CURRENT_USER, kOpenedKey);
    ForgetOpenedAddress();
    AppFolder folder;
    NoRuntimeApp app(folder);
    LinkObservations seen;
    LauncherRun run = app.Run({ExpectJreDialog([&](const WindowSnapshot& dialog) {
        ExerciseLink(dialog, seen);
        PressOrFail(dialog.handle, IDCANCEL);
    })});
    EXPECT_EQ(run.exitCode, -1);
    ASSERT_NE(seen.link, nullptr);
    EXPECT_EQ(seen.tooltipTexts, std::vector<std::wstring>{kDownloadAddress}) << "the tooltip names the target";
    EXPECT_EQ(seen.focusWhilePressed, seen.link) << "pressing the link gives it the keyboard focus";
    EXPECT_EQ(seen.captureWhilePressed, seen.link) << "and the mouse";
    EXPECT_EQ(seen.captureAfterRelease, nullptr) << "releasing the button gives the mouse back";
    EXPECT_EQ(seen.openedByReleaseOutside, std::nullopt) << "a release outside the link opens nothing";
    EXPECT_GT(seen.beforeOpening.blue, 20);
    ASSERT_EQ(seen.activations.size(), 3u);
    for (const LinkActivity& activation : seen.activations)
        EXPECT_EQ(activation.opened, std::wstring(kDownloadAddress)) << "opened by " << activation.how;
    EXPECT_GT(seen.afterOpening.purple, 20) << "a link once opened shows in the visited colour";
    EXPECT_EQ(seen.afterOpening.blue, 0);
}

// -- Placement over an owner ------------------------------------------------------------------
//
// The launcher has no window of its own when the dialog opens, so the owner cases
// run the dialog inside the test program (which carries the same template) on a
// thread of its own, owned by a window that thread makes.

enum class OwnerState { kShown, kMinimised, kHidden };

struct Placement {
    RECT owner{};
    RECT dialog{};
    bool seen = false;
};

BOOL CALLBACK FindThreadDialog(HWND window, LPARAM found) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

Placement PlaceOverOwner(RECT ownerRect, OwnerState state) {
    Placement placement;
    std::atomic<DWORD> threadId{0};
    std::thread worker([&] {
        HWND owner = CreateWindowExW(0, L"Static", L"owner", WS_POPUP | WS_CAPTION | WS_VISIBLE, ownerRect.left,
                                     ownerRect.top, ownerRect.right - ownerRect.left,
                                     ownerRect.bottom - ownerRect.top, nullptr, nullptr, nullptr, nullptr);
        if (state == OwnerState::kMinimised) ShowWindow(owner, SW_MINIMIZE);
        if (state == OwnerState::kHidden) ShowWindow(owner, SW_HIDE);
        GetWindowRect(owner, &placement.owner);
        threadId = GetCurrentThreadId();
        CJreNotFoundDlg dialog(L"placement", JvmType::Any);
        dialog.DoModal(owner);
        DestroyWindow(owner);
    });
    HWND dialog = nullptr;
    for (ULONGLONG deadline = GetTickCount64() + 10000; !dialog && GetTickCount64() < deadline; Sleep(50))
        if (threadId) EnumThreadWindows(threadId, FindThreadDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog) {
        placement.seen = GetWindowRect(dialog, &placement.dialog) != FALSE;
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    } else if (threadId) {
        PostThreadMessageW(threadId, WM_QUIT, 0, 0);  // ends a modal loop whatever it shows
    }
    worker.join();
    return placement;
}

LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }

TEST(JreNotFoundDialogPlacement, CentresOverAVisibleOwnerElseOnTheWorkAreaAndStaysInside) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    {
        SCOPED_TRACE("visible owner");
        Placement p = PlaceOverOwner({100, 80, 900, 680}, OwnerState::kShown);
        ASSERT_TRUE(p.seen);
        EXPECT_NEAR(p.dialog.left, p.owner.left + (Width(p.owner) - Width(p.dialog)) / 2, 1);
        EXPECT_NEAR(p.dialog.top, p.owner.top + (Height(p.owner) - Height(p.dialog)) / 2, 1);
    }
    for (OwnerState state : {OwnerState::kMinimised, OwnerState::kHidden}) {
        SCOPED_TRACE(state == OwnerState::kMinimised ? "minimised owner" : "hidden owner");
        Placement p = PlaceOverOwner({100, 80, 500, 380}, state);
        ASSERT_TRUE(p.seen);
        EXPECT_NEAR(p.dialog.left, work.left + (Width(work) - Width(p.dialog)) / 2, 1);
        EXPECT_NEAR(p.dialog.top, work.top + (Height(work) - Height(p.dialog)) / 2, 1);
    }
    {
        SCOPED_TRACE("owner past the bottom right corner");
        Placement p = PlaceOverOwner({work.right - 150, work.bottom - 100, work.right + 250, work.bottom + 200},
                                     OwnerState::kShown);
        ASSERT_TRUE(p.seen);
        EXPECT_EQ(p.dialog.right, work.right);
        EXPECT_EQ(p.dialog.bottom, work.bottom);
    }
    {
        SCOPED_TRACE("owner past the top left corner");
        Placement p = PlaceOverOwner({work.left - 300, work.top - 250, work.left + 100, work.top + 50},
                                     OwnerState::kShown);
        ASSERT_TRUE(p.seen);
        EXPECT_EQ(p.dialog.left, work.left);
        EXPECT_EQ(p.dialog.top, work.top);
    }
}

}  // namespace
}  // namespace orvo::test
