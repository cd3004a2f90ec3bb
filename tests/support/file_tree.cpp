#include "support/file_tree.h"

#include <windows.h>

#include "foundation/unique_handle.h"
#include "support/harness_error.h"

namespace orvo::test {

std::wstring FullPathOf(const std::wstring& path) {
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    DWORD length = size ? GetFullPathNameW(path.c_str(), size, full.data(), nullptr) : 0;
    if (length == 0 || length >= size) throw HarnessError(L"cannot make a full path of " + path, GetLastError());
    full.resize(length);
    return full;
}

std::wstring ExtendedLengthPath(const std::wstring& path) {
    if (path.starts_with(L"\\\\?\\")) return path;
    // The prefixed form is taken literally: "..", "." and "/" must be resolved first.
    std::wstring full = FullPathOf(path);
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

void CreateFolderTree(const std::wstring& folder) {
    const std::wstring extended = ExtendedLengthPath(folder);
    // Skip the prefix and the drive ("\\?\Z:\") or share ("\\?\UNC\server\share\").
    std::size_t start = extended.find(L'\\', 4);
    if (extended.starts_with(L"\\\\?\\UNC\\")) start = extended.find(L'\\', extended.find(L'\\', 8) + 1);
    for (std::size_t cut = extended.find(L'\\', start + 1);; cut = extended.find(L'\\', cut + 1)) {
        std::wstring step = extended.substr(0, cut);
        if (!CreateDirectoryW(step.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            throw HarnessError(L"cannot create folder " + step, GetLastError());
        if (cut == std::wstring::npos) return;
    }
}

namespace {

void RemoveEntry(const std::wstring& extendedPath, DWORD attributes) {
    SetFileAttributesW(extendedPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    // A link to a folder is removed itself, never followed.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (!RemoveDirectoryW(extendedPath.c_str())) DeleteFileW(extendedPath.c_str());
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolderTree(extendedPath);
    } else {
        DeleteFileW(extendedPath.c_str());
    }
}

}  // namespace

bool RemoveFolderTree(const std::wstring& folder) {
    if (!PathExists(folder)) return true;
    const std::wstring extended = ExtendedLengthPath(folder);
    WIN32_FIND_DATAW entry;
    UniqueFindHandle search(FindFirstFileW((extended + L"\\*").c_str(), &entry));
    if (search) {
        do {
            std::wstring_view name = entry.cFileName;
            if (name != L"." && name != L"..") RemoveEntry(extended + L"\\" + entry.cFileName, entry.dwFileAttributes);
        } while (FindNextFileW(search.get(), &entry));
    }
    search.reset();
    return RemoveDirectoryW(extended.c_str()) || !PathExists(folder);
}

void WriteFileBytes(const std::wstring& path, std::string_view bytes) {
    UniqueFileHandle file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw HarnessError(L"cannot create " + path, GetLastError());
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        throw HarnessError(L"cannot write " + path, GetLastError());
}

void WriteSparseFile(const std::wstring& path, std::string_view head, std::uint64_t size) {
    WriteFileBytes(path, head);
    UniqueFileHandle file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw HarnessError(L"cannot open " + path, GetLastError());
    // Where the file system has no sparse files the zeros are still not written.
    DWORD ignored = 0;
    DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get()))
        throw HarnessError(L"cannot make " + path + L" " + std::to_wstring(size) + L" bytes long", GetLastError());
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
    UniqueFileHandle file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    return bytes;
}

void CopyFileTo(const std::wstring& source, const std::wstring& target) {
    if (!CopyFileW(ExtendedLengthPath(source).c_str(), ExtendedLengthPath(target).c_str(), FALSE))
        throw HarnessError(L"cannot copy " + source + L" to " + target, GetLastError());
}

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(ExtendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace orvo::test
