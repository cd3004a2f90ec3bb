// The launcher on each Java version users run today (11, 17, 21, 25): start,
// arguments outside ASCII, the exit code, redirected streams and the exception
// dialog. The 32-bit run starts App.exe, which hands every one of these 64-bit
// runtimes to App64.exe; the 64-bit run starts App64.exe itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/app_folder.h"
#include "support/java_runtime.h"
#include "support/launcher_run.h"
#include "support/wide_text.h"

namespace orvo::test {
namespace {

constexpr wchar_t kWord[] = L"Gr\u00FC\u00DFe \u4E16\u754C \U0001F600";

ProbeAppSettings OnVersion(int javaVersion, const std::wstring& applicationLines) {
    ProbeAppSettings settings;
    settings.jrePath = RealRuntimeHome(javaVersion);
    settings.applicationLines = applicationLines;
    return settings;
}

TEST(RealRuntimeVersions, ArgumentsExitCodeAndRedirectedStreams) {
    for (int javaVersion : kRealRuntimeVersions) {
        SCOPED_TRACE("Java " + std::to_string(javaVersion));
        AppFolder folder(std::to_wstring(javaVersion));
        ProbeApp app(folder, OnVersion(javaVersion,
                                       L"Output File=" + folder.PathOf(L"logs\\out.txt") + L"\nError File=" +
                                           folder.PathOf(L"logs\\err.txt") + L"\n"));
        const std::vector<std::wstring> arguments = {L"print-prop", L"java.version", L"print-args", L"stdout",
                                                     L"to standard output", L"stderr", L"to standard error",
                                                     L"exit", L"7", L"--", kWord};
        LauncherRun run = app.Run(arguments);
        ProbeResults results = app.Results();
        EXPECT_EQ(run.exitCode, 7) << Utf8(results.Text());
        ExpectHostedByApp64(run, results);
        EXPECT_TRUE(results.Value(L"prop.java.version").value_or(L"").starts_with(std::to_wstring(javaVersion) + L"."))
            << Utf8(results.Text());
        EXPECT_EQ(results.Value(L"args.count"), std::to_wstring(arguments.size()));
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            EXPECT_EQ(results.Value(L"arg." + std::to_wstring(i)), arguments[i]) << "argument " << i;
        }
        EXPECT_EQ(folder.ReadText(L"logs\\out.txt"), L"to standard output\r\n");
        EXPECT_EQ(folder.ReadText(L"logs\\err.txt"), L"to standard error\r\n");
    }
}

TEST(RealRuntimeVersions, ExceptionDialogShowsTheStackTraceAndStopEndsWithMinusOne) {
    for (int javaVersion : kRealRuntimeVersions) {
        SCOPED_TRACE("Java " + std::to_string(javaVersion));
        AppFolder folder(std::to_wstring(javaVersion));
        ProbeApp app(folder, OnVersion(javaVersion, L"Failure Check=Yes\n"));
        std::wstring stackTrace;
        LauncherRun run = app.Run({L"throw", kWord}, {ExpectJavaExceptionDialog(IDCANCEL, &stackTrace)});
        EXPECT_EQ(run.exitCode, -1);
        ExpectHostedByApp64(run, app.Results());
        EXPECT_EQ(stackTrace.find(std::wstring(L"java.lang.IllegalStateException: ") + kWord + L"\r\n"), 0u)
            << Utf8(stackTrace);
        EXPECT_NE(stackTrace.find(L"\tat orvo.test.Probe.main(Probe.java:"), std::wstring::npos);
    }
}

}  // namespace
}  // namespace orvo::test
