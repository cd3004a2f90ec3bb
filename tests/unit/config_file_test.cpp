#include "config/config_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "config/config_limits.h"
#include "config/layered_config.h"
#include "foundation/unique_handle.h"
#include "support/app_folder.h"
#include "support/file_tree.h"
#include "support/temp_folder.h"
#include "support/wide_text.h"

namespace orvo {
namespace {

using test::TempFolder;

TEST(ConfigFile, ReadsValuesAndGivesEmptyForWhatIsMissing) {
    TempFolder dir;
    const std::wstring path = dir / L"run.ini";
    test::WriteFileBytes(path, "[Application]\r\nCmd = --fast \r\nEmpty=\r\n");
    const CConfigFile file(path);
    EXPECT_EQ(file.ReadString(L"Application", L"Cmd"), L"--fast");
    EXPECT_EQ(file.ReadString(L"application", L"CMD"), L"--fast");  // the profile API ignores case
    EXPECT_EQ(file.ReadString(L"Application", L"Empty"), L"");
    EXPECT_EQ(file.ReadString(L"Application", L"Missing"), L"");
    EXPECT_EQ(file.ReadString(L"Display", L"Cmd"), L"");
    EXPECT_EQ(CConfigFile(dir / L"absent.ini").ReadString(L"Application", L"Cmd"), L"");
}

// Values read as the profile API gives them one by one, although the reader takes a
// section at a time.
TEST(ConfigFile, ReadsEachValueAsTheProfileApiGivesIt) {
    TempFolder dir;
    const std::wstring path = dir / L"run.ini";
    test::WriteFileBytes(path, "[Java Runtime Environment]\r\n"
                               "Quoted=\"C:\\Program Files\\jdk\"\r\n"
                               "Single = 'a b' \r\n"
                               "Half=\"open\r\n"
                               "Inner=a \"b\" c\r\n"
                               "Twice=first\r\n"
                               "TWICE=second\r\n"
                               "\tTabbed\t=\tvalue\t\r\n"
                               "Bare\r\n"
                               "Equals=a=b\r\n"
                               "[Class Path]\r\n"
                               "Twice=other section\r\n");
    const CConfigFile file(path);
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Quoted", L"C:\\Program Files\\jdk"}, {L"Single", L"a b"},   {L"Half", L"\"open"},
        {L"Inner", L"a \"b\" c"},                  {L"Twice", L"first"}, {L"Tabbed", L"value"},
        {L"Bare", L""},                             {L"Equals", L"a=b"},
    };
    for (const auto& [key, value] : cases) EXPECT_EQ(file.ReadString(L"JAVA Runtime Environment", key), value) << key;
    EXPECT_EQ(file.ReadString(L"Class Path", L"Twice"), L"other section");
}

TEST(ConfigFile, ReadsLongValuesWhole) {
    TempFolder dir;
    const std::wstring path = dir / L"run.ini";
    // Lengths around each buffer size the reader tries, and one far beyond them.
    const std::size_t lengths[] = {254, 255, 256, 511, 512, 1023, 10000};
    std::string text = "[Class Path]\r\n";
    for (std::size_t length : lengths) {
        text += "K" + std::to_string(length) + "=" + std::string(length - 1, 'a') + "z\r\n";
    }
    test::WriteFileBytes(path, text);
    const CConfigFile file(path);
    for (std::size_t length : lengths) {
        const std::wstring value = file.ReadString(L"Class Path", (L"K" + std::to_wstring(length)).c_str());
        EXPECT_EQ(value.size(), length);
        EXPECT_EQ(value, std::wstring(length - 1, L'a') + L"z") << "value of " << length << " characters";
    }
}

