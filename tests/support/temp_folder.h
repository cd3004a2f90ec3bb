#pragma once
// A fresh folder for one test, under the test run's scratch folder (ORVO_TEST_TMP,
// inside the build tree); removed with its contents.
#include <string>

namespace orvo::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Full path, without a trailing backslash.
    const std::wstring& path() const { return path_; }
    // path() + "\" + relative
    std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

private:
    std::wstring path_;
};

// Value of an environment variable of the test run; empty when unset.
std::wstring TestEnv(const wchar_t* name);

}  // namespace orvo::test
