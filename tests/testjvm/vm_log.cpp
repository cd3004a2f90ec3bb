#include "testjvm/vm_log.h"

#include "testjvm/log_format.h"

namespace orvo::testjvm {

namespace {

HMODULE gModule = nullptr;
SRWLOCK gLogLock = SRWLOCK_INIT;
HANDLE gLogFile = INVALID_HANDLE_VALUE;

HANDLE OpenLog() {
    if (gLogFile == INVALID_HANDLE_VALUE) {
        std::wstring path = LibraryFolder() + L"testjvm.log";
        // Append-only access makes every WriteFile land at the end, even when two
        // processes of one test log into the same file.
        gLogFile = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    return gLogFile;
}

}  // namespace

LogLine::LogLine(std::string_view event) : line_(event) {}

LogLine& LogLine::Bytes(std::string_view key, std::string_view bytes) {
    line_ += ' ';
    line_ += key;
    line_ += '=';
    line_ += PercentEncode(bytes);
    return *this;
}

LogLine& LogLine::Number(std::string_view key, long long value) { return Bytes(key, std::to_string(value)); }

LogLine& LogLine::Hex(std::string_view key, unsigned long long value) {
    std::string text;
    do {
        text.insert(text.begin(), "0123456789ABCDEF"[value & 0x0F]);
        value >>= 4;
    } while (value != 0);
    return Bytes(key, "0x" + text);
}

LogLine& LogLine::Java(std::string_view key, std::u16string_view text) {
    Bytes(key, Utf8FromUtf16(text));
    return Bytes(std::string(key) + "_u16", HexUtf16(text));
}

void LogLine::Write() const {
    std::string bytes = line_ + "\n";
    AcquireSRWLockExclusive(&gLogLock);
    HANDLE log = OpenLog();
    DWORD written = 0;
    if (log != INVALID_HANDLE_VALUE) WriteFile(log, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ReleaseSRWLockExclusive(&gLogLock);
}

void SetLibraryModule(HMODULE module) { gModule = module; }

std::wstring LibraryFolder() {
    std::wstring path(32768, L'\0');
    DWORD length = GetModuleFileNameW(gModule, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

void CloseLog() {
    AcquireSRWLockExclusive(&gLogLock);
    if (gLogFile != INVALID_HANDLE_VALUE) CloseHandle(gLogFile);
    gLogFile = INVALID_HANDLE_VALUE;
    ReleaseSRWLockExclusive(&gLogLock);
}

void WriteToProcessStream(DWORD standardHandle, std::u16string_view text) {
    HANDLE stream = GetStdHandle(standardHandle);
    std::string bytes = Utf8FromUtf16(text);
    DWORD written = 0;
    if (stream != nullptr && stream != INVALID_HANDLE_VALUE)
        WriteFile(stream, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring WideFromUtf16(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::u16string Utf16FromWide(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

}  // namespace orvo::testjvm
