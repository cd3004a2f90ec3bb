#include "support/temp_folder.h"

#include <windows.h>

#include <atomic>

#include "support/file_tree.h"

namespace orvo::test {

namespace {

std::wstring CurrentDirectory() {
    DWORD needed = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(needed, L'\0');
    dir.resize(GetCurrentDirectoryW(needed, dir.data()));
    return dir;
}

}  // namespace

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    std::wstring base = TestEnv(L"ORVO_TEST_TMP");
    if (base.empty()) base = CurrentDirectory();
    for (;;) {
        path_ = base + L"\\t" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

TempFolder::~TempFolder() { RemoveFolderTree(path_); }

std::wstring TestEnv(const wchar_t* name) {
    DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return {};
    std::wstring value(needed, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), needed));
    return value;
}

}  // namespace orvo::test
