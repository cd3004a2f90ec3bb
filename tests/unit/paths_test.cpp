#include "foundation/launcher_path.h"
#include "foundation/path_names.h"
#include "foundation/paths.h"

#include <gtest/gtest.h>

#include <vector>

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
    EXPECT_FALSE(FileExists(dir / L"missing\\a.jar"));
    // Only a folder is a folder.
    EXPECT_TRUE(FolderExists(dir.path()));
    EXPECT_FALSE(FolderExists(dir / L"a.jar"));
    EXPECT_FALSE(FolderExists(dir / L"missing"));
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

// A name with "<" cannot be created, which makes the walk fail at that level. What
// was there before the call stays; what the call made goes again.
TEST(CreateParentDirectories, FailureRemovesOnlyTheFoldersTheCallCreated) {
    struct Case {
        const wchar_t* name;
        std::vector<const wchar_t*> before;  // folders made before the call
        const wchar_t* file;                 // a file put in place before the call
        std::vector<const wchar_t*> kept;
        std::vector<const wchar_t*> gone;
    };
    const Case cases[] = {
        {L"level below existed", {L"a"}, nullptr, {L"a"}, {}},
        {L"two levels existed", {L"a", L"a\\b"}, nullptr, {L"a", L"a\\b"}, {}},
        {L"level below not empty", {L"a"}, L"a\\keep.txt", {L"a"}, {}},
        {L"every level made by the call", {}, nullptr, {}, {L"a", L"a\\b"}},
        {L"only the deeper level made by the call", {L"a"}, nullptr, {L"a"}, {L"a\\b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        TempFolder dir;
        for (const wchar_t* folder : c.before) ASSERT_TRUE(CreateDirectoryW((dir / folder).c_str(), nullptr));
        if (c.file) test::WriteFileBytes(dir / c.file, "x");
        EXPECT_EQ(CreateParentDirectories(dir / L"a\\b\\bad<name\\c\\f.txt"), static_cast<DWORD>(ERROR_INVALID_NAME));
        for (const wchar_t* folder : c.kept) EXPECT_TRUE(IsFolder(dir / folder)) << "kept: " << folder;
        for (const wchar_t* folder : c.gone) EXPECT_FALSE(IsFolder(dir / folder)) << "removed: " << folder;
    }
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
