#pragma once
// A drive letter whose root is an empty folder of the test run, for tests of a
// launcher at the root of a drive. Under wine the test run maps one and names it
// in ORVO_TEST_DRIVE ("R:"); elsewhere the test maps a free letter to a folder of
// its own with DefineDosDeviceW for as long as it lasts.
#include <memory>
#include <string>

#include "support/temp_folder.h"

namespace orvo::test {

class TestDrive {
public:
    // Throws HarnessError when no drive can be had, or when the mapped drive is not
    // empty (what lies there was not made by this test and is left alone).
    TestDrive();
    // Removes everything put on the drive, and the mapping this object made.
    ~TestDrive();
    TestDrive(const TestDrive&) = delete;
    TestDrive& operator=(const TestDrive&) = delete;

    // "R:\"
    const std::wstring& root() const noexcept { return root_; }

private:
    void MapFreeLetter();

    std::wstring root_;
    std::wstring definedName_;  // "R:" when this object defined the letter
    std::unique_ptr<TempFolder> target_;
};

}  // namespace orvo::test
