#include "support/wide_text.h"

#include <windows.h>

#include <cstring>

#include "foundation/system_error_text.h"

namespace orvo::test {

namespace {

std::string Narrow(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

std::wstring Widen(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return {};
    int size = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    return text;
}

}  // namespace

std::string Utf8(std::wstring_view text) { return Narrow(CP_UTF8, text); }

std::wstring FromUtf8(std::string_view bytes) { return Widen(CP_UTF8, bytes); }

std::string AnsiBytes(std::wstring_view text) { return Narrow(CP_ACP, text); }

std::wstring DecodeText(std::string_view bytes) {
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        std::wstring text((bytes.size() - 2) / 2, L'\0');
        // wchar_t is UTF-16 on Windows; copy the units as they lie in the file.
        std::memcpy(text.data(), bytes.data() + 2, text.size() * sizeof(wchar_t));
        return text;
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) return Widen(CP_UTF8, bytes.substr(3));
    return Widen(CP_ACP, bytes);
}

std::wstring SystemErrorText(unsigned long errorCode) { return orvo::SystemErrorText(errorCode, L"%1"); }

}  // namespace orvo::test
