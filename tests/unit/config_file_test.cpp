#include "config/config_file.h"

#include <gtest/gtest.h>

#include <string>

#include "config/layered_config.h"
#include "support/file_tree.h"
#include "support/temp_folder.h"

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
        const std::wstring value = file.ReadString(L"Class Path", L"K" + std::to_wstring(length));
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
    EXPECT_NE(test::ReadFileBytes(path).value_or("").find("JRE Path=D:\\jdk\\"), std::string::npos);
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
