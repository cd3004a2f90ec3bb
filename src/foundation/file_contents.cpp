#include "foundation/file_contents.h"

#include <windows.h>

#include <algorithm>

#include "foundation/path_text.h"
#include "foundation/text_format.h"
#include "foundation/unique_handle.h"

namespace orvo {
namespace {

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool ReadExactly(HANDLE file, std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        if (!ReadFile(file, bytes.data() + done, wanted, &read, nullptr) || read == 0) return false;
        done += read;
    }
    return true;
}

bool WriteWhole(HANDLE file, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return FlushFileBuffers(file) != FALSE;
}

// Beside the target, so that the final rename stays on one volume; the process id
// keeps two launchers writing at once apart.
std::wstring NewFileNameFor(const std::wstring& target) {
    return target + L"." + UnsignedDecimalText(GetCurrentProcessId()) + L".new";
}

bool WriteNewFile(const std::wstring& path, std::string_view bytes) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    return file && WriteWhole(file.get(), bytes);
}

// ReplaceFileW keeps the old file's attributes and security; where it cannot work
// (some file systems) or has already moved the old file away, a plain rename over
// the target finishes the job.
bool PutInPlace(const std::wstring& newFile, const std::wstring& target, bool targetExists) {
    if (targetExists &&
        ReplaceFileW(target.c_str(), newFile.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        return true;
    }
    return MoveFileExW(newFile.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace

std::optional<FileContents> ReadFileContents(const std::wstring& path, std::uint64_t maxBytes) {
    UniqueFileHandle file(CreateFileW(ToLongPathFormText(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        if (IsMissing(GetLastError())) return FileContents{};
        return std::nullopt;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
        return std::nullopt;
    }
    FileContents contents{true, std::string(static_cast<std::size_t>(size.QuadPart), '\0')};
    if (!ReadExactly(file.get(), contents.bytes)) return std::nullopt;
    return contents;
}

bool ReplaceFileContents(const std::wstring& path, std::string_view bytes) {
    const std::wstring target = ToLongPathFormText(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool targetExists = attributes != INVALID_FILE_ATTRIBUTES;
    if (targetExists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return false;
    const std::wstring newFile = ToLongPathFormText(NewFileNameFor(path));
    if (WriteNewFile(newFile, bytes) && PutInPlace(newFile, target, targetExists)) return true;
    DeleteFileW(newFile.c_str());
    return false;
}

}  // namespace orvo
