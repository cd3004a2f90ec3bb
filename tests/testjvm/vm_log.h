#pragma once
// testjvm.log beside the library: one event per line (format in log_format.h),
// each line appended with a single WriteFile, so it is on disk even when the
// process ends a moment later through System.exit or a trap.
#include <windows.h>

#include <string>
#include <string_view>

namespace orvo::testjvm {

class LogLine {
public:
    explicit LogLine(std::string_view event);
    // key=<bytes, percent-encoded>
    LogLine& Bytes(std::string_view key, std::string_view bytes);
    LogLine& Number(std::string_view key, long long value);
    LogLine& Hex(std::string_view key, unsigned long long value);
    // key=<UTF-8, percent-encoded> key_u16=<UTF-16 units in hex>
    LogLine& Java(std::string_view key, std::u16string_view text);
    // Appends the line to the log; a log that cannot be opened is passed over.
    void Write() const;

private:
    std::string line_;
};

// Remembers the library's own module (from DllMain) so that files are found beside it.
void SetLibraryModule(HMODULE module);
// The folder of the library file, with a trailing backslash.
std::wstring LibraryFolder();
// Closes the log file (the library is being unloaded).
void CloseLog();

// Writes text to the process's standard output or error as UTF-8, if there is one.
void WriteToProcessStream(DWORD standardHandle, std::u16string_view text);

std::wstring WideFromUtf16(std::u16string_view text);
std::u16string Utf16FromWide(std::wstring_view text);

}  // namespace orvo::testjvm
