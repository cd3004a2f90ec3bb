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

TEST(SanitizeProductName, RemovesExactlyTheNineCharactersFolderNamesCannotHold) {
    EXPECT_EQ(SanitizeProductName(L"A/B:C*D"), L"ABCD");
    EXPECT_EQ(SanitizeProductName(L"\\?\"|><:/*"), L"");
    EXPECT_EQ(SanitizeProductName(L"My App (x86) {1.0} ;'.#"), L"My App (x86) {1.0} ;'.#");
}

TEST(UserConfigLocationFor, BuildsProductAndCodeFoldersUnderAppData) {
    const UserConfigLocation location =
        UserConfigLocationFor(L"C:\\Users\\u\\AppData\\Roaming", L"A/B:C*D", L"{X}", L"C:\\Apps\\run.exe");
    EXPECT_EQ(location.productFolder, L"C:\\Users\\u\\AppData\\Roaming\\ABCD");
    EXPECT_EQ(location.codeFolder, L"C:\\Users\\u\\AppData\\Roaming\\ABCD\\{X}");
    EXPECT_EQ(location.file, L"C:\\Users\\u\\AppData\\Roaming\\ABCD\\{X}\\run.ini");
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
