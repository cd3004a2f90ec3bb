#include "discovery/jvm_locator.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>

#include "config/config_file.h"
#include "config/jvm_search_settings.h"
#include "config/settings_loader.h"
#include "discovery/pair_machine_check.h"
#include "foundation/pe_image_view.h"
#include "support/file_tree.h"
#include "support/harness_error.h"
#include "support/installer_keys.h"
#include "support/registry_keys.h"
#include "support/temp_folder.h"
#include "support/test_environment.h"

namespace orvo {
namespace {

using test::HarnessError;

// The view a Default registry read sees in this build, and the other one.
constexpr REGSAM kOwnView = kLauncherIs64Bit ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
constexpr REGSAM kView32 = KEY_WOW64_32KEY;
constexpr REGSAM kView64 = KEY_WOW64_64KEY;

constexpr const wchar_t* kJdk = L"Software\\JavaSoft\\JDK";
constexpr const wchar_t* kJre = L"Software\\JavaSoft\\JRE";
constexpr const wchar_t* kOldJdk = L"Software\\JavaSoft\\Java Development Kit";
constexpr const wchar_t* kOldJre = L"Software\\JavaSoft\\Java Runtime Environment";
constexpr const wchar_t* kJrockitJre = L"Software\\JRockit\\Java Runtime Environment";
constexpr const wchar_t* kJrockitJdk = L"Software\\JRockit\\Java Development Kit";
constexpr const wchar_t* kIbmJre = L"Software\\IBM\\Java2 Runtime Environment";

// Sets (or, with nullopt, removes) an environment variable for one test.
class EnvironmentOverride {
public:
    EnvironmentOverride(const wchar_t* name, const std::optional<std::wstring>& value)
        : name_(name), previous_(Read(name)) {
        Set(value);
    }
    ~EnvironmentOverride() { Set(previous_); }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

    void Set(const std::optional<std::wstring>& value) const {
        SetEnvironmentVariableW(name_, value ? value->c_str() : nullptr);
    }

private:
    static std::optional<std::wstring> Read(const wchar_t* name) {
        SetLastError(0);
        DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
        if (needed == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::wstring();
        }
        std::wstring value(needed, L'\0');
        value.resize(GetEnvironmentVariableW(name, value.data(), needed));
        return value;
    }

    const wchar_t* name_;
    std::optional<std::wstring> previous_;
};

std::wstring NoSlash(const std::wstring& folder) { return folder.substr(0, folder.size() - 1); }
std::wstring Library(const std::wstring& home, const wchar_t* flavour = L"client") {
    return home + L"bin\\" + flavour + L"\\jvm.dll";
}

void Touch(const std::wstring& path) {
    test::CreateFolderTree(path.substr(0, path.rfind(L'\\')));
    test::WriteFileBytes(path, "");
}

// An executable of the given machine type: one of the two launchers, or one of them
// with its machine field changed.
std::string PeImageBytes(WORD machine) {
    for (const wchar_t* variable : {L"ORVO_LAUNCHER", L"ORVO_PAIR_LAUNCHER"}) {
        std::wstring path = test::TestEnv(variable);
        if (path.empty()) throw HarnessError(std::wstring(variable) + L" is not set by the test run");
        if (PeImageView(path).machine() != machine) continue;
        std::optional<std::string> image = test::ReadFileBytes(path);
        if (!image) throw HarnessError(L"cannot read " + path);
        return *image;
    }
    std::string image = PeImageBytes(kMachineI386);
    std::size_t ntOffset = static_cast<unsigned char>(image[0x3C]) | (static_cast<unsigned char>(image[0x3D]) << 8);
    image[ntOffset + 4] = static_cast<char>(machine & 0xFF);
    image[ntOffset + 5] = static_cast<char>(machine >> 8);
    return image;
}

constexpr WORD kMachineArm64 = 0xAA64;
constexpr WORD kOwnMachine = kLauncherIs64Bit ? kMachineAmd64 : kMachineI386;
constexpr WORD kPairMachine = kLauncherIs64Bit ? kMachineI386 : kMachineAmd64;

class JvmLocatorTest : public testing::Test {
protected:
    JvmLocatorTest() {
        test::RequireNoJavaRegistrations();
        test::CreateFolderTree(appFolder);
        UsePrefs(L"", L"", L"");
    }

    // Sources 1 to 4 alone; the dialog must not be reached.
    std::optional<JvmChoice> Search() {
        JvmChoice choice;
        bool found = CJvmLocator(settings, Hooks()).SearchSources(choice);
        EXPECT_EQ(dialogCalls, 0);
        if (!found) return std::nullopt;
        return choice;
    }
    std::wstring Found() {
        std::optional<JvmChoice> choice = Search();
        return choice ? choice->jvmPath : L"(nothing)";
    }
    bool NeedsPair() {
        std::optional<JvmChoice> choice = Search();
        EXPECT_TRUE(choice);
        return choice && choice->runtimeNeedsPair;
    }

    JvmSearchHooks Hooks() {
        return {[this] { return std::optional<std::wstring>(launcherPath); },
                [this](const LauncherSettings&, JreDialogChoice& picked) {
                    ++dialogCalls;
                    return dialog && dialog(picked);
                }};
    }

