#include "foundation/standard_error.h"

#include <windows.h>

#include <string>

#include "foundation/line_ends.h"
#include "foundation/utf8_text.h"

namespace orvo {

void WriteToStandardError(std::wstring_view text) {
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(error, &mode)) {
        WriteConsoleW(error, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    std::string bytes = ToUtf8(text);
    WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring AsWholeLines(std::wstring_view text) {
    std::wstring lines = WithCrLfLineEnds(text);
    while (!lines.empty() && (lines.back() == L'\r' || lines.back() == L'\n')) lines.pop_back();
    return lines + L"\r\n";
}

}  // namespace orvo
