#include "config/jre_path_write_back.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "config/config_file.h"
#include "config/config_locations.h"
#include "config/settings_loader.h"
#include "support/file_tree.h"
#include "support/temp_folder.h"

namespace orvo {
namespace {

using test::TempFolder;

class AppDataOverride {
public:
    explicit AppDataOverride(const std::wstring& value) : previous_(test::TestEnv(L"APPDATA")) {
        SetEnvironmentVariableW(L"APPDATA", value.empty() ? nullptr : value.c_str());
    }
    ~AppDataOverride() { SetEnvironmentVariableW(L"APPDATA", previous_.empty() ? nullptr : previous_.c_str()); }

private:
    std::wstring previous_;
};

class CurrentDirectoryOverride {
public:
    explicit CurrentDirectoryOverride(const std::wstring& path) {
        GetCurrentDirectoryW(MAX_PATH, previous_);
        SetCurrentDirectoryW(path.c_str());
    }
    ~CurrentDirectoryOverride() { SetCurrentDirectoryW(previous_); }

private:
    wchar_t previous_[MAX_PATH] = {};
};

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring JrePathIn(const std::wstring& configPath) {
    return CConfigFile(configPath).ReadString(L"Java Runtime Environment", L"JRE Path");
}

constexpr char kMainConfig[] = "[Java Runtime Environment]\r\nMain Class=app.Main\r\n";

class WriteBackTest : public testing::Test {
protected:
    void SetUp() override {
        test::WriteFileBytes(dir / L"run.ini", kMainConfig);
        settings.productName = L"A/B:C*D";
        settings.productCode = L"{X}";
    }

