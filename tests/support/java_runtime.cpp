#include "support/java_runtime.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "foundation/unique_handle.h"
#include "support/console_tool.h"
#include "support/file_tree.h"
#include "support/harness_error.h"
#include "support/test_environment.h"
#include "support/ui_automation.h"
#include "support/wide_text.h"

namespace orvo::test {

namespace {

std::wstring Unescaped(std::wstring_view text) {
    std::wstring result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\' || i + 1 == text.size()) {
            result += text[i];
            continue;
        }
        wchar_t escaped = text[++i];
        result += escaped == L'n' ? L'\n' : escaped == L'r' ? L'\r' : escaped;
    }
    return result;
}

std::pair<std::wstring, std::wstring> ParseLine(std::wstring_view line) {
    std::size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) return {std::wstring(line), {}};
    return {std::wstring(line.substr(0, equals)), Unescaped(line.substr(equals + 1))};
}

bool EndsWithFileName(const std::wstring& path, std::wstring_view name) {
    std::wstring suffix = L"\\" + std::wstring(name);
    return path.size() >= suffix.size() &&
           CompareStringOrdinal(path.c_str() + path.size() - suffix.size(), static_cast<int>(suffix.size()),
                                suffix.c_str(), static_cast<int>(suffix.size()), TRUE) == CSTR_EQUAL;
}

std::wstring KeyLine(std::wstring_view key, const std::optional<std::wstring>& value,
                     const std::wstring& fallback) {
    std::wstring chosen = value.value_or(fallback);
    if (chosen.empty()) return {};
    return std::wstring(key) + L"=" + chosen + L"\n";
}

std::wstring Beside(const std::wstring& path, const wchar_t* fileName) {
    return path.substr(0, path.rfind(L'\\') + 1) + fileName;
}

}  // namespace

std::wstring RealRuntimeHome() { return RequiredEnvironment(L"ORVO_JAVA_RUNTIME"); }

std::wstring RealRuntimeHome(int javaVersion) {
    if (javaVersion == 11) return RealRuntimeHome();
    std::wstring variable = L"ORVO_JAVA_RUNTIME_" + std::to_wstring(javaVersion);
    return RequiredEnvironment(variable.c_str());
}

std::wstring RealRuntimeLibrary(int javaVersion) {
    if (javaVersion == 11) return RealRuntimeClientLibrary();
    return RealRuntimeHome(javaVersion) + L"\\bin\\server\\jvm.dll";
}

std::wstring ProbeJar() { return RequiredEnvironment(L"ORVO_PROBE_JAR"); }

std::wstring RealRuntimeClientLibrary() { return RealRuntimeHome() + L"\\bin\\client\\jvm.dll"; }

bool TestingLauncher64() { return TestArchitecture() == L"x86_64"; }

std::wstring Launcher32() { return TestingLauncher64() ? PairLauncher() : LauncherUnderTest(); }

std::wstring Launcher64() { return TestingLauncher64() ? LauncherUnderTest() : PairLauncher(); }

std::wstring ConsoleLauncher32() { return Beside(Launcher32(), L"orvoc.exe"); }

std::wstring ConsoleLauncher64() { return Beside(Launcher64(), L"orvoc64.exe"); }

ProbeResults ProbeResults::Read(const std::wstring& path) {
    ProbeResults results;
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) return results;
    results.exists_ = true;
    std::wstring text = FromUtf8(*bytes);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        results.lines_.push_back(ParseLine(std::wstring_view(text).substr(start, end - start)));
        start = end + 1;
    }
    return results;
}

std::optional<std::wstring> ProbeResults::Value(std::wstring_view key) const {
    for (const auto& [lineKey, value] : lines_)
        if (lineKey == key) return value;
    return std::nullopt;
}

bool ProbeResults::HasLine(std::wstring_view key, std::wstring_view value) const {
    for (const auto& [lineKey, lineValue] : lines_)
        if (lineKey == key && lineValue == value) return true;
    return false;
}

std::wstring ProbeResults::Text() const {
    if (!exists_) return L"(no results file: the probe did not run)\n";
    std::wstring text;
    for (const auto& [key, value] : lines_) text += key + L"=" + value + L"\n";
    return text;
}

