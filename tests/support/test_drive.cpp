#include "support/test_drive.h"

#include <windows.h>

#include <vector>

#include "foundation/unique_handle.h"
#include "support/file_tree.h"
#include "support/harness_error.h"

namespace orvo::test {
namespace {

std::vector<std::wstring> EntriesOf(const std::wstring& root) {
    std::vector<std::wstring> entries;
    WIN32_FIND_DATAW data;
    UniqueFindHandle search(FindFirstFileW((root + L"*").c_str(), &data));
    if (!search) return entries;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") entries.push_back(root + name);
    } while (FindNextFileW(search.get(), &data));
    return entries;
}

// True when a file can be made and removed at the root: under wine a letter
// defined with DefineDosDeviceW is listed but leads nowhere.
bool Writable(const std::wstring& root) {
    const std::wstring probe = root + L"orvo-drive-probe.txt";
    UniqueFileHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(file);
}

}  // namespace

TestDrive::TestDrive() {
    const std::wstring mapped = TestEnv(L"ORVO_TEST_DRIVE");
    if (mapped.empty()) {
        MapFreeLetter();
    } else {
        root_ = mapped + L"\\";
        if (!Writable(root_)) throw HarnessError(L"the test drive " + mapped + L" cannot be written to");
        if (!EntriesOf(root_).empty())
            throw HarnessError(L"the test drive " + mapped + L" is not empty; what is there is left alone");
    }
}

TestDrive::~TestDrive() {
    if (target_) {
        DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE | DDD_RAW_TARGET_PATH,
                         definedName_.c_str(), (L"\\??\\" + target_->path()).c_str());
        return;  // the folder goes with target_
    }
    for (const std::wstring& entry : EntriesOf(root_)) {
        if (!RemoveFolderTree(entry)) DeleteFileW(entry.c_str());
    }
}

void TestDrive::MapFreeLetter() {
    const DWORD used = GetLogicalDrives();
    for (wchar_t letter = L'Y'; letter >= L'M'; --letter) {
        if (used & (1u << (letter - L'A'))) continue;
        target_ = std::make_unique<TempFolder>();
        definedName_ = std::wstring(1, letter) + L":";
        if (!DefineDosDeviceW(DDD_RAW_TARGET_PATH, definedName_.c_str(), (L"\\??\\" + target_->path()).c_str()))
            throw HarnessError(L"cannot map a drive letter to " + target_->path(), GetLastError());
        root_ = definedName_ + L"\\";
        if (!Writable(root_))
            throw HarnessError(L"the drive " + definedName_ +
                               L" defined for the test leads nowhere; under wine the test run maps one "
                               L"(ORVO_TEST_DRIVE)");
        return;
    }
    throw HarnessError(L"no free drive letter between M: and Y:");
}

}  // namespace orvo::test
