#pragma once
// The real Windows Java runtime and the probe program (orvo.test.Probe) of the
// end-to-end tests: an application folder laid out the way a user ships one, and
// the results the probe leaves behind.
//
// The folder holds App.exe (the 32-bit launcher) and App64.exe (the 64-bit one),
// each with its INI; both INIs name App64.exe as the pair and point "JRE Path" at
// the runtime, which stays where the build unpacked it (it is far too big to copy
// for every test; BundledRuntimeFolder gives a folder with the runtime as "jre"
// beside the launchers instead). The test starts the copy of the launcher under
// test: App.exe in the i686 run, which hands the 64-bit runtime over to App64.exe,
// and App64.exe in the x86_64 run, which hosts it itself.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/app_folder.h"
#include "support/launcher_run.h"

namespace orvo::test {

// A real-runtime launch under wine takes one to three seconds, a hand-over included.
inline constexpr DWORD kRealRuntimeTimeoutMs = 60000;

// ORVO_JAVA_RUNTIME: the runtime's home folder (Windows path, no trailing "\").
std::wstring RealRuntimeHome();
// The Java versions the tests have a real runtime of, oldest first.
inline constexpr int kRealRuntimeVersions[] = {11, 17, 21, 25};
// The home of the runtime of that Java version: ORVO_JAVA_RUNTIME for 11,
// ORVO_JAVA_RUNTIME_<version> for the others.
std::wstring RealRuntimeHome(int javaVersion);
// Its JVM library as the launcher picks it without a JVM Type: the client one where
// there is one (11), else the server one.
std::wstring RealRuntimeLibrary(int javaVersion);
// ORVO_PROBE_JAR: the jar that holds orvo.test.Probe.
std::wstring ProbeJar();
// The library the launcher picks in the runtime when no JVM Type is set: the client one.
std::wstring RealRuntimeClientLibrary();
// True in the run that tests the 64-bit launcher.
bool TestingLauncher64();
// The 32-bit and the 64-bit launcher of this build, whichever run this is.
std::wstring Launcher32();
std::wstring Launcher64();
// Their console kind, built beside them: orvoc.exe and orvoc64.exe.
std::wstring ConsoleLauncher32();
std::wstring ConsoleLauncher64();

// What the probe observed: its "key=value" lines, unescaped, in file order.
class ProbeResults {
public:
    // The results file's lines; a missing file gives no lines (exists() false).
    static ProbeResults Read(const std::wstring& path);

    bool exists() const noexcept { return exists_; }
    // The value of the first line with that key; nullopt when there is none.
    std::optional<std::wstring> Value(std::wstring_view key) const;
    bool Has(std::wstring_view key) const { return Value(key).has_value(); }
    // True when some line has exactly that key and value.
    bool HasLine(std::wstring_view key, std::wstring_view value) const;
    // Every line, for failure messages.
    std::wstring Text() const;

private:
    bool exists_ = false;
    std::vector<std::pair<std::wstring, std::wstring>> lines_;
};

struct ProbeAppSettings {
    std::wstring mainClass = L"orvo.test.Probe";
    // "Class Path"; nullopt: the probe jar's absolute path; empty: no key at all.
    std::optional<std::wstring> classPath;
    // "JRE Path"; nullopt: the real runtime's home; empty: no key at all.
    std::optional<std::wstring> jrePath;
    // "Pair Product"; nullopt: App64.exe of the folder (absolute path); empty: no key.
    std::optional<std::wstring> pairProduct;
    bool pairReturnCode = true;
    bool embeddedJar = false;  // the probe jar is appended to both launcher copies
    // Further lines for the two sections, e.g. L"Output File=out.txt\n".
    std::wstring applicationLines;
    std::wstring runtimeLines;
    // Lines of a [Display] section, which is left out when this is empty.
    std::wstring displayLines;
    // Both copies are of the console launchers (orvoc.exe, orvoc64.exe).
    bool console = false;
    // orvo-pack options both launcher copies are packed with (e.g. L"--code-page",
    // L"utf-8"); none: plain copies.
    std::vector<std::wstring> packOptions;
};

class ProbeApp {
public:
    // Lays the application out in the folder; throws HarnessError when it cannot.
    ProbeApp(const AppFolder& folder, const ProbeAppSettings& settings = {});
    ProbeApp(std::wstring folder, const ProbeAppSettings& settings);

    // The copy of the launcher under test: what the test starts.
    std::wstring Launcher() const;
    // The launcher that hosts the runtime in the end: App64.exe in both runs.
    std::wstring HostLauncher() const { return folder_ + L"\\App64.exe"; }
    std::wstring App32() const { return folder_ + L"\\App.exe"; }
    std::wstring ResultsFile() const { return folder_ + L"\\results.txt"; }
    ProbeResults Results() const { return ProbeResults::Read(ResultsFile()); }

    // Run options: the probe's results file in the environment, no JAVA_HOME, the
    // real-runtime time limit, and the windows the test expects.
    RunOptions Options(std::vector<ExpectedWindow> expected = {}) const;
    // Runs the launcher under test with these probe arguments.
    LauncherRun Run(const std::vector<std::wstring>& arguments, std::vector<ExpectedWindow> expected = {}) const;

private:
    std::wstring IniText(const ProbeAppSettings& settings) const;
    void AddLauncherCopy(const std::wstring& source, const std::wstring& target, const ProbeAppSettings& settings) const;

    std::wstring folder_;
};

// The folder ORVO_BUNDLED_RUNTIME_APP of the build tree, whose "jre" entry is a
// link to the real runtime: the runtime bundled beside the launcher, as many
// applications ship it, without copying it. Everything but "jre" is removed when
// the object is made and again when it ends.
class BundledRuntimeFolder {
public:
    // Throws HarnessError when the folder or its runtime is missing.
    BundledRuntimeFolder();
    // Another such folder beside it, made by the build: "Прога Test", "Prôgram Tëst" or
    // "日本語"; the first and the last also with the runtime of a later Java version.
    explicit BundledRuntimeFolder(std::wstring_view name, int javaVersion = 11);
    ~BundledRuntimeFolder();
    BundledRuntimeFolder(const BundledRuntimeFolder&) = delete;
    BundledRuntimeFolder& operator=(const BundledRuntimeFolder&) = delete;

    const std::wstring& path() const noexcept { return path_; }

private:
    // False when something could not be removed.
    bool RemoveAllButRuntime() const;

    std::wstring path_;
};

// The probe's Swing frame ("show-window"), once and left alone to close itself.
ExpectedWindow ExpectProbeWindow(std::wstring screenshotLabel = {});

// The "Java Exception" dialog, answered with `button` (IDOK: Ignore, IDCANCEL: Stop)
// after its stack trace is copied to *stackTraceSeen.
ExpectedWindow ExpectJavaExceptionDialog(int button, std::wstring* stackTraceSeen);

// One line per process of the run (image, exit code), for failure messages.
std::wstring DescribeProcesses(const LauncherRun& run);

// The real runtime ran where it must: App.exe handed over to App64.exe (i686 run),
// or App64.exe hosted it alone (x86_64 run); the probe reports its host process.
// Fails the test, naming the processes, when the run had another shape.
void ExpectHostedByApp64(const LauncherRun& run, const ProbeResults& results);
// The launch had that shape, whether or not Java code ran.
void ExpectProcessesOfHandOver(const LauncherRun& run);

}  // namespace orvo::test
