// The per-user class-data cache on the real runtimes: written when the setting asks
// for it and only then; on Java 21 a dynamic archive, on Java 25 an AOT cache that a
// separate process assembles and later starts map; none on Java 11 and 17, which say
// why. A damaged cache costs no start, and a changed jar gives a new cache in place of
// the old one.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/app_folder.h"
#include "support/file_tree.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"
#include "support/test_environment.h"
#include "support/trace_file.h"

namespace orvo::test {
namespace {

std::optional<ULONGLONG> LastWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// An update that keeps the jar's size: another write time.
void TouchLater(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ULONGLONG later = LastWriteTime(path).value_or(0) + 36000000000ULL;  // an hour on
    FILETIME time{static_cast<DWORD>(later), static_cast<DWORD>(later >> 32)};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
}

void WriteDamaged(const std::wstring& path, const std::string& bytes) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteFileBytes(path, bytes);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
}

class ClassDataCacheTest : public testing::Test {
protected:
    // The files of the product's per-user folder (APPDATA is the test's own) that
    // match `pattern`.
    std::vector<std::wstring> Files(const wchar_t* pattern) const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE search = FindFirstFileW((UserFolder() + L"\\" + pattern).c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(data.cFileName);
        } while (FindNextFileW(search, &data));
        FindClose(search);
        return names;
    }

    // The one file that matches, by its full path; empty (after a failure) for none or several.
    std::wstring OnlyFile(const wchar_t* pattern) const {
        std::vector<std::wstring> names = Files(pattern);
        EXPECT_EQ(names.size(), 1u) << testing::PrintToString(names);
        return names.size() == 1 ? UserFolder() + L"\\" + names.front() : std::wstring();
    }

    std::wstring UserFolder() const { return folder.PathOf(L"appdata\\Orvo Probe\\") + CurrentTestName(); }

    // A start that prints the Java version; its trace goes to trace.txt, made anew.
    LauncherRun Start(const ProbeApp& app) const {
        RunOptions options = app.Options();
        options.environment.push_back({L"APPDATA", folder.PathOf(L"appdata")});
        options.environment.push_back({L"ORVO_TRACE", TracePath()});
        options.stdOutputFile = folder.PathOf(L"out.txt");
        DeleteFileW(TracePath().c_str());
        DeleteFileW(app.ResultsFile().c_str());
        LauncherRun run = RunLauncher(app.Launcher(), {L"print-prop", L"java.version"}, options);
        EXPECT_EQ(run.exitCode, 0) << DescribeProcesses(run);
        return run;
    }

    std::wstring TracePath() const { return folder.PathOf(L"trace.txt"); }
    std::string Output() const { return ReadFileBytes(folder.PathOf(L"out.txt")).value_or(""); }

    // True when the hosting launcher's trace has a line of that topic starting with `text`.
    bool Traced(const wchar_t* topic, const std::wstring& text) const {
        return ReadTraceFile(TracePath()).Find(L"App64.exe", topic, text, true).has_value();
    }

    ProbeAppSettings Settings(int javaVersion, const wchar_t* runtimeLines = L"Class Data Cache=yes\n") const {
        ProbeAppSettings settings;
        settings.jrePath = RealRuntimeHome(javaVersion);
        settings.runtimeLines = runtimeLines;
        return settings;
    }

    AppFolder folder{L"cache"};
};

TEST_F(ClassDataCacheTest, NothingIsWrittenWithoutTheSetting) {
    folder.CreateFolder(L"appdata");
    for (const wchar_t* line : {L"", L"Class Data Cache=No\n"}) {
        ProbeApp app(folder, Settings(21, line));
        LauncherRun run = Start(app);
        ExpectHostedByApp64(run, app.Results());
        EXPECT_TRUE(Files(L"*").empty()) << line;
    }
}

// The runtime leaves its archive read-only; each kind of damage below is written
// that way too. Every later start runs main, exits with what main returned, keeps
// the runtime's complaints out of the program's output and leaves a sound archive.
TEST_F(ClassDataCacheTest, Java21ArchiveAppearsAndADamagedOneIsRenewed) {
    folder.CreateFolder(L"appdata");
    ProbeApp app(folder, Settings(21));
    LauncherRun first = Start(app);
    ExpectHostedByApp64(first, app.Results());
    // Named after the host launcher, the fingerprint and the version its release file gives.
    const std::wstring archive = OnlyFile(L"App64-*-21.*.jsa");
    ASSERT_FALSE(archive.empty());
    EXPECT_TRUE(Traced(L"option", L"-XX:SharedArchiveFile=")) << ReadTraceFile(TracePath()).Text();
    std::optional<std::string> sound = ReadFileBytes(archive);
    ASSERT_TRUE(sound && sound->size() > 4096);

    // A sound archive is used as it is: neither the launcher nor the runtime writes it again.
    const std::optional<ULONGLONG> written = LastWriteTime(archive);
    Start(app);
    EXPECT_EQ(LastWriteTime(archive), written) << "the sound archive was written again";

    const std::pair<const char*, std::string> damages[] = {
        {"garbage", std::string(sound->size(), '\x5A')},
        {"cut short", sound->substr(0, 4096)},
    };
    for (const auto& [what, bytes] : damages) {
        SCOPED_TRACE(what);
        WriteDamaged(archive, bytes);
        Start(app);
        EXPECT_EQ(app.Results().Value(L"prop.java.version").value_or(L"").substr(0, 3), L"21.") << app.Results().Text();
        EXPECT_EQ(Output().find("[cds]"), std::string::npos);
        std::optional<std::string> renewed = ReadFileBytes(archive);
        ASSERT_TRUE(renewed.has_value());
        EXPECT_EQ(renewed->substr(0, 4), sound->substr(0, 4)) << "no archive in place of the damaged one";
        EXPECT_TRUE(*renewed != bytes) << "the damaged archive was left as it was";
    }
}