ProbeApp::ProbeApp(const AppFolder& folder, const ProbeAppSettings& settings) : ProbeApp(folder.path(), settings) {}

ProbeApp::ProbeApp(std::wstring folder, const ProbeAppSettings& settings) : folder_(std::move(folder)) {
    AddLauncherCopy(settings.console ? ConsoleLauncher32() : Launcher32(), App32(), settings);
    AddLauncherCopy(settings.console ? ConsoleLauncher64() : Launcher64(), HostLauncher(), settings);
    // ANSI, as most INI files are; UTF-16 when the code page lacks some of its letters.
    const std::wstring text = WithWindowsLineEnds(IniText(settings));
    std::string ini = EncodeText(text, TextEncoding::kAnsi);
    if (DecodeText(ini) != text) ini = EncodeText(text, TextEncoding::kUtf16Bom);
    WriteFileBytes(folder_ + L"\\App.ini", ini);
    WriteFileBytes(folder_ + L"\\App64.ini", ini);
}

std::wstring ProbeApp::Launcher() const { return TestingLauncher64() ? HostLauncher() : App32(); }

RunOptions ProbeApp::Options(std::vector<ExpectedWindow> expected) const {
    RunOptions options;
    options.expectedWindows = std::move(expected);
    options.timeoutMs = kRealRuntimeTimeoutMs;
    options.workingDirectory = folder_;
    options.environment = {{L"ORVO_PROBE_RESULTS", ResultsFile()}, {L"JAVA_HOME", std::nullopt}};
    return options;
}

LauncherRun ProbeApp::Run(const std::vector<std::wstring>& arguments, std::vector<ExpectedWindow> expected) const {
    return RunLauncher(Launcher(), arguments, Options(std::move(expected)));
}

// A per-test product code keeps every test's per-user copy (which would override
// "JRE Path") apart from every other test's.
std::wstring ProbeApp::IniText(const ProbeAppSettings& settings) const {
    std::wstring text = L"[Product Information]\nProduct Name=Orvo Probe\nProduct Code=" + CurrentTestName() + L"\n";
    text += L"[Application]\n";
    text += KeyLine(L"Pair Product", settings.pairProduct, HostLauncher());
    if (settings.pairReturnCode) text += L"Pair Return Code=Yes\n";
    if (settings.embeddedJar) text += L"Embedded Jar=Yes\n";
    text += settings.applicationLines;
    text += L"[Java Runtime Environment]\nMain Class=" + settings.mainClass + L"\n";
    text += KeyLine(L"JRE Path", settings.jrePath, RealRuntimeHome());
    text += settings.runtimeLines;
    text += L"[Class Path]\n";
    text += KeyLine(L"Class Path", settings.classPath, ProbeJar());
    if (!settings.displayLines.empty()) text += L"[Display]\n" + settings.displayLines;
    return text;
}

// A copy of the launcher, packed with the settings' orvo-pack options if there are any;
// an embedded jar is stored at its end, as a developer ships one.
void ProbeApp::AddLauncherCopy(const std::wstring& source, const std::wstring& target,
                               const ProbeAppSettings& settings) const {
    if (settings.packOptions.empty()) {
        CopyFileTo(source, target);
    } else {
        std::vector<std::wstring> arguments{L"--launcher", source, L"--out", target};
        arguments.insert(arguments.end(), settings.packOptions.begin(), settings.packOptions.end());
        const ToolRun run = RunConsoleTool(RequiredEnvironment(L"ORVO_PACK_TOOL"), arguments);
        if (run.exitCode != 0) throw HarnessError(L"orvo-pack failed: " + FromUtf8(run.output));
    }
    if (!settings.embeddedJar) return;
    std::optional<std::string> launcher = ReadFileBytes(target);
    std::optional<std::string> jar = ReadFileBytes(ProbeJar());
    if (!launcher || !jar) throw HarnessError(L"cannot read " + target + L" or " + ProbeJar());
    WriteFileBytes(target, *launcher + *jar);
}

BundledRuntimeFolder::BundledRuntimeFolder() : BundledRuntimeFolder(std::wstring_view()) {}

