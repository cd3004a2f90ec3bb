#pragma once
// What CTest hands the end-to-end tests through the environment, and the name of
// the running test for the files a test leaves behind.
#include <string>

namespace orvo::test {

// The variable's value; throws HarnessError when it is not set or empty.
std::wstring RequiredEnvironment(const wchar_t* name);

// ORVO_LAUNCHER: this build's launcher (Windows path).
std::wstring LauncherUnderTest();
// ORVO_PAIR_LAUNCHER: the other architecture's launcher.
std::wstring PairLauncher();
// ORVO_TEST_TMP: scratch folder inside the build tree.
std::wstring TestScratchFolder();
// ORVO_ARTIFACTS: where screenshots go.
std::wstring ArtifactsFolder();
// ORVO_ARCH: "i686" or "x86_64".
std::wstring TestArchitecture();

// "Suite-Test" of the running GoogleTest test, reduced to letters, digits, "_" and
// "-" so that it can name files and folders; "no-test" outside a test.
std::wstring CurrentTestName();

// ASCII letters, digits and "-" stay, everything else becomes "_" (no dots: a dot in a folder
// name would change how the launcher derives its INI name).
std::wstring FileNameSafe(std::wstring_view text);

}  // namespace orvo::test