// A jar of the class path updated: the next start writes a new archive under a new
// name and the old one goes; the start after it maps the new one as it is.
TEST_F(ClassDataCacheTest, Java21JarUpdateGivesANewArchiveAndRemovesTheOld) {
    folder.CreateFolder(L"appdata");
    const std::wstring jar = folder.PathOf(L"probe.jar");
    ASSERT_TRUE(CopyFileW(ProbeJar().c_str(), jar.c_str(), FALSE));
    ProbeAppSettings settings = Settings(21);
    settings.classPath = jar;
    ProbeApp app(folder, settings);
    Start(app);
    const std::wstring old = OnlyFile(L"*.jsa");
    TouchLater(jar);
    Start(app);
    const std::wstring renewed = OnlyFile(L"*.jsa");
    EXPECT_NE(renewed, old);
    EXPECT_TRUE(Traced(L"cds", L"removed App64-")) << ReadTraceFile(TracePath()).Text();
    const std::optional<ULONGLONG> written = LastWriteTime(renewed);
    Start(app);
    EXPECT_EQ(LastWriteTime(renewed), written) << "the new archive was not used as it was";
}

// Java 25: the first start records (the options the trace shows) and a separate
// process assembles the cache; the next start maps it, as the runtime's own log says,
// and the recorded configuration goes. The program's output stays its own.
TEST_F(ClassDataCacheTest, Java25AotCacheIsRecordedAssembledAndMapped) {
    folder.CreateFolder(L"appdata");
    ProbeApp app(folder, Settings(25));
    LauncherRun first = Start(app);
    EXPECT_EQ(app.Results().Value(L"prop.java.version").value_or(L"").substr(0, 3), L"25.") << app.Results().Text();
    // The assembly: the runtime's java.exe, started by the launcher, ended by itself.
    EXPECT_NE(DescribeProcesses(first).find(L"\\jdk25\\bin\\java.exe exited with 0"), std::wstring::npos)
        << DescribeProcesses(first);
    EXPECT_TRUE(Traced(L"option", L"-XX:AOTMode=record")) << ReadTraceFile(TracePath()).Text();
    EXPECT_TRUE(Traced(L"cds", L"assembling the AOT cache: ")) << ReadTraceFile(TracePath()).Text();
    EXPECT_EQ(Output().find("AOT"), std::string::npos) << Output();
    const std::wstring cache = OnlyFile(L"App64-*-25.*.aot");
    ASSERT_FALSE(cache.empty());

    ProbeApp logged(folder, Settings(25, L"Class Data Cache=yes\nVirtual Machine Parameters=-Xlog:aot\n"));
    Start(logged);
    EXPECT_TRUE(Traced(L"option", L"-XX:AOTCache=")) << ReadTraceFile(TracePath()).Text();
    EXPECT_NE(Output().find("Using AOT-linked classes: true"), std::string::npos) << Output();
    EXPECT_TRUE(Files(L"*.config").empty());
}

// A damaged AOT cache costs no start: the program runs, and the next start has a sound cache again.
TEST_F(ClassDataCacheTest, Java25DamagedAotCacheStillStarts) {
    folder.CreateFolder(L"appdata");
    ProbeApp app(folder, Settings(25));
    Start(app);
    const std::wstring cache = OnlyFile(L"*.aot");
    ASSERT_FALSE(cache.empty());
    const std::string sound = ReadFileBytes(cache).value_or("");
    const std::pair<const char*, std::string> damages[] = {
        {"garbage", std::string(sound.size(), '\x5A')},
        {"cut short", sound.substr(0, 65536)},
    };
    for (const auto& [what, bytes] : damages) {
        SCOPED_TRACE(what);
        WriteDamaged(cache, bytes);
        Start(app);
        EXPECT_EQ(app.Results().Value(L"prop.java.version").value_or(L"").substr(0, 3), L"25.") << app.Results().Text();
        EXPECT_EQ(Output().find("AOT"), std::string::npos) << Output();
        Start(app);
        const std::string renewed = ReadFileBytes(cache).value_or("");
        EXPECT_EQ(renewed.substr(0, 4), sound.substr(0, 4)) << "no sound cache again";
        EXPECT_TRUE(renewed != bytes) << "the damaged cache was left as it was";
    }
}

// Java 11 and 17 (the latter without a base archive) keep none: no option, no file,
// and the trace says why.
TEST_F(ClassDataCacheTest, OlderRuntimesKeepNoneAndSayWhy) {
    folder.CreateFolder(L"appdata");
    for (int version : {11, 17}) {
        SCOPED_TRACE(version);
        ProbeApp app(folder, Settings(version));
        Start(app);
        EXPECT_TRUE(Traced(L"cds", L"no class-data cache: Java " + std::to_wstring(version)))
            << ReadTraceFile(TracePath()).Text();
        EXPECT_FALSE(Traced(L"option", L"-XX:SharedArchiveFile"));
        EXPECT_TRUE(Files(L"*").empty());
    }
}

}  // namespace
}  // namespace orvo::test
