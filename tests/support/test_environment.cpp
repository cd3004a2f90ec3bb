#include "support/test_environment.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cwctype>

#include "support/harness_error.h"

namespace orvo::test {

std::wstring RequiredEnvironment(const wchar_t* name) {
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    std::wstring value(size, L'\0');
    if (size > 0) value.resize(GetEnvironmentVariableW(name, value.data(), size));
    if (value.empty())
        throw HarnessError(std::wstring(name) + L" is not set; run the end-to-end tests through CTest");
    return value;
}

std::wstring LauncherUnderTest() { return RequiredEnvironment(L"ORVO_LAUNCHER"); }
std::wstring PairLauncher() { return RequiredEnvironment(L"ORVO_PAIR_LAUNCHER"); }
std::wstring TestScratchFolder() { return RequiredEnvironment(L"ORVO_TEST_TMP"); }
std::wstring ArtifactsFolder() { return RequiredEnvironment(L"ORVO_ARTIFACTS"); }
std::wstring TestArchitecture() { return RequiredEnvironment(L"ORVO_ARCH"); }

std::wstring FileNameSafe(std::wstring_view text) {
    std::wstring safe(text);
    for (wchar_t& c : safe)
        if (!(std::iswalnum(c) && c < 0x80) && c != L'-') c = L'_';
    return safe;
}

std::wstring CurrentTestName() {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    if (info == nullptr) return L"no-test";
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    return FileNameSafe(std::wstring(name.begin(), name.end()));
}

}  // namespace orvo::test