TEST(ConfigFile, WriteStringCreatesTheFileAndKeepsOtherEntries) {
    TempFolder dir;
    const std::wstring path = dir / L"run.ini";
    const CConfigFile file(path);
    EXPECT_TRUE(file.WriteString(L"Java Runtime Environment", L"JRE Path", L"C:\\Java\\jre8\\"));
    EXPECT_TRUE(file.WriteString(L"Java Runtime Environment", L"Main Class", L"a.B"));
    EXPECT_TRUE(file.WriteString(L"Java Runtime Environment", L"JRE Path", L"D:\\jdk\\"));
    EXPECT_EQ(file.ReadString(L"Java Runtime Environment", L"JRE Path"), L"D:\\jdk\\");
    EXPECT_EQ(file.ReadString(L"Java Runtime Environment", L"Main Class"), L"a.B");
    EXPECT_NE(test::DecodeText(test::ReadFileBytes(path).value_or("")).find(L"JRE Path=D:\\jdk\\"),
              std::wstring::npos);
}

std::string Utf16Bytes(std::wstring_view text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
}

// Folder names in scripts the ANSI code page of a Western machine cannot hold:
// written as ANSI they came back as "?" and the remembered folder was never found.
TEST(ConfigFile, NewFileIsUtf16AndKeepsAnyFolderName) {
    const wchar_t* folders[] = {L"C:\\Java\\jre8\\", L"C:\\\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u044b\\Java\\",
                                L"D:\\\u65e5\u672c\u8a9e\\\u30b8\u30e3\u30d0\\", L"E:\\\u00c9t\u00e9 \u0416 \u65e5\\"};
    for (const wchar_t* folder : folders) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(folder)));
        TempFolder dir;
        const CConfigFile file(dir / L"run.ini");
        ASSERT_TRUE(file.WriteString(L"Java Runtime Environment", L"JRE Path", folder));
        EXPECT_EQ(test::ReadFileBytes(dir / L"run.ini"),
                  Utf16Bytes(std::wstring(L"[Java Runtime Environment]\r\nJRE Path=") + folder + L"\r\n"));
        EXPECT_EQ(file.ReadString(L"Java Runtime Environment", L"JRE Path"), folder);
    }
}

// The profile API rewrote the whole file, losing blank lines, spacing and line ends.
TEST(ConfigFile, WriteKeepsTheEncodingAndEveryOtherLineByteForByte) {
    const std::wstring before =
        L"; Orvo configuration\n\n[Application]\nCmd = --fast  \n\n[Java Runtime Environment]\n"
        L"Main Class = a.B\nJRE Path = C:\\old\n\n[Display]\nSplash Screen=x.png";
    const std::wstring after =
        L"; Orvo configuration\n\n[Application]\nCmd = --fast  \n\n[Java Runtime Environment]\n"
        L"Main Class = a.B\nJRE Path = C:\\new\\\n\n[Display]\nSplash Screen=x.png";
    const std::wstring cyrillic = L"C:\\\u0416\u0451\u043b\u0443\u0434\u044c\\";
    std::wstring cyrillicAfter = after;
    const std::wstring_view plain = L"C:\\new\\";
    cyrillicAfter.replace(cyrillicAfter.find(plain), plain.size(), cyrillic);
    struct Case {
        const char* name;
        std::string before;
        std::wstring_view value;
        std::string after;
    };
    const Case cases[] = {
        {"ANSI", test::AnsiBytes(before), plain, test::AnsiBytes(after)},
        {"ANSI, CR LF", test::AnsiBytes(test::WithWindowsLineEnds(before)), plain,
         test::AnsiBytes(test::WithWindowsLineEnds(after))},
        {"UTF-16", Utf16Bytes(before), plain, Utf16Bytes(after)},
        {"UTF-8", "\xEF\xBB\xBF" + test::Utf8(before), plain, "\xEF\xBB\xBF" + test::Utf8(after)},
        // A name the ANSI code page cannot hold turns the file into UTF-16, text unchanged.
        {"ANSI, Cyrillic folder", test::AnsiBytes(before), cyrillic, Utf16Bytes(cyrillicAfter)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        test::WriteFileBytes(dir / L"run.ini", c.before);
        ASSERT_TRUE(CConfigFile(dir / L"run.ini").WriteString(L"Java Runtime Environment", L"JRE Path", std::wstring(c.value)));
        EXPECT_EQ(test::ReadFileBytes(dir / L"run.ini"), c.after);
    }
}

// A reader that has the file open while it is written (another start of the
// launcher, say) keeps reading the old file whole: it is replaced, never rewritten
// where it lies, so an interrupted write cannot leave half a file.
TEST(ConfigFile, WriteReplacesTheFileAndNeverChangesTheOldOneInPlace) {
    TempFolder dir;
    const std::string old = "[Java Runtime Environment]\r\nMain Class=a.B\r\nJRE Path=C:\\old\r\n";
    test::WriteFileBytes(dir / L"run.ini", old);
    UniqueFileHandle reader(CreateFileW((dir / L"run.ini").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader);
    ASSERT_TRUE(CConfigFile(dir / L"run.ini").WriteString(L"Java Runtime Environment", L"JRE Path", L"C:\\new\\"));
    std::string seen(old.size() + 64, '\0');
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(reader.get(), seen.data(), static_cast<DWORD>(seen.size()), &read, nullptr));
    seen.resize(read);
    EXPECT_EQ(seen, old);
    EXPECT_EQ(CConfigFile(dir / L"run.ini").ReadString(L"Java Runtime Environment", L"JRE Path"), L"C:\\new\\");
}

std::vector<std::wstring> FileNamesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    UniqueFindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!search) return names;
    do {
        if (data.cFileName[0] != L'.') names.push_back(data.cFileName);
    } while (FindNextFileW(search.get(), &data));
    return names;
}