    // root\name\ with the marker (unless told otherwise) and empty libraries.
    std::wstring Runtime(const std::wstring& name, std::initializer_list<const wchar_t*> flavours = {L"client"},
                         bool marker = true) const {
        std::wstring home = root.path() + L"\\" + name + L"\\";
        if (marker) Touch(home + L"bin\\java.dll");
        for (const wchar_t* flavour : flavours) Touch(Library(home, flavour));
        return home;
    }
    // root\name\ with the marker and a client library of the given machine type.
    std::wstring PeRuntime(const std::wstring& name, WORD machine) const {
        std::wstring home = Runtime(name, {});
        test::CreateFolderTree(home + L"bin\\client");
        test::WriteFileBytes(Library(home), PeImageBytes(machine));
        return home;
    }

    void Register(REGSAM view, const wchar_t* vendorKey, const std::wstring& version, DWORD type, const void* data,
                  std::size_t size) {
        std::wstring path = std::wstring(vendorKey) + L"\\" + version;
        if (data == nullptr) {
            registry.Create(HKEY_LOCAL_MACHINE, path, view);
            return;
        }
        registry.SetValue(HKEY_LOCAL_MACHINE, path, view, L"JavaHome", type, data, size);
    }
    void Register(REGSAM view, const wchar_t* vendorKey, const std::wstring& version, const std::wstring& home) {
        test::RegisterJavaRuntime(registry, view, vendorKey, version, home);
    }

    // A runtime installed by one of today's installers: its folder with a release file
    // naming `javaVersion` (none for nullptr), registered under `subkey` in HKLM's own view.
    std::wstring Installed(const test::InstallerKey& key, const std::wstring& subkey, const char* javaVersion,
                           HKEY root = HKEY_LOCAL_MACHINE) {
        std::wstring home =
            Runtime(test::FileNameSafe(std::wstring(key.vendorKey) + key.homeSubkey + L"-" + subkey), {L"server"});
        if (javaVersion) test::WriteFileBytes(home + L"release", std::string("JAVA_VERSION=\"") + javaVersion + "\"\n");
        else DeleteFileW((home + L"release").c_str());  // one an earlier case of the test wrote
        test::RegisterInstalledRuntime(registry, root, kOwnView, key, subkey, home);
        return home;
    }

    void UsePrefs(const wchar_t* type, const wchar_t* source, const wchar_t* provider) {
        settings.searchPrefs = JvmSearchPrefs{};
        settings.searchPrefs.jvmType = ParseJvmType(type);
        ApplyJvmSource(source, settings.searchPrefs);
        ApplyVmProvider(provider, settings.searchPrefs);
    }
    // A paired launcher file in the application folder; its path.
    std::wstring Pair(const wchar_t* name) {
        Touch(appFolder + L"\\" + name);
        return appFolder + L"\\" + name;
    }
    void UseRange(const wchar_t* minimum, const wchar_t* maximum) {
        settings.versionRange = VersionRange::FromSettingTexts(minimum, maximum);
    }