BundledRuntimeFolder::BundledRuntimeFolder(std::wstring_view name, int javaVersion)
    : path_(RequiredEnvironment(L"ORVO_BUNDLED_RUNTIME_APP")) {
    const std::wstring folder = path_.substr(0, path_.rfind(L'\\') + 1);
    if (javaVersion != 11) path_ = folder + L"java" + std::to_wstring(javaVersion) + L"\\" + std::wstring(name);
    else if (!name.empty()) path_ = folder + std::wstring(name);
    if (!PathExists(path_ + L"\\jre\\bin\\java.dll"))
        throw HarnessError(L"no runtime linked as " + path_ + L"\\jre; configure the build with the runtime fetched");
    if (!RemoveAllButRuntime()) throw HarnessError(L"cannot clear " + path_);
}

BundledRuntimeFolder::~BundledRuntimeFolder() {
    // A launcher that was just killed may hold its image open for a moment.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (RemoveAllButRuntime()) return;
        Sleep(100);
    }
    ADD_FAILURE() << "the files of " << path_ << " could not be removed";
}

// Never descends into "jre": it is a link to the one runtime every test shares.
bool BundledRuntimeFolder::RemoveAllButRuntime() const {
    WIN32_FIND_DATAW entry;
    UniqueFindHandle search(FindFirstFileW((path_ + L"\\*").c_str(), &entry));
    if (!search) return false;
    bool removed = true;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L".." || CompareStringOrdinal(name.c_str(), -1, L"jre", -1, TRUE) == CSTR_EQUAL)
            continue;
        std::wstring full = path_ + L"\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) removed = RemoveFolderTree(full) && removed;
        else removed = (DeleteFileW(full.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) && removed;
    } while (FindNextFileW(search.get(), &entry));
    return removed;
}

ExpectedWindow ExpectProbeWindow(std::wstring screenshotLabel) {
    ExpectedWindow expected;
    expected.description = L"the probe's Swing window";
    expected.matches = [](const WindowSnapshot& w) { return w.title == L"Orvo probe window"; };
    expected.screenshotLabel = std::move(screenshotLabel);
    return expected;
}

ExpectedWindow ExpectJavaExceptionDialog(int button, std::wstring* stackTraceSeen) {
    constexpr int kStackTraceEdit = 208;
    ExpectedWindow expected;
    expected.description = L"Java Exception dialog";
    expected.matches = [](const WindowSnapshot& window) {
        return window.IsDialog() && window.title == L"Java Exception";
    };
    expected.screenshotLabel = L"dialog";
    expected.respond = [button, stackTraceSeen](const WindowSnapshot& window) {
        const ControlSnapshot* trace = window.Control(kStackTraceEdit);
        if (trace) *stackTraceSeen = trace->text;
        EXPECT_TRUE(PressButton(window.handle, button));
    };
    return expected;
}

std::wstring DescribeProcesses(const LauncherRun& run) {
    std::wstring text;
    for (const ProcessRecord& process : run.processes) {
        text += process.imagePath.empty() ? L"(unknown image)" : process.imagePath;
        text += process.exitCode ? L" exited with " + std::to_wstring(*process.exitCode) : L" still running";
        text += L"\n";
    }
    return text.empty() ? L"(no process)\n" : text;
}

// The harness may not learn the image of a process it sees only briefly, so the
// host is identified by the probe running inside it.
void ExpectProcessesOfHandOver(const LauncherRun& run) {
    const std::size_t expected = TestingLauncher64() ? 1 : 2;
    bool shaped = run.processes.size() == expected &&
                  EndsWithFileName(run.processes.front().imagePath, TestingLauncher64() ? L"App64.exe" : L"App.exe");
    EXPECT_TRUE(shaped) << "expected " << (TestingLauncher64() ? "App64.exe alone" : "App.exe, then its pair")
                        << "; the run had:\n" << DescribeProcesses(run);
}

void ExpectHostedByApp64(const LauncherRun& run, const ProbeResults& results) {
    ExpectProcessesOfHandOver(run);
    std::wstring host = results.Value(L"process").value_or(L"");
    EXPECT_TRUE(EndsWithFileName(host, L"App64.exe")) << "the Java program ran in \"" << host << "\"\n"
                                                      << results.Text();
}

}  // namespace orvo::test
