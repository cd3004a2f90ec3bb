#include "config/settings_loader.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/file_tree.h"
#include "support/temp_folder.h"

namespace orvo {
namespace {

using test::TempFolder;

// Points APPDATA somewhere for one test and puts the old value back afterwards.
class AppDataOverride {
public:
    explicit AppDataOverride(const std::wstring& value) : previous_(test::TestEnv(L"APPDATA")) {
        SetEnvironmentVariableW(L"APPDATA", value.empty() ? nullptr : value.c_str());
    }
    ~AppDataOverride() { SetEnvironmentVariableW(L"APPDATA", previous_.empty() ? nullptr : previous_.c_str()); }

private:
    std::wstring previous_;
};

class SettingsLoaderTest : public testing::Test {
protected:
    bool Load(const std::string& ini) {
        test::WriteFileBytes(configPath, ini);
        return ReadSettingsFrom(configPath, launcherPath, settings);
    }
    // Writes the per-user copy for product "Acme Tools", code "{X}".
    void WriteUserCopy(const std::string& ini) {
        test::CreateFolderTree(appData / L"Acme Tools\\{X}");
        test::WriteFileBytes(appData / L"Acme Tools\\{X}\\run.ini", ini);
    }

    TempFolder dir;
    TempFolder appData;
    AppDataOverride appDataOverride{appData.path()};
    const std::wstring launcherPath = dir / L"run.exe";
    const std::wstring configPath = dir / L"run.ini";
    LauncherSettings settings;
};

constexpr char kProduct[] = "[Product Information]\r\nProduct Name=Acme: Tools\r\nProduct Code={X}\r\n";

TEST_F(SettingsLoaderTest, ReadsEveryFieldOfACompleteConfiguration) {
    ASSERT_TRUE(Load(std::string(kProduct) +
                     "[Application]\r\n"
                     "Failure Check=yes\r\nOverride WorkingDir=YES\r\n"
                     "Pair Product=C:\\Apps\\run64.exe\r\nPair Return Code=Yes\r\n"
                     "Service Stop Method=com.example.app.Main.stop\r\nService Stop Timeout=45\r\n"
                     "[Java Runtime Environment]\r\n"
                     "Main Class=com.example.app.Main\r\nJRE Path=jre\r\n"
                     "Minimum Version=1.6\r\nMaximum Version=1.8\r\nPreferred versions=1.8;;11;\r\n"
                     "JVM Type=favor_server\r\nJVM Source=only_JRE\r\nVM Provider=Favor_IBM\r\n"
                     "System Path=C:\\bin\r\nLibrary Path=C:\\lib\r\n"));
    EXPECT_EQ(settings.productName, L"Acme: Tools");
    EXPECT_EQ(settings.productCode, L"{X}");
    EXPECT_EQ(settings.mainClass, L"com/example/app/Main");
    EXPECT_EQ(settings.jrePath, dir / L"jre");
    EXPECT_EQ(settings.versionRange.minimum, (JavaVersion{{1, 6, 0, 0}}));
    EXPECT_EQ(settings.versionRange.maximum, (JavaVersion{{1, 8, 65535, 65535}}));
    EXPECT_EQ(settings.preferredVersions, (std::vector<std::wstring>{L"1.8", L"", L"11"}));
    EXPECT_FALSE(settings.serviceMode);
    EXPECT_EQ(settings.searchPrefs.jvmType, JvmType::FavorServer);
    EXPECT_FALSE(settings.searchPrefs.bothSources);
    EXPECT_TRUE(settings.searchPrefs.jreFavored);
    EXPECT_FALSE(settings.searchPrefs.jdkFavored);
    EXPECT_TRUE(settings.searchPrefs.ibmFavored);
    EXPECT_FALSE(settings.searchPrefs.sunFavored);
    EXPECT_TRUE(settings.showExceptionDialog);
    EXPECT_TRUE(settings.overrideWorkingDir);
    EXPECT_EQ(settings.pairProduct, L"C:\\Apps\\run64.exe");
    EXPECT_TRUE(settings.pairReturnCode);
    EXPECT_EQ(settings.systemPath, L"C:\\bin");
    EXPECT_EQ(settings.libraryPath, L"C:\\lib");
    EXPECT_EQ(settings.serviceStopMethod, L"com.example.app.Main.stop");
    EXPECT_EQ(settings.serviceStopTimeoutSeconds, 45u);
}

TEST_F(SettingsLoaderTest, MissingMainClassStopsTheReadsThere) {
    EXPECT_FALSE(Load(std::string(kProduct) +
                      "[Application]\r\nOverride WorkingDir=Yes\r\nPair Product=run64.exe\r\nFailure Check=Yes\r\n"
                      "[Java Runtime Environment]\r\nJRE Path=D:\\Java\r\nJVM Type=server\r\n"
                      "Library Path=C:\\lib\r\n"));
    EXPECT_EQ(settings.productCode, L"{X}");
    EXPECT_EQ(settings.jrePath, L"D:\\Java");
    EXPECT_EQ(settings.searchPrefs.jvmType, JvmType::ServerOnly);
    EXPECT_EQ(settings.mainClass, L"");
    EXPECT_FALSE(settings.overrideWorkingDir);
    EXPECT_FALSE(settings.showExceptionDialog);
    EXPECT_EQ(settings.pairProduct, L"");
    EXPECT_EQ(settings.libraryPath, L"");
}

TEST_F(SettingsLoaderTest, MissingFileMeansMissingMainClass) {
    EXPECT_FALSE(ReadSettingsFrom(dir / L"absent.ini", launcherPath, settings));
}

// An executable that carries its configuration needs no file beside it; where both
// exist, the file's values win, and [Product Information] comes from either.
TEST_F(SettingsLoaderTest, EmbeddedConfigurationStandsInForTheFile) {
    const std::wstring embedded =
        L"[Product Information]\r\nProduct Name=Packed\r\nProduct Code=P1\r\n"
        L"[Java Runtime Environment]\r\nMain Class=packed.Main\r\nJRE Path=C:\\Java\r\n";
    ASSERT_TRUE(ReadSettingsFrom(CLayeredConfig(dir / L"absent.ini", embedded), launcherPath, settings));
    EXPECT_EQ(settings.mainClass, L"packed/Main");
    EXPECT_EQ(settings.jrePath, L"C:\\Java");
    EXPECT_EQ(settings.productName, L"Packed");
    EXPECT_EQ(settings.productCode, L"P1");

    test::WriteFileBytes(configPath, "[Product Information]\r\nProduct Name=Beside\r\n"
                                     "[Java Runtime Environment]\r\nMain Class=beside.Main\r\n");
    LauncherSettings both;
    ASSERT_TRUE(ReadSettingsFrom(CLayeredConfig(configPath, embedded), launcherPath, both));
    EXPECT_EQ(both.mainClass, L"beside/Main");
    EXPECT_EQ(both.jrePath, L"C:\\Java");
    EXPECT_EQ(both.productName, L"Beside");
    EXPECT_EQ(both.productCode, L"P1");
}

// The keys that later steps use (single instance, splash, the VM's options and
// streams) are read with the rest, each by its own comparison rule; [Display] is
// read from the file alone, never from an embedded configuration.
TEST_F(SettingsLoaderTest, ReadsTheKeysOfTheLaterStepsOnce) {
    const std::wstring embedded = L"[Display]\r\nSplash Screen=embedded.png\r\n"
                                  L"[Application]\r\nCmd=-embedded\r\n";
    test::WriteFileBytes(configPath,
                         "[Application]\r\nSingle Instance=yes\r\nEmbedded Jar=YES\r\n"
                         "Output File=%TEMP%\\out.txt\r\nOutput Append=yes\r\n"
                         "Error File=err.txt\r\nError Append=Yes\r\n"
                         "[Application+]\r\nCmd=-b\r\n"
                         "[Java Runtime Environment]\r\nMain Class=Main\r\nClass Data Cache=yes\r\n"
                         "Virtual Machine Parameters=-Xss2m -Xmx25P\r\n"
                         "[Class Path]\r\nClass Path=lib\\*.jar\r\n"
                         "[Display]\r\nPreffer Native Splash Screen=YES\r\nSplash Screen Shadow=no\r\n");
    ASSERT_TRUE(ReadSettingsFrom(CLayeredConfig(configPath, embedded), launcherPath, settings));
    EXPECT_TRUE(settings.singleInstance);
    EXPECT_EQ(settings.splash.imagePath, L"");
    EXPECT_TRUE(settings.splash.preferNative);
    EXPECT_EQ(settings.splash.shadowSetting, L"no");
    EXPECT_TRUE(settings.vm.embeddedJar);
    EXPECT_TRUE(settings.vm.classDataCache);
    EXPECT_EQ(settings.vm.classPath, L"lib\\*.jar");
    EXPECT_EQ(settings.vm.vmParameters, L"-Xss2m -Xmx25P");
    EXPECT_EQ(settings.vm.outputFile, L"%TEMP%\\out.txt");  // expanded only when the options are built
    EXPECT_TRUE(settings.vm.outputAppend);
    EXPECT_EQ(settings.vm.errorFile, L"err.txt");
    EXPECT_FALSE(settings.vm.errorAppend);  // "yes" exactly
    EXPECT_EQ(settings.vm.cmd, L"-embedded -b");

    ASSERT_TRUE(Load("[Application]\r\nSingle Instance=Yes\r\n[Java Runtime Environment]\r\nMain Class=Main\r\n"
                     "[Display]\r\nSplash Screen=splash.png\r\n"));
    EXPECT_FALSE(settings.singleInstance);  // "yes" exactly
    EXPECT_EQ(settings.splash.imagePath, L"splash.png");
    EXPECT_FALSE(settings.splash.preferNative);
}

TEST_F(SettingsLoaderTest, MissingKeysKeepTheDefaults) {
    ASSERT_TRUE(Load("[Java Runtime Environment]\r\nMain Class=Main\r\n"));
    EXPECT_EQ(settings.mainClass, L"Main");
    EXPECT_EQ(settings.jrePath, L"");
    EXPECT_EQ(settings.versionRange.minimum, JavaVersion{});
    EXPECT_EQ(settings.versionRange.maximum, JavaVersion{});
    EXPECT_TRUE(settings.preferredVersions.empty());
    EXPECT_EQ(settings.searchPrefs.jvmType, JvmType::Any);
    // A missing "JVM Source" favours both kinds.
    EXPECT_TRUE(settings.searchPrefs.bothSources);
    EXPECT_TRUE(settings.searchPrefs.jdkFavored);
    EXPECT_TRUE(settings.searchPrefs.jreFavored);
    EXPECT_TRUE(settings.searchPrefs.sunAllowed && settings.searchPrefs.sunFavored);
    EXPECT_FALSE(settings.searchPrefs.jrockitAllowed || settings.searchPrefs.ibmAllowed);
    EXPECT_FALSE(settings.serviceMode || settings.pairReturnCode || settings.overrideWorkingDir ||
                 settings.showExceptionDialog);
    EXPECT_EQ(settings.serviceStopMethod, L"");
    EXPECT_EQ(settings.serviceStopTimeoutSeconds, kDefaultServiceStopTimeoutSeconds);
}

TEST_F(SettingsLoaderTest, KeywordsKeepTheirOwnLetterCaseRules) {
    ASSERT_TRUE(Load("[Application]\r\nApplication Type=Service\r\nPair Return Code=Y\r\nFailure Check=true\r\n"
                     "[Java Runtime Environment]\r\nMain Class=Main\r\nMinimum Version=Any\r\n"
                     "Maximum Version=any\r\nJVM Type=Server\r\nVM Provider=SUN\r\n"));
    EXPECT_FALSE(settings.serviceMode);
    EXPECT_FALSE(settings.pairReturnCode);
    EXPECT_FALSE(settings.showExceptionDialog);
    EXPECT_EQ(settings.versionRange.minimum, JavaVersion{});
    EXPECT_EQ(settings.versionRange.maximum, (JavaVersion{{65535, 65535, 65535, 65535}}));
    EXPECT_EQ(settings.searchPrefs.jvmType, JvmType::Any);
    EXPECT_TRUE(settings.searchPrefs.sunFavored);
    EXPECT_FALSE(settings.searchPrefs.jrockitAllowed);
}

TEST_F(SettingsLoaderTest, CommandLineQuotingSelectsWindowsRulesByOneWordInAnyCase) {
    const std::pair<const char*, bool> cases[] = {
        {"windows", true}, {"Windows", true}, {"WINDOWS", true},
        {"", false}, {"win", false}, {"windows10", false}, {"yes", false}, {"crt", false},
    };
    for (const auto& [value, windows] : cases) {
        SCOPED_TRACE(value);
        settings = {};
        ASSERT_TRUE(Load(std::string("[Application]\r\nCommand Line Quoting=") + value +
                         "\r\n[Java Runtime Environment]\r\nMain Class=Main\r\n"));
        EXPECT_EQ(settings.windowsQuoting, windows);
    }
}

TEST_F(SettingsLoaderTest, ContinuationSectionsApplyToLoadedKeys) {
    ASSERT_TRUE(Load("[Java Runtime Environment]\r\nMain Class=Main\r\n"
                     "[Java Runtime Environment+]\r\nLibrary Path=C:\\native\r\nJVM Type=server\r\n"
                     "[Application+]\r\nPair Product=run64.exe\r\n"));
    EXPECT_EQ(settings.libraryPath, L" C:\\native");
    EXPECT_EQ(settings.pairProduct, dir / L" run64.exe");
    // " server" is not the exact word.
    EXPECT_EQ(settings.searchPrefs.jvmType, JvmType::Any);
}

// Started from a console in another folder, the launcher must still hand over to
// the pair beside it, not to whatever lies in that folder.
TEST_F(SettingsLoaderTest, RelativePairProductLiesBesideTheLauncher) {
    const struct {
        const char* written;
        std::wstring expected;
    } cases[] = {
        {"run64.exe", dir / L"run64.exe"},
        {"x64\\run64.exe", dir / L"x64\\run64.exe"},
        {"..\\other\\run64.exe", dir / L"..\\other\\run64.exe"},
        {"D:\\Apps\\run64.exe", L"D:\\Apps\\run64.exe"},
        {"\\\\server\\share\\run64.exe", L"\\\\server\\share\\run64.exe"},
        {"", L""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Load(std::string("[Application]\r\nPair Product=") + c.written +
                         "\r\n[Java Runtime Environment]\r\nMain Class=Main\r\n"));
        EXPECT_EQ(settings.pairProduct, c.expected) << c.written;
    }
}

TEST_F(SettingsLoaderTest, PerUserCopyWinsOutsideServiceMode) {
    WriteUserCopy("[Java Runtime Environment]\r\nJRE Path=C:\\Java8\r\n");
    ASSERT_TRUE(Load(std::string(kProduct) + "[Java Runtime Environment]\r\nMain Class=M\r\nJRE Path=C:\\Java11\r\n"));
    EXPECT_EQ(settings.jrePath, L"C:\\Java8");
}

TEST_F(SettingsLoaderTest, PerUserCopyWithoutJrePathStillWins) {
    WriteUserCopy("[Java Runtime Environment]\r\nMain Class=Other\r\n");
    ASSERT_TRUE(Load(std::string(kProduct) + "[Java Runtime Environment]\r\nMain Class=M\r\nJRE Path=C:\\Java11\r\n"));
    EXPECT_EQ(settings.jrePath, L"");
    EXPECT_EQ(settings.mainClass, L"M");  // nothing else comes from the copy
}

TEST_F(SettingsLoaderTest, RelativeJrePathOfThePerUserCopyIsResolvedAgainstTheLauncher) {
    WriteUserCopy("[Java Runtime Environment]\r\nJRE Path=..\\Java\r\n");
    ASSERT_TRUE(Load(std::string(kProduct) + "[Java Runtime Environment]\r\nMain Class=M\r\n"));
    EXPECT_EQ(settings.jrePath, dir / L"..\\Java");
}

TEST_F(SettingsLoaderTest, ServiceModeIgnoresThePerUserCopy) {
    WriteUserCopy("[Java Runtime Environment]\r\nJRE Path=C:\\Java8\r\n");
    ASSERT_TRUE(Load(std::string(kProduct) +
                     "[Application]\r\nApplication Type=service\r\n"
                     "[Java Runtime Environment]\r\nMain Class=M\r\nJRE Path=C:\\Java11\r\n"));
    EXPECT_TRUE(settings.serviceMode);
    EXPECT_EQ(settings.jrePath, L"C:\\Java11");
}

TEST_F(SettingsLoaderTest, WithoutAppDataTheMainConfigurationHoldsJrePath) {
    WriteUserCopy("[Java Runtime Environment]\r\nJRE Path=C:\\Java8\r\n");
    AppDataOverride noAppData(L"");
    ASSERT_TRUE(Load(std::string(kProduct) + "[Java Runtime Environment]\r\nMain Class=M\r\nJRE Path=C:\\Java11\r\n"));
    EXPECT_EQ(settings.jrePath, L"C:\\Java11");
}

}  // namespace
}  // namespace orvo