    test::TempFolder root;
    test::TempFolder appData;
    test::OwnedRegistryKeys registry;  // the vendor keys the test registers, and only those
    EnvironmentOverride javaHome{L"JAVA_HOME", std::nullopt};
    EnvironmentOverride appDataOverride{L"APPDATA", appData.path()};
    std::wstring appFolder = root.path() + L"\\app";
    std::wstring launcherPath = appFolder + L"\\run.exe";
    LauncherSettings settings;
    std::function<bool(JreDialogChoice&)> dialog;
    int dialogCalls = 0;
};

// --- The order of the sources -------------------------------------------------------

TEST_F(JvmLocatorTest, EachSourceIsUsedOnlyWhenTheOnesBeforeItFail) {
    std::wstring configured = Runtime(L"configured");
    std::wstring bundled = Runtime(L"app");
    std::wstring registered = Runtime(L"registered");
    std::wstring environment = Runtime(L"environment");
    settings.jrePath = NoSlash(configured);
    Register(kOwnView, kJre, L"1.8.0_292", registered);
    javaHome.Set(environment);

    EXPECT_EQ(Found(), Library(configured));
    settings.jrePath.clear();
    EXPECT_EQ(Found(), Library(bundled));
    DeleteFileW((bundled + L"bin\\java.dll").c_str());
    EXPECT_EQ(Found(), Library(registered));
    registry.RemoveAll();
    EXPECT_EQ(Found(), Library(environment));
    javaHome.Set(std::nullopt);
    EXPECT_EQ(Search(), std::nullopt);
}

TEST_F(JvmLocatorTest, ConfiguredFolderWithoutAFittingLibraryFallsThrough) {
    UsePrefs(L"server", L"", L"");
    settings.jrePath = NoSlash(Runtime(L"clientonly", {L"client"}));
    std::wstring environment = Runtime(L"environment", {L"server"});
    javaHome.Set(environment);
    EXPECT_EQ(Found(), Library(environment, L"server"));
    settings.jrePath = root.path() + L"\\missing";
    EXPECT_EQ(Found(), Library(environment, L"server"));
}

TEST_F(JvmLocatorTest, ConfiguredFolderNeedsNoMarkerAndNoVersionMatch) {
    std::wstring configured = Runtime(L"configured", {L"hotspot"}, false);
    UseRange(L"99", L"99");
    settings.jrePath = NoSlash(configured);
    EXPECT_EQ(Found(), Library(configured, L"hotspot"));
    settings.jrePath = configured;  // a trailing "\" is not doubled
    EXPECT_EQ(Found(), Library(configured, L"hotspot"));
}

TEST_F(JvmLocatorTest, JrePathFromTheConfigurationRelativeOrAbsolute) {
    std::wstring absolute = Runtime(L"absolute");
    Runtime(L"app\\jre8", {L"client"}, false);
    Runtime(L"shared\\jre", {L"client"}, false);
    auto foundWith = [&](const std::wstring& jrePath) {
        std::wstring ini = appFolder + L"\\run.ini";
        std::wstring text = L"[Java Runtime Environment]\r\nMain Class=app.Main\r\nJRE Path=" + jrePath + L"\r\n";
        test::WriteFileBytes(ini, std::string(text.begin(), text.end()));
        settings = LauncherSettings{};
        EXPECT_TRUE(ReadSettingsFrom(ini, launcherPath, settings));
        return Found();
    };
    EXPECT_EQ(foundWith(L"jre8"), appFolder + L"\\jre8\\bin\\client\\jvm.dll");
    EXPECT_EQ(foundWith(L"..\\shared\\jre"), appFolder + L"\\..\\shared\\jre\\bin\\client\\jvm.dll");
    EXPECT_EQ(foundWith(NoSlash(absolute)), Library(absolute));
}

TEST_F(JvmLocatorTest, LauncherFolderIsARuntimeOrHoldsOneInJre) {
    std::wstring bundled = Runtime(L"app\\jre");
    Touch(Library(appFolder + L"\\"));  // a library without the marker does not count
    EXPECT_EQ(Found(), Library(bundled));
    Touch(appFolder + L"\\bin\\java.dll");
    EXPECT_EQ(Found(), Library(appFolder + L"\\"));
    DeleteFileW(Library(appFolder + L"\\").c_str());
    EXPECT_EQ(Search(), std::nullopt) << "a marked folder without a library does not lead on to jre\\";
}

TEST_F(JvmLocatorTest, JavaHomeIsUsedOnlyWhenDefinedNotEmptyAndMarked) {
    std::wstring environment = Runtime(L"environment");
    UseRange(L"99", L"99");  // the version range does not apply to JAVA_HOME
    EXPECT_EQ(Search(), std::nullopt);
    javaHome.Set(L"");
    EXPECT_EQ(Search(), std::nullopt);
    javaHome.Set(NoSlash(environment));
    EXPECT_EQ(Found(), Library(environment));
    javaHome.Set(environment);
    EXPECT_EQ(Found(), Library(environment));
    DeleteFileW((environment + L"bin\\java.dll").c_str());
    EXPECT_EQ(Search(), std::nullopt);
}

// --- The registry -----------------------------------------------------------------

TEST_F(JvmLocatorTest, VersionBoundsAreInclusiveAndOpenedByAny) {
    for (const wchar_t* version : {L"1.6.0_45", L"1.7.0_80", L"1.8.0_292", L"1.8.65535.65535", L"1.8.65536",
                                   L"9.0.4", L"11.0.2"}) {
        Register(kOwnView, kJre, version, Runtime(version));
    }
    struct Case {
        const wchar_t* minimum;
        const wchar_t* maximum;
        const wchar_t* chosen;
    };
    for (const Case& c : {Case{L"", L"", L"11.0.2"}, Case{L"any", L"any", L"11.0.2"},
                          Case{L"Any", L"ANY", L"11.0.2"}, Case{L"1.7", L"1.8", L"1.8.65535.65535"},
                          Case{L"1.7.0_80", L"1.7.0_80", L"1.7.0_80"}, Case{L"1.6", L"1.7", L"1.7.0_80"},
                          Case{L"any", L"1.8.0_292", L"1.8.0_292"}, Case{L"1.8.65536", L"1.8.65536", L"1.8.65536"},
                          Case{L"9", L"10", L"9.0.4"}, Case{L"1.9", L"1.9", nullptr},
                          Case{L"12", L"any", nullptr}}) {
        UseRange(c.minimum, c.maximum);
        std::wstring expected = c.chosen ? Library(root.path() + L"\\" + c.chosen + L"\\") : L"(nothing)";
        EXPECT_EQ(Found(), expected) << c.minimum << L" to " << c.maximum;
    }
}

TEST_F(JvmLocatorTest, EverySubkeyIsACandidateOfItsOwnVersion) {
    Register(kOwnView, kOldJre, L"1.8", Runtime(L"short"));
    Register(kOwnView, kOldJre, L"1.8.0_292", Runtime(L"full"));
    Register(kOwnView, kOldJre, L"..", Runtime(L"dots"));
    EXPECT_EQ(Found(), Library(root.path() + L"\\full\\"));
    UseRange(L"", L"0");  // only 0.x: the name without digits counts as 0.0.0.0
    EXPECT_EQ(Found(), Library(root.path() + L"\\dots\\"));
}

TEST_F(JvmLocatorTest, JvmSourceDecidesWhichKindsAreSearchedAndFavoured) {
    std::wstring jdk = Runtime(L"jdk18");
    std::wstring jre = Runtime(L"jre11");
    Register(kOwnView, kJdk, L"1.8", jdk);
    Register(kOwnView, kOldJre, L"11", jre);
    struct Case {
        const wchar_t* source;
        std::wstring chosen;
    };
    for (const Case& c : {Case{L"", Library(jre)}, Case{L"favor_JDK", Library(jdk)}, Case{L"favor_JRE", Library(jre)},
                          Case{L"only_JDK", Library(jdk)}, Case{L"only_JRE", Library(jre)},
                          Case{L"JRE", L"(nothing)"}, Case{L"favor_jdk", L"(nothing)"}}) {
        UsePrefs(L"", c.source, L"");
        EXPECT_EQ(Found(), c.chosen) << c.source;
    }
}

TEST_F(JvmLocatorTest, VmProviderDecidesWhichVendorsAreSearchedAndFavoured) {
    std::wstring sun = Runtime(L"sun17");
    std::wstring jrockit = Runtime(L"jrockit16", {L"jrockit"});
    std::wstring ibm = Runtime(L"ibm18");
    Register(kOwnView, kJre, L"1.7", sun);
    Register(kOwnView, kJrockitJre, L"1.6", jrockit);
    Register(kOwnView, kIbmJre, L"1.8", ibm);
    struct Case {
        const wchar_t* provider;
        std::wstring chosen;
    };
    for (const Case& c : {Case{L"", Library(sun)}, Case{L"SUN", Library(sun)}, Case{L"favor_sun", Library(sun)},
                          Case{L"jrockit", Library(jrockit, L"jrockit")}, Case{L"JRockit", Library(jrockit, L"jrockit")},
                          Case{L"favor_jrockit", Library(jrockit, L"jrockit")}, Case{L"ibm", Library(ibm)},
                          Case{L"Favor_IBM", Library(ibm)}, Case{L"any", Library(ibm)}}) {
        UsePrefs(L"", L"", c.provider);
        EXPECT_EQ(Found(), c.chosen) << c.provider;
    }
}

TEST_F(JvmLocatorTest, OnlyOneKindMeansNoVendorIsOrderedFirst) {
    std::wstring sun = Runtime(L"sun11");
    std::wstring ibm = Runtime(L"ibm18");
    Register(kOwnView, kJre, L"11", sun);
    Register(kOwnView, kIbmJre, L"1.8", ibm);
    Register(kOwnView, kJdk, L"17", Runtime(L"jdk17"));
    UsePrefs(L"", L"only_JRE", L"favor_ibm");
    EXPECT_EQ(Found(), Library(sun));
    UsePrefs(L"", L"favor_JRE", L"favor_ibm");
    EXPECT_EQ(Found(), Library(ibm));
}

TEST_F(JvmLocatorTest, OldJdkKeysKeepTheirRuntimeInTheJreSubfolder) {
    std::wstring jdk8 = root.path() + L"\\jdk8\\";
    Runtime(L"jdk8\\jre");
    Register(kOwnView, kOldJdk, L"1.8.0_292", jdk8);
    EXPECT_EQ(Found(), Library(jdk8 + L"jre\\"));

    registry.RemoveAll();
    Register(kOwnView, kOldJdk, L"1.8.0_292", Runtime(L"flatjdk"));
    EXPECT_EQ(Search(), std::nullopt) << "the old JDK key never uses JavaHome itself";

    registry.RemoveAll();
    std::wstring jrockitJdk = root.path() + L"\\jrockitjdk\\";
    Runtime(L"jrockitjdk\\jre", {L"jrockit"});
    Register(kOwnView, kJrockitJdk, L"1.6", jrockitJdk);
    UsePrefs(L"", L"", L"jrockit");
    EXPECT_EQ(Found(), Library(jrockitJdk + L"jre\\", L"jrockit"));

    registry.RemoveAll();
    std::wstring jdk11 = Runtime(L"jdk11", {L"server"});
    Register(kOwnView, kJdk, L"11.0.2", jdk11);
    UsePrefs(L"", L"", L"");
    EXPECT_EQ(Found(), Library(jdk11, L"server"));
}

TEST_F(JvmLocatorTest, FavorServerPutsServerRuntimesBeforeNewerOnes) {
    std::wstring client = Runtime(L"client11", {L"client"});
    std::wstring server = Runtime(L"server18", {L"server"});
    Register(kOwnView, kJre, L"11", client);
    Register(kOwnView, kJre, L"1.8", server);
    UsePrefs(L"favor_server", L"", L"");
    EXPECT_EQ(Found(), Library(server, L"server"));
    UsePrefs(L"", L"", L"");
    EXPECT_EQ(Found(), Library(client));
    UsePrefs(L"server", L"", L"");
    EXPECT_EQ(Found(), Library(server, L"server"));
}

TEST_F(JvmLocatorTest, OldJreKeyCountsAsClientForFavorServerButLoadsTheServerLibrary) {
    std::wstring both = Runtime(L"both18", {L"client", L"server"});
    Register(kOwnView, kOldJre, L"1.8", both);
    UsePrefs(L"favor_server", L"", L"");
    EXPECT_EQ(Found(), Library(both, L"server"));

    std::wstring older = Runtime(L"server17", {L"server"});
    Register(kOwnView, kJre, L"1.7", older);
    EXPECT_EQ(Found(), Library(older, L"server")) << "the old-key runtime sorts as a client one";
    UsePrefs(L"server", L"", L"");
    EXPECT_EQ(Found(), Library(both, L"server")) << "with server only, both are server runtimes";
}

TEST_F(JvmLocatorTest, PreferredVersionsChooseAmongTheSortedCandidates) {
    for (const wchar_t* version : {L"1.8.0_292", L"1.7.0_80", L"11.0.2"}) Register(kOwnView, kJre, version, Runtime(version));
    auto chosenWith = [&](const wchar_t* preferred) {
        settings.preferredVersions = SplitPreferredVersions(preferred);
        return Found();
    };
    auto library = [&](const wchar_t* version) { return Library(root.path() + L"\\" + version + L"\\"); };
    EXPECT_EQ(chosenWith(L""), library(L"11.0.2"));
    EXPECT_EQ(chosenWith(L"1.7;1.8"), library(L"1.7.0_80"));
    EXPECT_EQ(chosenWith(L"1.8"), library(L"1.8.0_292"));
    EXPECT_EQ(chosenWith(L"9;1.8.0_292;1.7"), library(L"1.8.0_292"));
    EXPECT_EQ(chosenWith(L";1.7"), library(L"11.0.2"));
    EXPECT_EQ(chosenWith(L"9;10;"), library(L"11.0.2"));

    Register(kOwnView, kJdk, L"17", Runtime(L"jdk17"));
    UsePrefs(L"", L"favor_JRE", L"");
    EXPECT_EQ(chosenWith(L"17"), Library(root.path() + L"\\jdk17\\")) << "a preferred version beats a favoured kind";
}

TEST_F(JvmLocatorTest, EqualCandidatesKeepTheVendorKeyOrder) {
    std::wstring ibm = Runtime(L"ibm");
    std::wstring oldJre = Runtime(L"oldjre");
    std::wstring jre = Runtime(L"jre");
    std::wstring jdk = Runtime(L"jdk");
    UsePrefs(L"", L"", L"any");  // no vendor favoured: all four alike
    Register(kOwnView, kIbmJre, L"11", ibm);
    EXPECT_EQ(Found(), Library(ibm));
    Register(kOwnView, kOldJre, L"11", oldJre);
    EXPECT_EQ(Found(), Library(oldJre));
    Register(kOwnView, kJre, L"11", jre);
    EXPECT_EQ(Found(), Library(jre));
    Register(kOwnView, kJdk, L"11", jdk);
    EXPECT_EQ(Found(), Library(jdk));
}

TEST_F(JvmLocatorTest, UnusableRegistrationsAreSkippedSilently) {
    const DWORD number = 0x41;  // the text "A": a relative folder that is not there
    Register(kOwnView, kJre, L"11", REG_SZ, nullptr, 0);  // no JavaHome at all
    Register(kOwnView, kJre, L"12", REG_SZ, L"", sizeof(wchar_t));
    Register(kOwnView, kJre, L"13", REG_SZ, L"", 0);
    Register(kOwnView, kJre, L"14", Runtime(L"nolibrary", {}));
    Register(kOwnView, kJre, L"15", root.path() + L"\\missing");
    Register(kOwnView, kJre, L"16", REG_DWORD, &number, sizeof number);
    // A value of megabytes is read whole and names no folder: never a crash.
    const std::wstring huge = root.path() + L"\\" + std::wstring(3u << 20, L'h');
    Register(kOwnView, kJre, L"17", REG_SZ, huge.c_str(), (huge.size() + 1) * sizeof(wchar_t));
    std::wstring usable = Runtime(L"usable");
    Register(kOwnView, kJre, L"1.8", usable);
    EXPECT_EQ(Found(), Library(usable));
}

TEST_F(JvmLocatorTest, JavaHomeOfAnyTypeIsTakenAsWritten) {
    std::wstring binary = Runtime(L"binary");
    std::wstring text = NoSlash(binary);
    Register(kOwnView, kJre, L"1.8", REG_BINARY, text.data(), text.size() * sizeof(wchar_t));
    EXPECT_EQ(Found(), Library(binary));

    registry.RemoveAll();
    std::string odd(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    odd += 'x';  // half a character: not part of the text
    Register(kOwnView, kJre, L"1.8", REG_SZ, odd.data(), odd.size());
    EXPECT_EQ(Found(), Library(binary));

    registry.RemoveAll();
    std::wstring literal = Runtime(L"%ORVO_TEST_RUNTIME%");
    EnvironmentOverride variable(L"ORVO_TEST_RUNTIME", NoSlash(Runtime(L"expanded")));
    std::wstring unexpanded = root.path() + L"\\%ORVO_TEST_RUNTIME%";
    Register(kOwnView, kJre, L"1.8", REG_EXPAND_SZ, unexpanded.c_str(), (unexpanded.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(Found(), Library(literal));
}

// --- Today's installers ----------------------------------------------------------

TEST_F(JvmLocatorTest, EachInstallerShapeIsFoundWithItsVmProvider) {
    struct Case {
        const test::InstallerKey& key;
        const wchar_t* subkey;
        const wchar_t* provider;  // the VM Provider that lets it be searched
    };
    const Case cases[] = {
        {test::kTemurinJdk, L"17.0.9.9", L""},          {test::kTemurinJre, L"17.0.9.9", L""},
        {test::kAdoptiumOpenJ9Jdk, L"17.0.9.9", L"ibm"}, {test::kAdoptOpenJdkJdk, L"11.0.11.9", L""},
        {test::kAdoptOpenJdkJre, L"11.0.11.9", L""},     {test::kAdoptOpenJdkOpenJ9Jre, L"11.0.11.9", L"ibm"},
        {test::kEclipseFoundationJdk, L"11.0.12.7", L""}, {test::kMicrosoftJdk, L"21.0.1.12", L""},
        {test::kSemeruJdk, L"17.0.9.9", L"ibm"},         {test::kSemeruJre, L"17.0.9.9", L"ibm"},
        {test::kZulu, L"zulu-17", L""},                   {test::kLiberica, L"Liberica JDK 17 Full", L""},
    };
    for (const Case& c : cases) {
        registry.RemoveAll();
        std::wstring home = Installed(c.key, c.subkey, "17.0.9");
        UsePrefs(L"", L"", c.provider);
        EXPECT_EQ(Found(), Library(home, L"server")) << c.key.vendorKey << L" " << c.key.homeSubkey;
    }
}

TEST_F(JvmLocatorTest, OpenJ9BuildsAreIbmRuntimes) {
    std::wstring adoptium = Installed(test::kAdoptiumOpenJ9Jdk, L"17.0.9.9", "17.0.9");
    Installed(test::kSemeruJdk, L"17.0.9.9", "17.0.9");
    EXPECT_EQ(Search(), std::nullopt) << "IBM runtimes are not searched by default";
    std::wstring temurin = Installed(test::kTemurinJdk, L"21.0.1.12", "21.0.1");
    EXPECT_EQ(Found(), Library(temurin, L"server"));
    struct Case {
        const wchar_t* provider;
        const std::wstring& chosen;
    };
    for (const Case& c : {Case{L"ibm", adoptium}, Case{L"favor_ibm", adoptium}, Case{L"any", temurin},
                          Case{L"favor_sun", temurin}}) {
        UsePrefs(L"", L"", c.provider);
        EXPECT_EQ(Found(), Library(c.chosen, L"server")) << c.provider;
    }
}

TEST_F(JvmLocatorTest, InstalledVersionIsTheReleaseFilesWhereThereIsOne) {
    struct Case {
        const wchar_t* subkey;
        const char* release;  // JAVA_VERSION, or nullptr for no release file
        const wchar_t* minimum;
        const wchar_t* maximum;
        bool found;
    };
    for (const Case& c : {Case{L"8.0.392.8", "1.8.0_392", L"1.8", L"1.8", true},
                          Case{L"8.0.392.8", "1.8.0_392", L"8", L"", false},
                          Case{L"8.0.392.8", nullptr, L"8", L"8", true},
                          Case{L"8.0.392.8", nullptr, L"1.8", L"1.8", false},
                          Case{L"zulu-17", nullptr, L"17", L"17", true},
                          Case{L"zulu-17", "17.0.9", L"17.0.9", L"17.0.9", true},
                          Case{L"zulu-17", "17.0.9", L"17.0.10", L"", false},
                          Case{L"zulu-17", "", L"17", L"17", true}}) {
        registry.RemoveAll();
        std::wstring home = Installed(test::kZulu, c.subkey, c.release);
        UseRange(c.minimum, c.maximum);
        std::wstring expected = c.found ? Library(home, L"server") : L"(nothing)";
        EXPECT_EQ(Found(), expected) << c.subkey << L", release " << (c.release ? c.release : "none") << L", "
                                     << c.minimum << L" to " << c.maximum;
    }
}

TEST_F(JvmLocatorTest, NewVendorsSortTogetherWithTheOldKeys) {
    std::wstring oracle = Runtime(L"oracle11", {L"server"});
    Register(kOwnView, kJdk, L"11.0.2", oracle);
    std::wstring temurin = Installed(test::kTemurinJdk, L"17.0.9.9", "17.0.9");
    std::wstring microsoft = Installed(test::kMicrosoftJdk, L"21.0.1.12", "21.0.1");
    EXPECT_EQ(Found(), Library(microsoft, L"server")) << "a higher version from a new vendor wins";
    settings.preferredVersions = SplitPreferredVersions(L"17");
    EXPECT_EQ(Found(), Library(temurin, L"server"));
    settings.preferredVersions.clear();
    UseRange(L"", L"11");
    EXPECT_EQ(Found(), Library(oracle, L"server"));
}

TEST_F(JvmLocatorTest, JvmSourceCountsZuluLibericaAndMicrosoftAsJdks) {
    Installed(test::kZulu, L"zulu-21", "21.0.1");
    Installed(test::kLiberica, L"Liberica JDK 21", "21.0.1");
    std::wstring microsoft = Installed(test::kMicrosoftJdk, L"21.0.1.12", "21.0.1");
    std::wstring jre = Installed(test::kTemurinJre, L"17.0.9.9", "17.0.9");
    UsePrefs(L"", L"only_JRE", L"");
    EXPECT_EQ(Found(), Library(jre, L"server"));
    UsePrefs(L"", L"favor_JRE", L"");
    EXPECT_EQ(Found(), Library(jre, L"server")) << "the favoured JRE before the newer JDKs";
    UsePrefs(L"", L"only_JDK", L"");
    EXPECT_EQ(Found(), Library(microsoft, L"server")) << "of three alike, the one of the first key";
}

TEST_F(JvmLocatorTest, PerUserInstallationIsFoundByTheLauncherOfItsKind) {
    std::wstring own = PeRuntime(L"own", kOwnMachine);
    test::RegisterInstalledRuntime(registry, HKEY_CURRENT_USER, kOwnView, test::kTemurinJdk, L"17.0.9.9", own);
    EXPECT_EQ(Found(), Library(own));
    EXPECT_FALSE(NeedsPair());

    registry.RemoveAll();
    std::wstring foreign = PeRuntime(L"foreign", kPairMachine);
    test::RegisterInstalledRuntime(registry, HKEY_CURRENT_USER, kOwnView, test::kTemurinJdk, L"21.0.1.12", foreign);
    EXPECT_EQ(Search(), std::nullopt) << "without a pair a library of the other kind is no candidate";
    settings.pairProduct = Pair(L"pair.exe");
    std::optional<JvmChoice> paired = Search();
    if (kLauncherIs64Bit) {
        EXPECT_EQ(paired, std::nullopt) << "the 64-bit launcher hands no registered runtime over";
    } else {
        ASSERT_TRUE(paired);
        EXPECT_EQ(paired->jvmPath, Library(foreign));
        EXPECT_TRUE(paired->runtimeNeedsPair);
    }
    test::RegisterInstalledRuntime(registry, HKEY_CURRENT_USER, kOwnView, test::kZulu, L"zulu-11", own);
    EXPECT_EQ(Found(), Library(own)) << "the launcher's own kind comes before handing over";
}

// --- The 64-bit registry view and the paired launcher ---------------------------------

TEST_F(JvmLocatorTest, SixtyFourBitViewIsSearchedOnlyBy32BitLauncherWithAPair) {
    std::wstring wide = Runtime(L"wide");
    Register(kView64, kJre, L"11", wide);
    std::optional<JvmChoice> alone = Search();
    EXPECT_EQ(alone.has_value(), kLauncherIs64Bit) << "without a pair only the own view is searched";

    settings.pairProduct = Pair(L"pair.exe");
    std::optional<JvmChoice> paired = Search();
    ASSERT_TRUE(paired);
    EXPECT_EQ(paired->jvmPath, Library(wide));
    EXPECT_EQ(paired->runtimeNeedsPair, !kLauncherIs64Bit);
}

TEST_F(JvmLocatorTest, ThirtyTwoBitViewIsOnlyThe32BitLaunchersOwn) {
    std::wstring narrow = Runtime(L"narrow");
    Register(kView32, kJre, L"1.8", narrow);
    settings.pairProduct = Pair(L"pair.exe");
    if (kLauncherIs64Bit) {
        EXPECT_EQ(Search(), std::nullopt) << "the 64-bit launcher makes no second pass";
    } else {
        EXPECT_EQ(Found(), Library(narrow));
        EXPECT_FALSE(NeedsPair());
    }
}

TEST_F(JvmLocatorTest, OwnViewWinsOverTheOtherOne) {
    std::wstring narrow = Runtime(L"narrow");
    std::wstring wide = Runtime(L"wide");
    Register(kView32, kJre, L"1.8", narrow);
    Register(kView64, kJre, L"17", wide);
    settings.pairProduct = Pair(L"pair.exe");
    EXPECT_EQ(Found(), Library(kLauncherIs64Bit ? wide : narrow));
    EXPECT_FALSE(NeedsPair());
}

TEST_F(JvmLocatorTest, PairNamingThisLauncherIsNoPair) {
    Touch(launcherPath);
    settings.pairProduct = root.path() + L"\\APP\\..\\app\\RUN.EXE";
    Register(kView64, kJre, L"11", Runtime(L"wide"));
    EXPECT_EQ(Search().has_value(), kLauncherIs64Bit) << "a launcher never hands a launch to itself";

    registry.RemoveAll();
    settings.jrePath = NoSlash(PeRuntime(L"foreign", kPairMachine));
    EXPECT_FALSE(NeedsPair());
    settings.pairProduct = Pair(L"run64.exe");
    EXPECT_TRUE(NeedsPair());
}

TEST_F(JvmLocatorTest, PairThatIsNotThereIsNoPair) {
    Register(kView64, kJre, L"11", Runtime(L"wide"));
    settings.jrePath = NoSlash(PeRuntime(L"foreign", kPairMachine));
    for (const std::wstring& missing : {appFolder + L"\\absent.exe", root.path()}) {
        settings.pairProduct = missing;
        EXPECT_FALSE(NeedsPair()) << missing;
    }
    settings.jrePath.clear();
    EXPECT_EQ(Search().has_value(), kLauncherIs64Bit) << "no second registry pass for a pair that is not there";
}

TEST_F(JvmLocatorTest, MachineCheckOfConfiguredFolderAndJavaHome) {
    std::wstring own = PeRuntime(L"own", kOwnMachine);
    std::wstring foreign = PeRuntime(L"foreign", kPairMachine);
    std::wstring notAnImage = Runtime(L"notanimage");
    settings.pairProduct = Pair(L"pair.exe");

    settings.jrePath = NoSlash(own);
    EXPECT_FALSE(NeedsPair());
    settings.jrePath = NoSlash(foreign);
    EXPECT_TRUE(NeedsPair());
    settings.jrePath = NoSlash(notAnImage);
    EXPECT_FALSE(NeedsPair()) << "a library that does not map stays here";

    settings.jrePath.clear();
    javaHome.Set(foreign);
    EXPECT_TRUE(NeedsPair());
    javaHome.Set(own);
    EXPECT_FALSE(NeedsPair());

    settings.pairProduct.clear();
    javaHome.Set(foreign);
    EXPECT_FALSE(NeedsPair()) << "without a pair nothing is handed over";
}

TEST_F(JvmLocatorTest, LauncherFolderRuntimeGetsTheMachineCheckToo) {
    PeRuntime(L"app", kPairMachine);
    EXPECT_FALSE(NeedsPair());
    settings.pairProduct = Pair(L"pair.exe");
    EXPECT_TRUE(NeedsPair());
}

TEST_F(JvmLocatorTest, RegistryRuntimeOfTheOwnViewGetsNoMachineCheck) {
    Register(kOwnView, kJre, L"11", PeRuntime(L"foreign", kPairMachine));
    settings.pairProduct = Pair(L"pair.exe");
    EXPECT_FALSE(NeedsPair());
}

TEST_F(JvmLocatorTest, LibraryOfAThirdMachineIsHandedOverOnlyBy32BitLauncher) {
    settings.jrePath = NoSlash(PeRuntime(L"arm", kMachineArm64));
    settings.pairProduct = Pair(L"pair.exe");
    EXPECT_EQ(NeedsPair(), !kLauncherIs64Bit) << "the 64-bit launcher must not send it back";
}

TEST(MachineNeedsPair, EachLauncherHandsOverWhatItsPairCanHost) {
    EXPECT_FALSE(MachineNeedsPair(kMachineI386, false));
    EXPECT_TRUE(MachineNeedsPair(kMachineAmd64, false));
    EXPECT_TRUE(MachineNeedsPair(kMachineArm64, false));
    EXPECT_TRUE(MachineNeedsPair(kMachineI386, true));
    EXPECT_FALSE(MachineNeedsPair(kMachineAmd64, true));
    EXPECT_FALSE(MachineNeedsPair(kMachineArm64, true));
}

// --- The dialog -------------------------------------------------------------------

TEST_F(JvmLocatorTest, DialogIsShownOnlyWhenEverySourceFails) {
    JvmChoice choice{L"untouched", true};
    EXPECT_FALSE(CJvmLocator(settings, Hooks()).FindJvm(choice));
    EXPECT_EQ(dialogCalls, 1);
    EXPECT_EQ(choice.jvmPath, L"untouched");

    std::wstring environment = Runtime(L"environment");
    javaHome.Set(environment);
    EXPECT_TRUE(CJvmLocator(settings, Hooks()).FindJvm(choice));
    EXPECT_EQ(dialogCalls, 1);
    EXPECT_EQ(choice.jvmPath, Library(environment));
    EXPECT_FALSE(choice.runtimeNeedsPair);
}

TEST_F(JvmLocatorTest, ConfirmedDialogChoiceIsCheckedAndRemembered) {
    std::wstring picked = PeRuntime(L"picked", kPairMachine);
    dialog = [&](JreDialogChoice& choice) {
        choice.folder = picked;
        choice.jvmPath = Library(picked);
        return true;
    };
    settings.serviceMode = true;  // the choice goes into the main files beside the launchers
    settings.pairProduct = Pair(L"run64.exe");
    JvmChoice choice;
    ASSERT_TRUE(CJvmLocator(settings, Hooks()).FindJvm(choice));
    EXPECT_EQ(dialogCalls, 1);
    EXPECT_EQ(choice.jvmPath, Library(picked));
    EXPECT_TRUE(choice.runtimeNeedsPair);
    for (const wchar_t* ini : {L"\\run.ini", L"\\run64.ini"}) {
        EXPECT_EQ(CConfigFile(appFolder + ini).ReadString(L"Java Runtime Environment", L"JRE Path"), picked) << ini;
    }

    settings.serviceMode = false;  // now the per-user copies of both launchers get it
    settings.productName = L"Orvo Test";
    settings.productCode = L"{C0DE}";
    ASSERT_TRUE(CJvmLocator(settings, Hooks()).FindJvm(choice));
    for (const wchar_t* ini : {L"\\Orvo Test\\{C0DE}\\run.ini", L"\\Orvo Test\\{C0DE}\\run64.ini"}) {
        EXPECT_EQ(CConfigFile(appData.path() + ini).ReadString(L"Java Runtime Environment", L"JRE Path"), picked)
            << ini;
    }
}

}  // namespace
}  // namespace orvo
