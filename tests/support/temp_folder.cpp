#include "support/temp_folder.h"

#include <windows.h>

#include <atomic>

namespace orvo::test {

namespace {

std::wstring CurrentDirectory() {
    DWORD needed = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(needed, L'\0');
    dir.resize(GetCurrentDirectoryW(needed, dir.data()));
    return dir;
}

std::wstring LongForm(const std::wstring& path) {
    if (path.rfind(L"\\\\", 0) == 0) return path;
    return L"\\\\?\\" + path;
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

TempFolder::~TempFolder() { RemoveTree(path_); }

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

bool MakeFolders(const std::wstring& path) {
    std::wstring longPath = LongForm(path);
    std::size_t start = longPath.find(L'\\', 7);  // past "\\?\C:\"
    for (std::size_t cut = start; cut != std::wstring::npos; cut = longPath.find(L'\\', cut + 1)) {
        CreateDirectoryW(longPath.substr(0, cut).c_str(), nullptr);
    }
    return CreateDirectoryW(longPath.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void RemoveTree(const std::wstring& path) {
    if (path.empty()) return;
    std::wstring longPath = LongForm(path);
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((longPath + L"\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(LongForm(child).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(LongForm(child).c_str());
            }
        } while (FindNextFileW(search, &data));
        FindClose(search);
    }
    RemoveDirectoryW(longPath.c_str());
}

std::wstring TestEnv(const wchar_t* name) {
    DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return {};
    std::wstring value(needed, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), needed));
    return value;
}

}  // namespace orvo::test