TEST(ConfigFile, FailedWriteLeavesTheOldFileWholeAndNothingBesideIt) {
    const std::string ini = "[Java Runtime Environment]\r\nJRE Path=C:\\old\r\n";
    struct Case {
        const char* name;
        std::function<void(const std::wstring& file)> prepare;
    };
    const Case cases[] = {
        {"read-only file",
         [&](const std::wstring& file) {
             test::WriteFileBytes(file, ini);
             SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
         }},
        {"file beyond the size limit",
         [&](const std::wstring& file) { test::WriteSparseFile(file, ini, kMaxConfigFileBytes + 1); }},
        {"UTF-16 big-endian file", [](const std::wstring& file) { test::WriteFileBytes(file, "\xFE\xFF\0[\0S\0]"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        const std::wstring path = dir / L"run.ini";
        c.prepare(path);
        const std::optional<std::string> before = test::ReadFileBytes(path);
        EXPECT_FALSE(CConfigFile(path).WriteString(L"Java Runtime Environment", L"JRE Path", L"C:\\new\\"));
        EXPECT_TRUE(test::ReadFileBytes(path) == before) << "the old file is unchanged";
        EXPECT_EQ(FileNamesIn(dir.path()), std::vector<std::wstring>{L"run.ini"});
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    TempFolder dir;
    EXPECT_FALSE(CConfigFile(dir / L"missing\\run.ini").WriteString(L"Java Runtime Environment", L"JRE Path", L"C:\\x\\"));
    EXPECT_TRUE(FileNamesIn(dir.path()).empty());
}

// The profile API loads the whole file into memory: a file of gigabytes crashed the
// 64-bit launcher inside it. Such a file now reads as empty; a large value in a
// file within the limit is still read whole.
TEST(ConfigFile, FilesBeyondTheLimitReadAsEmptyWhateverTheirSize) {
    const std::string ini = "[Java Runtime Environment]\r\nMain Class=a.B\r\n";
    const std::uint64_t sizes[] = {kMaxConfigFileBytes + 1, 3ull << 30, (4ull << 30) + 100, 9ull << 30};
    for (std::uint64_t size : sizes) {
        SCOPED_TRACE(testing::Message() << size << " bytes");
        TempFolder dir;
        test::WriteSparseFile(dir / L"run.ini", ini, size);
        const CConfigFile file(dir / L"run.ini");
        EXPECT_TRUE(file.TooLarge());
        EXPECT_EQ(file.ReadString(L"Java Runtime Environment", L"Main Class"), L"");
    }
    TempFolder dir;
    const std::string value(4u << 20, 'v');
    test::WriteFileBytes(dir / L"run.ini", ini + "Class Path=" + value + "\r\n");
    const CConfigFile file(dir / L"run.ini");
    EXPECT_FALSE(file.TooLarge());
    EXPECT_EQ(file.ReadString(L"Java Runtime Environment", L"Class Path").size(), value.size());
    EXPECT_EQ(file.ReadString(L"Java Runtime Environment", L"Main Class"), L"a.B");
}

// The profile functions refuse paths of 260 units and more; such a file must still
// be read and written, as a launcher installed deep in a folder tree needs.
TEST(ConfigFile, ReadsAndWritesFilesBehindPathsBeyondTheClassicLimit) {
    TempFolder dir;
    std::wstring deep = dir.path();
    while (deep.size() < 280) deep += L"\\" + std::wstring(40, L'f');
    test::CreateFolderTree(deep);
    test::WriteFileBytes(L"\\\\?\\" + deep + L"\\run.ini", "[Java Runtime Environment]\r\nMain Class=a.Main\r\n");
    const CConfigFile existing(deep + L"\\run.ini");
    EXPECT_EQ(existing.ReadString(L"Java Runtime Environment", L"Main Class"), L"a.Main");

    const CConfigFile fresh(deep + L"\\fresh.ini");
    EXPECT_TRUE(fresh.WriteString(L"Java Runtime Environment", L"JRE Path", L"C:\\jre\\"));
    EXPECT_EQ(fresh.ReadString(L"Java Runtime Environment", L"JRE Path"), L"C:\\jre\\");
    EXPECT_TRUE(test::PathExists(deep + L"\\fresh.ini"));
}

TEST(LayeredConfig, ContinuationSectionSuppliesMissingValuesWithABlankInFront) {
    TempFolder dir;
    const std::wstring path = dir / L"run.ini";
    test::WriteFileBytes(path,
                                     "[Java Runtime Environment]\r\n"
                                     "Main Class=a.Main\r\n"
                                     "[Java Runtime Environment+]\r\n"
                                     "Virtual Machine Parameters=-Xmx512m\r\n"
                                     "Main Class=ignored.Main\r\n");
    const CLayeredConfig config(path);
    EXPECT_EQ(config.ReadString(L"Java Runtime Environment", L"Virtual Machine Parameters"), L" -Xmx512m");
    EXPECT_EQ(config.ReadString(L"Java Runtime Environment", L"Main Class"), L"a.Main");
    EXPECT_EQ(config.ReadString(L"Java Runtime Environment", L"Library Path"), L"");
}

TEST(LayeredConfig, OverlayFillsInWhereTheFileIsSilent) {
    TempFolder dir;
    const std::wstring path = dir / L"run.ini";
    test::WriteFileBytes(path,
                                     "[Application]\r\nCmd=--file\r\n"
                                     "[Application+]\r\nOutput File=out.txt\r\n");
    const CLayeredConfig config(path, L"[Application]\r\nCmd=--overlay\r\nOutput File=log\r\nError File=err.txt\r\n");
    EXPECT_EQ(config.ReadString(L"Application", L"Cmd"), L"--file");
    EXPECT_EQ(config.ReadString(L"Application", L"Error File"), L"err.txt");
    EXPECT_EQ(config.ReadString(L"Application", L"Output File"), L"log out.txt");
    // The overlay matches names exactly, unlike the file.
    EXPECT_EQ(config.ReadString(L"application", L"Error File"), L"");
}

}  // namespace
}  // namespace orvo
