#include <gtest/gtest.h>

#include "config/config_file_names.h"
#include "config/launcher_relative_path.h"

namespace orvo {
namespace {

TEST(ConfigPathFor, ReplacesTheTextAfterTheLastDotOfTheFileName) {
    EXPECT_EQ(ConfigPathFor(L"C:\\App\\run.exe"), L"C:\\App\\run.ini");
    EXPECT_EQ(ConfigPathFor(L"C:\\Apps\\My.Tool.exe"), L"C:\\Apps\\My.Tool.ini");
    EXPECT_EQ(ConfigPathFor(L"C:\\App\\run."), L"C:\\App\\run.ini");
    EXPECT_EQ(ConfigPathFor(L"run64.exe"), L"run64.ini");
}

TEST(ConfigPathFor, FailsWithoutADotInTheFileName) {
    EXPECT_FALSE(ConfigPathFor(L"C:\\App\\run"));
    EXPECT_FALSE(ConfigPathFor(L""));
    // The dot of a folder name must not move the file into the parent folder.
    EXPECT_FALSE(ConfigPathFor(L"C:\\App.v2\\run"));
}

TEST(UserConfigFileName, KeepsTheFileNameUpToItsLastDot) {
    EXPECT_EQ(UserConfigFileName(L"C:\\Apps\\run.exe"), L"run.ini");
    EXPECT_EQ(UserConfigFileName(L"C:\\Apps\\My.Tool.exe"), L"My.Tool.ini");
    EXPECT_EQ(UserConfigFileName(L"C:\\App.v2\\run"), L"run.ini");
    EXPECT_EQ(UserConfigFileName(L"run64.exe"), L"run64.ini");
    EXPECT_EQ(UserConfigFileName(L"C:\\Apps\\"), L".ini");
}

TEST(SafeFolderName, RemovesExactlyTheNineCharactersFolderNamesCannotHold) {
    EXPECT_EQ(SafeFolderName(L"A/B:C*D"), L"ABCD");
    EXPECT_EQ(SafeFolderName(L"\\?\"|><:/*"), L"");
    EXPECT_EQ(SafeFolderName(L"My App (x86) {1.0} ;'.#"), L"My App (x86) {1.0} ;'.#");
}

// Texts that, used as they are, would lead out of the folder or name a device.
TEST(SafeFolderName, KeepsEveryNameOneFolderDeepAndNeverADevice) {
    struct Case {
        const wchar_t* text;
        const wchar_t* folder;
    };
    const Case cases[] = {
        {L"..", L""},
        {L".", L""},
        {L"..\\..\\..", L""},
        {L"../../Windows", L"....Windows"},
        {L"... .. ", L""},
        {L"App.. ", L"App"},
        {L"..App", L"..App"},
        {L"C:\\Windows", L"CWindows"},
        {L"\\\\server\\share", L"servershare"},
        {L"Tab\tName\r\n", L"TabName"},
        {L"CON", L"CON_"},
        {L"con", L"con_"},
        {L"Nul.txt", L"Nul_.txt"},
        {L"AUX.tar.gz", L"AUX_.tar.gz"},
        {L"prn .", L"prn_"},
        {L"COM1", L"COM1_"},
        {L"lpt9.log", L"lpt9_.log"},
        {L"COM0", L"COM0_"},
        {L"COM\u00b9", L"COM\u00b9_"},
        {L"CONIN$", L"CONIN$_"},
        {L"conout$.x", L"conout$_.x"},
        {L"CON..", L"CON_"},
        {L"NUL:", L"NUL_"},
        {L"CONSOLE", L"CONSOLE"},
        {L"COM10", L"COM10"},
        {L"LPT", L"LPT"},
        {L"xCON", L"xCON"},
        {L"{5C0A52E4-2F44-4F0B-9B4E-4C1C4D8F0C11}", L"{5C0A52E4-2F44-4F0B-9B4E-4C1C4D8F0C11}"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SafeFolderName(c.text), c.folder) << "text: " << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(UserConfigLocationFor, BuildsProductAndCodeFoldersUnderAppData) {
    const UserConfigLocation location =
        UserConfigLocationFor(L"C:\\Users\\u\\AppData\\Roaming", L"A/B:C*D", L"{X}", L"C:\\Apps\\run.exe");
    EXPECT_EQ(location.productFolder, L"C:\\Users\\u\\AppData\\Roaming\\ABCD");
    EXPECT_EQ(location.codeFolder, L"C:\\Users\\u\\AppData\\Roaming\\ABCD\\{X}");
    EXPECT_EQ(location.file, L"C:\\Users\\u\\AppData\\Roaming\\ABCD\\{X}\\run.ini");
}

TEST(UserConfigLocationFor, ProductCodeCannotLeadOutOfItsFolder) {
    struct Case {
        const wchar_t* code;
        const wchar_t* file;
    };
    const Case cases[] = {
        {L"..\\..\\..\\Windows", L"R\\P\\......Windows\\run.ini"},
        {L"..", L"R\\P\\\\run.ini"},
        {L"NUL", L"R\\P\\NUL_\\run.ini"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UserConfigLocationFor(L"R", L"P", c.code, L"run.exe").file, c.file) << "code: " << testing::PrintToString(std::wstring(c.code));
    }
}

TEST(ServiceEventSource, IsTheProductNameElseTheLauncherNameWithoutItsExtension) {
    EXPECT_EQ(ServiceEventSource(L"Acme Tools", L"C:\\Apps\\run.exe"), L"Acme Tools");
    EXPECT_EQ(ServiceEventSource(L"", L"C:\\Apps\\My.Tool.exe"), L"My.Tool");
    EXPECT_EQ(ServiceEventSource(L"", L"C:\\App.v2\\run"), L"run");
}

TEST(ResolveFromLauncherFolder, KeepsEmptyAndAbsoluteTexts) {
    const wchar_t* launcher = L"C:\\Apps\\run.exe";
    EXPECT_EQ(ResolveFromLauncherFolder(L"", launcher), L"");
    EXPECT_EQ(ResolveFromLauncherFolder(L"D:\\Java", launcher), L"D:\\Java");
    EXPECT_EQ(ResolveFromLauncherFolder(L"D:", launcher), L"D:");
    EXPECT_EQ(ResolveFromLauncherFolder(L"\\\\server\\share\\jre", launcher), L"\\\\server\\share\\jre");
}

TEST(ResolveFromLauncherFolder, PutsOtherTextsAfterTheLauncherFolder) {
    const wchar_t* launcher = L"C:\\Apps\\run.exe";
    EXPECT_EQ(ResolveFromLauncherFolder(L"jre", launcher), L"C:\\Apps\\jre");
    EXPECT_EQ(ResolveFromLauncherFolder(L"..\\Java", launcher), L"C:\\Apps\\..\\Java");
    EXPECT_EQ(ResolveFromLauncherFolder(L"\\Java", launcher), L"C:\\Apps\\\\Java");
    EXPECT_EQ(ResolveFromLauncherFolder(L"j", launcher), L"C:\\Apps\\j");
    EXPECT_EQ(ResolveFromLauncherFolder(L"\\", launcher), L"C:\\Apps\\\\");
    EXPECT_EQ(ResolveFromLauncherFolder(L"jre\\", launcher), L"C:\\Apps\\jre\\");
}

}  // namespace
}  // namespace orvo
