#include "foundation/path_text.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

std::wstring PathOfLength(std::wstring_view start, std::size_t length) {
    std::wstring path(start);
    while (path.size() < length) path += (path.size() % 20 == 0) ? L'\\' : L'a';
    path.resize(length);
    return path;
}

TEST(LongPathForm, ShortPathsStayUnchangedUpToTheClassicLimit) {
    std::wstring path = PathOfLength(L"C:\\", 259);
    EXPECT_EQ(ToLongPathFormText(path), path);
    EXPECT_EQ(ToLongPathFormText(L"relative\\x"), L"relative\\x");
}

TEST(LongPathForm, DrivePathOf260UnitsGetsThePlainPrefix) {
    std::wstring path = PathOfLength(L"C:\\", 260);
    EXPECT_EQ(ToLongPathFormText(path), L"\\\\?\\" + path);
}

TEST(LongPathForm, UncPathReplacesItsLeadingBackslashes) {
    std::wstring path = PathOfLength(L"\\\\server\\share\\", 300);
    EXPECT_EQ(ToLongPathFormText(path), L"\\\\?\\UNC\\" + path.substr(2));
}

TEST(LongPathForm, PrefixedPathsAreNotPrefixedTwice) {
    std::wstring drive = L"\\\\?\\" + PathOfLength(L"C:\\", 300);
    std::wstring unc = L"\\\\?\\UNC\\" + PathOfLength(L"server\\share\\", 300);
    EXPECT_EQ(ToLongPathFormText(drive), drive);
    EXPECT_EQ(ToLongPathFormText(unc), unc);
}

TEST(UncPath, RecognisesServerSharesButNotPrefixedDrivePaths) {
    EXPECT_TRUE(IsUncPath(L"\\\\server\\share"));
    EXPECT_TRUE(IsUncPath(L"\\\\?\\UNC\\server\\share"));
    EXPECT_FALSE(IsUncPath(L"\\\\?\\C:\\x"));
    EXPECT_FALSE(IsUncPath(L"C:\\x"));
    EXPECT_FALSE(IsUncPath(L"\\x"));
}

TEST(StripPathComponents, CutsAtTheLastBackslashEachTime) {
    EXPECT_EQ(StripPathComponents(L"C:\\jre\\bin\\client\\jvm.dll", 2), L"C:\\jre\\bin");
    EXPECT_EQ(StripPathComponents(L"C:\\jre\\bin\\server\\jvm.dll", 3), L"C:\\jre");
    EXPECT_EQ(StripPathComponents(L"C:\\folder\\", 1), L"C:\\folder");
}

TEST(StripPathComponents, PathWithoutBackslashIsLeftAlone) {
    EXPECT_EQ(StripPathComponents(L"jvm.dll", 1), L"jvm.dll");
    EXPECT_EQ(StripPathComponents(L"a\\b", 5), L"a");
    EXPECT_EQ(StripPathComponents(L"", 2), L"");
}

TEST(FolderOf, GivesTheTextBeforeTheLastBackslash) {
    EXPECT_EQ(FolderOf(L"C:\\Apps\\run.exe"), L"C:\\Apps");
    EXPECT_EQ(FolderOf(L"run.exe"), L"run.exe");
}

using Parts = std::vector<std::wstring>;

TEST(SplitPathForCreation, DrivePathStartsWithTheDrive) {
    PathWalk walk = SplitPathForCreation(L"C:\\d\\e\\f.txt");
    EXPECT_EQ(walk.components, (Parts{L"C:", L"d", L"e", L"f.txt"}));
    EXPECT_FALSE(walk.unc);
}

TEST(SplitPathForCreation, UncRootIsTheServer) {
    PathWalk walk = SplitPathForCreation(L"\\\\server\\share\\d\\f");
    EXPECT_EQ(walk.components, (Parts{L"\\\\server", L"share", L"d", L"f"}));
    EXPECT_TRUE(walk.unc);
}

TEST(SplitPathForCreation, ExtendedPrefixesStayOnTheRoot) {
    EXPECT_EQ(SplitPathForCreation(L"\\\\?\\C:\\d\\f").components, (Parts{L"\\\\?\\C:", L"d", L"f"}));
    PathWalk unc = SplitPathForCreation(L"\\\\?\\UNC\\server\\share\\f");
    EXPECT_EQ(unc.components, (Parts{L"\\\\?\\UNC\\server", L"share", L"f"}));
    EXPECT_TRUE(unc.unc);
}

TEST(SplitPathForCreation, RelativePathCountsItsFirstComponentAsRoot) {
    EXPECT_EQ(SplitPathForCreation(L"logs\\out.txt").components, (Parts{L"logs", L"out.txt"}));
    EXPECT_EQ(SplitPathForCreation(L"logs\\a\\out.txt").components, (Parts{L"logs", L"a", L"out.txt"}));
    EXPECT_EQ(SplitPathForCreation(L"out.txt").components, (Parts{L"out.txt"}));
}

TEST(SplitPathForCreation, RootedPathKeepsAnEmptyRootSoItsFirstFolderIsWalked) {
    EXPECT_EQ(SplitPathForCreation(L"\\a\\b\\f").components, (Parts{L"", L"a", L"b", L"f"}));
}

}  // namespace
}  // namespace orvo
