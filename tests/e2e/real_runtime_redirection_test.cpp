// The Java program's standard streams sent into files on the real runtime: a dated
// name in a folder that does not exist yet, and appending to an existing file.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/app_folder.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"

namespace orvo::test {
namespace {

TEST(RealRuntimeRedirection, OutputAndErrorFilesReceiveTheStreams) {
    AppFolder folder;
    folder.CreateFolder(L"logs");
    folder.WriteText(L"logs\\err.txt", L"earlier line\n");
    ProbeAppSettings settings;
    settings.applicationLines = L"Output File=" + folder.PathOf(L"logs\\new\\out-%yyyy%.txt") + L"\nError File=" +
                                folder.PathOf(L"logs\\err.txt") + L"\nError Append=yes\n";
    ProbeApp app(folder, settings);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    LauncherRun run = app.Run({L"stdout", L"to standard output", L"stderr", L"to standard error"});
    EXPECT_EQ(run.exitCode, 0);
    ExpectHostedByApp64(run, app.Results());

    const std::wstring dated = L"logs\\new\\out-" + std::to_wstring(now.wYear) + L".txt";
    EXPECT_EQ(folder.ReadText(dated), L"to standard output\r\n") << "file " << dated;
    EXPECT_EQ(folder.ReadText(L"logs\\err.txt"), L"earlier line\r\nto standard error\r\n");
}

TEST(RealRuntimeRedirection, OutputFileIsReplacedWithoutAppend) {
    AppFolder folder;
    folder.WriteText(L"out.txt", L"from an earlier run\n");
    ProbeAppSettings settings;
    settings.applicationLines = L"Output File=" + folder.PathOf(L"out.txt") + L"\nOutput Append=Yes\n";
    ProbeApp app(folder, settings);
    LauncherRun run = app.Run({L"stdout", L"only this"});
    EXPECT_EQ(run.exitCode, 0);
    // Only "yes" in lower case appends.
    EXPECT_EQ(folder.ReadText(L"out.txt"), L"only this\r\n");
}

}  // namespace
}  // namespace orvo::test
