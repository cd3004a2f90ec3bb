// Runtimes registered the way today's installers register them, pointing at the real
// runtimes of Java 11, 17, 21 and 25: the launcher finds each without JRE Path or
// JAVA_HOME, loads its library and runs the probe on it. The 32-bit launcher finds
// them (64-bit runtimes) in the 64-bit view or, per user, by their library, and hands
// them to its pair; the 64-bit launcher runs them itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/app_folder.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"
#include "support/installer_keys.h"
#include "support/registry_keys.h"
#include "support/wide_text.h"

namespace orvo::test {
namespace {

// The key of the classic JDK registration, for a runtime registered by an old installer.
constexpr wchar_t kJavaSoftJdkKey[] = L"Software\\JavaSoft\\JDK";

struct Installation {
    const InstallerKey& key;
    const wchar_t* subkey;
    HKEY root;
    int javaVersion;
};

void Register(OwnedRegistryKeys& keys, const Installation& installation) {
    RegisterInstalledRuntime(keys, installation.root, KEY_WOW64_64KEY, installation.key, installation.subkey,
                             RealRuntimeHome(installation.javaVersion));
}

// The probe names the version it runs on and the library the launcher loaded, and
// ends the process itself: with VM Provider=ibm the launcher keeps main's thread.
const std::vector<std::wstring> kProbeCommands = {L"print-prop", L"java.version", L"print-env", L"ORVO_JVM_PATH",
                                                  L"exit", L"0"};

// Runs the probe without JRE Path and expects it on the runtime of that version.
void ExpectRunOn(int javaVersion, const std::wstring& runtimeLines = L"") {
    AppFolder folder;
    ProbeAppSettings settings;
    settings.jrePath = L"";
    settings.runtimeLines = runtimeLines;
    ProbeApp app(folder, settings);
    LauncherRun run = app.Run(kProbeCommands);
    ProbeResults results = app.Results();
    EXPECT_EQ(run.exitCode, 0) << Utf8(results.Text());
    ExpectHostedByApp64(run, results);
    std::wstring version = results.Value(L"prop.java.version").value_or(L"(none)");
    EXPECT_TRUE(version.starts_with(std::to_wstring(javaVersion) + L".")) << "ran on Java " << Utf8(version);
    EXPECT_EQ(results.Value(L"env.ORVO_JVM_PATH"), RealRuntimeLibrary(javaVersion));
}

TEST(RealRuntimeInstallerKeys, EachInstallersRegistrationIsFoundAndRun) {
    struct Case {
        Installation installation;
        const wchar_t* runtimeLines;
    };
    const Case cases[] = {
        {{kTemurinJdk, L"17.0.9.9", HKEY_LOCAL_MACHINE, 17}, L""},
        {{kTemurinJre, L"21.0.8.9", HKEY_CURRENT_USER, 21}, L""},
        {{kAdoptOpenJdkJdk, L"11.0.13.8", HKEY_LOCAL_MACHINE, 11}, L""},
        {{kMicrosoftJdk, L"21.0.8.9", HKEY_LOCAL_MACHINE, 21}, L""},
        {{kSemeruJdk, L"17.0.9.9", HKEY_LOCAL_MACHINE, 17}, L"VM Provider=ibm\n"},
        {{kZulu, L"zulu-25", HKEY_LOCAL_MACHINE, 25}, L""},
        {{kLiberica, L"Liberica JDK 25", HKEY_CURRENT_USER, 25}, L""},
    };
    RequireNoJavaRegistrations();
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(InstalledKeyPath(c.installation.key, c.installation.subkey)));
        OwnedRegistryKeys keys;
        Register(keys, c.installation);
        ExpectRunOn(c.installation.javaVersion, c.runtimeLines);
    }
}

// One runtime of each generation registered at once: the newest wins whoever
// installed it, unless the version settings say otherwise.
TEST(RealRuntimeInstallerKeys, NewestRegisteredRuntimeWinsAcrossVendors) {
    RequireNoJavaRegistrations();
    OwnedRegistryKeys keys;
    RegisterJavaRuntime(keys, KEY_WOW64_64KEY, kJavaSoftJdkKey, L"11.0.13", RealRuntimeHome(11));
    Register(keys, {kTemurinJdk, L"17.0.9.9", HKEY_LOCAL_MACHINE, 17});
    Register(keys, {kMicrosoftJdk, L"21.0.8.9", HKEY_CURRENT_USER, 21});
    Register(keys, {kZulu, L"zulu-25", HKEY_LOCAL_MACHINE, 25});
    struct Case {
        const wchar_t* runtimeLines;
        int javaVersion;
    };
    for (const Case& c : {Case{L"", 25}, Case{L"Maximum Version=21\n", 21}}) {
        SCOPED_TRACE(Utf8(c.runtimeLines));
        ExpectRunOn(c.javaVersion, c.runtimeLines);
    }
}

}  // namespace
}  // namespace orvo::test
