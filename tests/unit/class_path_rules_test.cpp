#include "hosting/class_path_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace orvo {
namespace {

using Names = std::vector<std::wstring>;

// A file system of patterns and their matches, and an environment with one variable.
struct FakeSystem {
    std::map<std::wstring, Names> matches;
    std::vector<std::wstring> searched;
    std::vector<std::wstring> files;  // what exists, for absolute entries

    ClassPathServices Services() {
        return {[](const std::wstring& text) {
                    std::wstring result = text;
                    for (size_t at; (at = result.find(L"%APPDATA%")) != std::wstring::npos;) {
                        result.replace(at, 9, L"C:\\Users\\u\\AppData");
                    }
                    return result;
                },
                [this](const std::wstring& pattern) {
                    searched.push_back(pattern);
                    auto found = matches.find(pattern);
                    return found == matches.end() ? Names{} : found->second;
                },
                [this](const std::wstring& path) {
                    return std::find(files.begin(), files.end(), path) != files.end();
                }};
    }
};

constexpr wchar_t kLauncher[] = L"C:\\App\\run.exe";

TEST(IsAbsoluteClassPathPiece, DriveOrUncPrefix) {
    EXPECT_TRUE(IsAbsoluteClassPathPiece(L"C:\\lib\\a.jar"));
    EXPECT_TRUE(IsAbsoluteClassPathPiece(L"C:"));
    EXPECT_TRUE(IsAbsoluteClassPathPiece(L"\\\\server\\share\\a.jar"));
    EXPECT_FALSE(IsAbsoluteClassPathPiece(L"\\lib\\a.jar"));
    EXPECT_FALSE(IsAbsoluteClassPathPiece(L"lib\\a.jar"));
    EXPECT_FALSE(IsAbsoluteClassPathPiece(L"C"));
    EXPECT_FALSE(IsAbsoluteClassPathPiece(L""));
}

TEST(BuildClassPath, RelativeEntriesBecomeTheirMatchesInTheLauncherFolder) {
    FakeSystem system;
    system.matches[L"C:\\App\\app.jar"] = {L"app.jar"};
    system.matches[L"C:\\App\\lib\\*.jar"] = {L"a.jar", L"b.jar"};
    EXPECT_EQ(BuildClassPath(L"app.jar;lib\\*.jar", kLauncher, false, system.Services()),
              L"C:\\App\\app.jar;C:\\App\\lib\\a.jar;C:\\App\\lib\\b.jar;");
    system.matches.erase(L"C:\\App\\app.jar");
    EXPECT_EQ(BuildClassPath(L"app.jar;lib\\*.jar", kLauncher, false, system.Services()),
              L"C:\\App\\lib\\a.jar;C:\\App\\lib\\b.jar;");
}

TEST(BuildClassPath, AbsoluteEntryStaysWithoutLookingItUp) {
    FakeSystem system;
    EXPECT_EQ(BuildClassPath(L"D:\\missing.jar;\\\\srv\\x.jar", kLauncher, false, system.Services()),
              L"D:\\missing.jar;\\\\srv\\x.jar;");
    EXPECT_TRUE(system.searched.empty());
}

TEST(BuildClassPath, AbsoluteWildcardIsSearchedAsWritten) {
    FakeSystem system;
    system.matches[L"D:\\libs\\*"] = {L".", L"..", L"x.jar"};
    EXPECT_EQ(BuildClassPath(L"D:\\libs\\*", kLauncher, false, system.Services()),
              L"D:\\libs\\.;D:\\libs\\..;D:\\libs\\x.jar;");
}

TEST(BuildClassPath, EntriesAreExpandedBeforeTheyAreJudged) {
    FakeSystem system;
    EXPECT_EQ(BuildClassPath(L"%APPDATA%\\app;%UNDEFINED%\\x.jar", kLauncher, false, system.Services()),
              L"C:\\Users\\u\\AppData\\app;");
    EXPECT_EQ(system.searched, (Names{L"C:\\App\\%UNDEFINED%\\x.jar"}));
}

TEST(BuildClassPath, EmptyEntriesContributeNothing) {
    FakeSystem system;
    EXPECT_EQ(BuildClassPath(L";;D:\\a.jar;", kLauncher, false, system.Services()), L"D:\\a.jar;");
    EXPECT_EQ(BuildClassPath(L"", kLauncher, false, system.Services()), L"");
    EXPECT_TRUE(system.searched.empty());
}

TEST(BuildClassPath, EmbeddedJarPutsTheLauncherFirst) {
    FakeSystem system;
    EXPECT_EQ(BuildClassPath(L"", kLauncher, true, system.Services()), L"C:\\App\\run.exe;");
    EXPECT_EQ(BuildClassPath(L"D:\\a.jar", kLauncher, true, system.Services()), L"C:\\App\\run.exe;D:\\a.jar;");
}

TEST(ClassPathMatchPath, FolderPartOfThePatternPlusName) {
    EXPECT_EQ(ClassPathMatchPath(L"C:\\App\\lib\\*.jar", L"a.jar"), L"C:\\App\\lib\\a.jar");
    EXPECT_EQ(ClassPathMatchPath(L"C:\\App/lib/*.jar", L"a.jar"), L"C:\\App/lib\\a.jar");
    EXPECT_EQ(ClassPathMatchPath(L"C:*.jar", L"a.jar"), L"C:a.jar");
}

TEST(MissingClassPathEntries, NamesWhereEveryEntryWasLookedForWhenNoneExists) {
    FakeSystem system;
    EXPECT_EQ(MissingClassPathEntries(L"app.jar;;lib\\*.jar;D:\\x.jar;%APPDATA%\\p.jar;C:\\y\\*.jar", kLauncher,
                                      system.Services()),
              (Names{L"C:\\App\\app.jar", L"C:\\App\\lib\\*.jar", L"D:\\x.jar", L"C:\\Users\\u\\AppData\\p.jar",
                     L"C:\\y\\*.jar"}));
}

TEST(MissingClassPathEntries, OneExistingEntryOrNoEntryAtAllIsNoneMissing) {
    struct Case {
        const wchar_t* setting;
        const wchar_t* existing;  // an absolute file, or a pattern that matches
    };
    const Case cases[] = {
        {L"app.jar;lib\\*.jar;D:\\x.jar", L"D:\\x.jar"},
        {L"app.jar;lib\\*.jar;D:\\x.jar", L"C:\\App\\lib\\*.jar"},
        {L"app.jar;lib\\*.jar;D:\\x.jar", L"C:\\App\\app.jar"},
        {L"", L""},
        {L";;", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.setting << " with " << c.existing);
        FakeSystem system;
        system.files = {c.existing};
        system.matches[c.existing] = {L"match"};
        EXPECT_TRUE(MissingClassPathEntries(c.setting, kLauncher, system.Services()).empty());
    }
}

}  // namespace
}  // namespace orvo