    TempFolder dir;
    TempFolder appData;
    AppDataOverride appDataOverride{appData.path()};
    LauncherSettings settings;
};

TEST_F(WriteBackTest, OutsideServiceModeWritesBothPerUserCopiesAndLeavesTheMainFilesAlone) {
    settings.pairProduct = dir / L"run64.exe";
    WriteBackJrePathFor(dir / L"run.exe", L"C:\\Java\\jre8\\", settings);
    EXPECT_EQ(JrePathIn(appData / L"ABCD\\{X}\\run.ini"), L"C:\\Java\\jre8\\");
    EXPECT_EQ(JrePathIn(appData / L"ABCD\\{X}\\run64.ini"), L"C:\\Java\\jre8\\");
    EXPECT_EQ(test::ReadFileBytes(dir / L"run.ini"), kMainConfig);
    EXPECT_FALSE(Exists(dir / L"run64.ini"));
}

TEST_F(WriteBackTest, OutsideServiceModeWithoutPairWritesOneCopy) {
    WriteBackJrePathFor(dir / L"run.exe", L"D:\\jdk\\", settings);
    EXPECT_EQ(JrePathIn(appData / L"ABCD\\{X}\\run.ini"), L"D:\\jdk\\");
    EXPECT_FALSE(Exists(appData / L"ABCD\\{X}\\run64.ini"));
}

TEST_F(WriteBackTest, TheNextStartReadsTheWrittenFolder) {
    test::WriteFileBytes(dir / L"run.ini",
                                     "[Product Information]\r\nProduct Name=A/B:C*D\r\nProduct Code={X}\r\n"
                                     "[Java Runtime Environment]\r\nMain Class=app.Main\r\nJRE Path=C:\\Old\r\n");
    WriteBackJrePathFor(dir / L"run.exe", L"C:\\Java\\jre8\\", settings);
    LauncherSettings next;
    ASSERT_TRUE(ReadSettingsFrom(dir / L"run.ini", dir / L"run.exe", next));
    EXPECT_EQ(next.jrePath, L"C:\\Java\\jre8\\");
}

TEST_F(WriteBackTest, ServiceModeWritesBothMainFilesAndNoPerUserCopy) {
    settings.serviceMode = true;
    settings.pairProduct = dir / L"run64.exe";
    WriteBackJrePathFor(dir / L"run.exe", L"C:\\Java\\jre8\\", settings);
    EXPECT_EQ(JrePathIn(dir / L"run.ini"), L"C:\\Java\\jre8\\");
    EXPECT_EQ(CConfigFile(dir / L"run.ini").ReadString(L"Java Runtime Environment", L"Main Class"), L"app.Main");
    EXPECT_EQ(JrePathIn(dir / L"run64.ini"), L"C:\\Java\\jre8\\");
    EXPECT_FALSE(Exists(appData / L"ABCD"));
}

// Started from a console in another folder, the service still writes the file of
// the pair beside it, not one in that folder.
TEST_F(WriteBackTest, ServiceModeWritesTheFileOfARelativePairBesideTheLauncher) {
    test::WriteFileBytes(dir / L"run.ini",
                         "[Application]\r\nApplication Type=service\r\nPair Product=run64.exe\r\n"
                         "[Java Runtime Environment]\r\nMain Class=app.Main\r\n");
    TempFolder elsewhere;
    CurrentDirectoryOverride inElsewhere(elsewhere.path());
    LauncherSettings loaded;
    ASSERT_TRUE(ReadSettingsFrom(dir / L"run.ini", dir / L"run.exe", loaded));
    WriteBackJrePathFor(dir / L"run.exe", L"C:\\Java\\jre8\\", loaded);
    EXPECT_EQ(JrePathIn(dir / L"run64.ini"), L"C:\\Java\\jre8\\");
    EXPECT_FALSE(Exists(elsewhere / L"run64.ini"));
}

TEST_F(WriteBackTest, ServiceModeSkipsAPairWithoutExtension) {
    settings.serviceMode = true;
    settings.pairProduct = dir / L"run64";
    WriteBackJrePathFor(dir / L"run.exe", L"C:\\Java\\jre8\\", settings);
    EXPECT_EQ(JrePathIn(dir / L"run.ini"), L"C:\\Java\\jre8\\");
    EXPECT_FALSE(Exists(dir / L"run64.ini"));
}

TEST_F(WriteBackTest, LauncherWithoutExtensionWritesNothing) {
    WriteBackJrePathFor(dir / L"run", L"C:\\Java\\jre8\\", settings);
    EXPECT_FALSE(Exists(appData / L"ABCD"));
    settings.serviceMode = true;
    WriteBackJrePathFor(dir / L"run", L"C:\\Java\\jre8\\", settings);
    EXPECT_EQ(test::ReadFileBytes(dir / L"run.ini"), kMainConfig);
}

TEST_F(WriteBackTest, WithoutAppDataNothingIsWrittenAtTheDriveRoot) {
    AppDataOverride noAppData(L"");
    settings.productName = L"OrvoWriteBack" + std::to_wstring(GetCurrentProcessId());
    CurrentDirectoryOverride inDir(dir.path());
    WriteBackJrePathFor(dir / L"run.exe", L"C:\\Java\\jre8\\", settings);
    EXPECT_FALSE(Exists(L"\\" + settings.productName));
    EXPECT_EQ(test::ReadFileBytes(dir / L"run.ini"), kMainConfig);
}

TEST(UserConfigPath, CreatesBothFoldersOnlyWhenAsked) {
    TempFolder appData;
    AppDataOverride appDataOverride(appData.path());
    const std::optional<std::wstring> reading = UserConfigPath(L"C:\\Apps\\run.exe", L"Acme", L"{X}", false);
    EXPECT_EQ(reading, appData / L"Acme\\{X}\\run.ini");
    EXPECT_FALSE(Exists(appData / L"Acme"));
    const std::optional<std::wstring> writing = UserConfigPath(L"C:\\Apps\\run.exe", L"Acme", L"{X}", true);
    EXPECT_EQ(writing, reading);
    EXPECT_TRUE(Exists(appData / L"Acme\\{X}"));
    EXPECT_FALSE(Exists(*writing));
    // Existing folders are no obstacle.
    EXPECT_EQ(UserConfigPath(L"C:\\Apps\\run.exe", L"Acme", L"{X}", true), reading);
}

TEST(UserConfigPath, UsesAnAppDataLongerThanTheClassicPathLimit) {
    TempFolder base;
    const std::wstring longAppData = base.path() + L"\\" + std::wstring(300, L'x');
    AppDataOverride appDataOverride(longAppData);
    EXPECT_EQ(UserConfigPath(L"run.exe", L"P", L"C", false), longAppData + L"\\P\\C\\run.ini");
}

TEST(UserConfigPath, IsAbsentWithoutAppData) {
    AppDataOverride noAppData(L"");
    EXPECT_FALSE(UserConfigPath(L"C:\\Apps\\run.exe", L"P", L"C", true));
}

}  // namespace
}  // namespace orvo
