#include "foundation/paths.h"

#include <gtest/gtest.h>

#include "support/file_tree.h"
#include "support/temp_folder.h"

namespace orvo {
namespace {

using test::TempFolder;

bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(LauncherPath, IsTheFullPathOfTheRunningExecutable) {
    std::optional<std::wstring> path = GetLauncherPath();
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(path->substr(1, 2), L":\\");
    EXPECT_NE(path->find(L"orvo_unit_tests.exe"), std::wstring::npos);
    EXPECT_TRUE(FileExists(*path));
}

TEST(FileExists, FindsFilesAndWildcardMatches) {
    TempFolder dir;
    test::WriteFileBytes(dir / L"a.jar", "");  // an empty file exists too
    EXPECT_TRUE(FileExists(dir / L"a.jar"));
    EXPECT_TRUE(FileExists(dir / L"*.jar"));
    EXPECT_FALSE(FileExists(dir / L"b.jar"));
    EXPECT_FALSE(FileExists(dir / L"*.zip"));
}

TEST(AbsolutePathExists, RelativePathsNeverCountEvenWhenTheyExist) {
    TempFolder dir;
    test::WriteFileBytes(dir / L"here.txt", "x");
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(dir.path().c_str());
    EXPECT_TRUE(FileExists(L"here.txt"));
    EXPECT_FALSE(AbsolutePathExists(L"here.txt"));
    EXPECT_FALSE(AbsolutePathExists(L"x"));
    SetCurrentDirectoryW(previous);
    EXPECT_TRUE(AbsolutePathExists(dir / L"here.txt"));
    EXPECT_FALSE(AbsolutePathExists(dir / L"missing.txt"));
}

TEST(CreateParentDirectories, CreatesEveryFolderButNotTheFileItself) {
    TempFolder dir;
    EXPECT_EQ(CreateParentDirectories(dir / L"a\\b\\c\\out.txt"), 0u);
    EXPECT_TRUE(IsFolder(dir / L"a\\b\\c"));
    EXPECT_FALSE(FileExists(dir / L"a\\b\\c\\out.txt"));
    // Running it again over existing folders is no error.
    EXPECT_EQ(CreateParentDirectories(dir / L"a\\b\\c\\out.txt"), 0u);
}

TEST(CreateParentDirectories, RelativePathTreatsItsFirstComponentAsRoot) {
    TempFolder dir;
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(dir.path().c_str());
    EXPECT_EQ(CreateParentDirectories(L"logs\\out.txt"), 0u);
    EXPECT_FALSE(IsFolder(dir / L"logs"));
    // "logs" itself is missing, so logs\a cannot be made: the system's error comes back.
    EXPECT_EQ(CreateParentDirectories(L"logs\\a\\out.txt"), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(IsFolder(dir / L"logs\\a"));
    ASSERT_TRUE(CreateDirectoryW(L"logs", nullptr));
    EXPECT_EQ(CreateParentDirectories(L"logs\\a\\out.txt"), 0u);
    EXPECT_TRUE(IsFolder(dir / L"logs\\a"));
    SetCurrentDirectoryW(previous);
}

// A name with "<" cannot be created, which makes the level after "a" fail.
TEST(CreateParentDirectories, FailureRemovesTheEmptyLevelBelowItEvenIfItExistedBefore) {
    TempFolder dir;
    ASSERT_TRUE(CreateDirectoryW((dir / L"a").c_str(), nullptr));
    EXPECT_NE(CreateParentDirectories(dir / L"a\\bad<name\\c\\f.txt"), 0u);
    EXPECT_FALSE(IsFolder(dir / L"a"));
}

TEST(CreateParentDirectories, FailureKeepsALevelThatIsNotEmpty) {
    TempFolder dir;
    ASSERT_TRUE(CreateDirectoryW((dir / L"a").c_str(), nullptr));
    test::WriteFileBytes(dir / L"a\\keep.txt", "x");
    EXPECT_NE(CreateParentDirectories(dir / L"a\\bad<name\\c\\f.txt"), 0u);
    EXPECT_TRUE(IsFolder(dir / L"a"));
}

TEST(CreateParentDirectories, FolderCreatedByTheCallIsUndoneWhenTheNextLevelFails) {
    TempFolder dir;
    EXPECT_NE(CreateParentDirectories(dir / L"e\\bad<name\\f.txt"), 0u);
    EXPECT_FALSE(IsFolder(dir / L"e"));
}

TEST(ExpandEnvironment, ExpandsDefinedAndKeepsUndefinedNames) {
    SetEnvironmentVariableW(L"ORVO_TEST_VALUE", L"C:\\T");
    EXPECT_EQ(ExpandEnvironment(L"%ORVO_TEST_VALUE%\\x y"), L"C:\\T\\x y");
    EXPECT_EQ(ExpandEnvironment(L"%ORVO_SURELY_UNDEFINED%\\x"), L"%ORVO_SURELY_UNDEFINED%\\x");
    EXPECT_EQ(ExpandEnvironment(L""), L"");
    std::wstring longValue(5000, L'v');
    SetEnvironmentVariableW(L"ORVO_TEST_VALUE", longValue.c_str());
    EXPECT_EQ(ExpandEnvironment(L"[%ORVO_TEST_VALUE%]"), L"[" + longValue + L"]");
    SetEnvironmentVariableW(L"ORVO_TEST_VALUE", nullptr);
}

TEST(FileFinder, ReportsTheSearchedFolderWithoutTrailingSeparator) {
    TempFolder dir;
    test::WriteFileBytes(dir / L"run.ini", "[x]");
    FileFinder finder;
    ASSERT_TRUE(finder.FindFile(dir / L"run.ini"));
    EXPECT_TRUE(finder.found());
    EXPECT_EQ(finder.root(), dir.path());
    EXPECT_STREQ(finder.current().cFileName, L"run.ini");
    EXPECT_FALSE(finder.FindFile(dir / L"missing.ini"));
    EXPECT_FALSE(finder.found());
    EXPECT_TRUE(finder.root().empty());
}

TEST(FileFinder, FindsFilesBehindPathsLongerThanTheClassicLimit) {
    TempFolder dir;
    std::wstring deep = dir.path();
    while (deep.size() < 300) deep += L"\\" + std::wstring(40, L'd');
    test::CreateFolderTree(deep);
    test::WriteFileBytes(L"\\\\?\\" + deep + L"\\f.txt", "x");
    FileFinder finder;
    EXPECT_TRUE(finder.FindFile(deep + L"\\f.txt"));
    EXPECT_NE(finder.root().find(std::wstring(40, L'd')), std::wstring::npos);
}

TEST(FileFinder, RejectsPatternsBeyondTheSystemLimit) {
    FileFinder finder;
    EXPECT_FALSE(finder.FindFile(L"C:\\" + std::wstring(32800, L'a')));
}

}  // namespace
}  // namespace orvo
