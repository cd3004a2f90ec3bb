// The per-user class-data archive on a runtime that makes one by itself (Java 21):
// written when the setting asks for it and only then, and a damaged or stale archive
// costs no start: a sound one takes its place.
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

namespace orvo::test {
namespace {


std::optional<ULONGLONG> LastWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
}

class ClassDataCacheTest : public testing::Test {
protected:
    // The archives in the product's per-user folder (APPDATA is the test's own).
    std::vector<std::wstring> Archives() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE search = FindFirstFileW((UserFolder() + L"\\*.jsa").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) return names;
        do names.emplace_back(data.cFileName);
        while (FindNextFileW(search, &data));
        FindClose(search);
        return names;
    }

    std::wstring UserFolder() const {
        return folder.PathOf(L"appdata\\Orvo Probe\\") + CurrentTestName();
    }

    LauncherRun Start(const ProbeApp& app) const {
        RunOptions options = app.Options();
        options.environment.push_back({L"APPDATA", folder.PathOf(L"appdata")});
        options.stdOutputFile = folder.PathOf(L"out.txt");
        return RunLauncher(app.Launcher(), {L"print-prop", L"java.version"}, options);
    }

    ProbeAppSettings Settings(const wchar_t* cacheLine) const {
        ProbeAppSettings settings;
        settings.jrePath = RealRuntimeHome(21);
        settings.runtimeLines = cacheLine;
        return settings;
    }

    AppFolder folder;
};

TEST_F(ClassDataCacheTest, NothingIsWrittenWithoutTheSetting) {
    folder.CreateFolder(L"appdata");
    for (const wchar_t* line : {L"", L"Class Data Cache=No\n"}) {
        ProbeApp app(folder, Settings(line));
        LauncherRun run = Start(app);
        EXPECT_EQ(run.exitCode, 0) << DescribeProcesses(run);
        ExpectHostedByApp64(run, app.Results());
        EXPECT_TRUE(Archives().empty()) << line;
    }
}

// The runtime leaves its archive read-only; each kind of damage below is written
// that way too. Every later start runs main, exits with what main returned, keeps
// the runtime's complaints out of the program's output and leaves a sound archive.
TEST_F(ClassDataCacheTest, ArchiveAppearsAndADamagedOneIsRenewed) {
    folder.CreateFolder(L"appdata");
    ProbeApp app(folder, Settings(L"Class Data Cache=yes\n"));
    LauncherRun first = Start(app);
    EXPECT_EQ(first.exitCode, 0) << DescribeProcesses(first);
    ExpectHostedByApp64(first, app.Results());
    std::vector<std::wstring> archives = Archives();
    ASSERT_EQ(archives.size(), 1u);
    // Named after the host launcher and the version its release file gives ("21.0.8").
    EXPECT_TRUE(archives.front().starts_with(L"App64-21.") && archives.front().ends_with(L".jsa")) << archives.front();
    const std::wstring archive = UserFolder() + L"\\" + archives.front();
    std::optional<std::string> sound = ReadFileBytes(archive);
    ASSERT_TRUE(sound && sound->size() > 4096);

    // A sound archive is used as it is: neither the launcher nor the runtime writes it again.
    const std::optional<ULONGLONG> written = LastWriteTime(archive);
    LauncherRun second = Start(app);
    EXPECT_EQ(second.exitCode, 0) << DescribeProcesses(second);
    EXPECT_EQ(LastWriteTime(archive), written) << "the sound archive was written again";

    struct Damage {
        const char* what;
        std::string bytes;
    };
    const Damage damages[] = {
        {"garbage", std::string(sound->size(), '\x5A')},
        {"cut short", sound->substr(0, 4096)},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        SetFileAttributesW(archive.c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteFileBytes(archive, damage.bytes);
        SetFileAttributesW(archive.c_str(), FILE_ATTRIBUTE_READONLY);
        const std::string before = ReadFileBytes(archive).value_or("");
        DeleteFileW(app.ResultsFile().c_str());
        LauncherRun later = Start(app);
        EXPECT_EQ(later.exitCode, 0) << DescribeProcesses(later);
        EXPECT_EQ(app.Results().Value(L"prop.java.version").value_or(L"").substr(0, 3), L"21.") << app.Results().Text();
        EXPECT_EQ(ReadFileBytes(folder.PathOf(L"out.txt")).value_or("").find("[cds]"), std::string::npos);
        std::optional<std::string> renewed = ReadFileBytes(archive);
        ASSERT_TRUE(renewed.has_value());
        EXPECT_EQ(renewed->substr(0, 4), sound->substr(0, 4)) << "no archive in place of the damaged one";
        EXPECT_TRUE(*renewed != before) << "the damaged archive was left as it was";
    }
}

}  // namespace
}  // namespace orvo::test
