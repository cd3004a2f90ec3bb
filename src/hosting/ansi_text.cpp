#include "hosting/ansi_text.h"

#include <windows.h>

#include "foundation/code_page.h"
#include "foundation/orvo_error.h"
#include "foundation/path_names.h"

namespace orvo {

namespace {

// A runtime in a process whose code page is UTF-8 reads its narrow text as UTF-8,
// whatever code page the thread's locale names.
UINT RuntimeCodePage() { return ProcessCodePageIsUtf8() ? CP_UTF8 : CP_THREAD_ACP; }

int AnsiLength(std::wstring_view text, DWORD flags, char* buffer, int size) {
    return WideCharToMultiByte(RuntimeCodePage(), flags, text.data(), static_cast<int>(text.size()), buffer,
                               size, nullptr, nullptr);
}

// Code pages such as UTF-8 refuse WC_NO_BEST_FIT_CHARS; they have no best-fit
// mapping to avoid, so the plain conversion is the same thing for them.
DWORD NoBestFitFlags(std::wstring_view text) {
    if (AnsiLength(text, WC_NO_BEST_FIT_CHARS, nullptr, 0) == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
        return 0;
    }
    return WC_NO_BEST_FIT_CHARS;
}

}  // namespace

std::string ToThreadAnsi(std::wstring_view text) {
    if (text.empty()) return {};
    if (text.size() > 0x3FFFFFFF) RaiseOrvoError(kErrorArithmeticOverflow);
    DWORD flags = NoBestFitFlags(text);
    int size = AnsiLength(text, flags, nullptr, 0);
    if (size <= 0) return {};
    std::string result(static_cast<std::size_t>(size), '\0');
    AnsiLength(text, flags, result.data(), size);
    return result;
}

bool RepresentableInThreadAnsi(std::wstring_view text) { return FromThreadAnsi(ToThreadAnsi(text)) == text; }

std::wstring FromThreadAnsi(std::string_view bytes) {
    if (bytes.empty()) return {};
    if (bytes.size() > 0x3FFFFFFF) RaiseOrvoError(kErrorArithmeticOverflow);
    int length = static_cast<int>(bytes.size());
    const UINT codePage = RuntimeCodePage();
    int size = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (size <= 0) return {};
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), length, result.data(), size);
    return result;
}

std::optional<std::wstring> AnsiNameablePath(const std::wstring& path) {
    if (RepresentableInThreadAnsi(path)) return path;
    std::optional<std::wstring> shortPath = ShortPathName(path);
    if (shortPath && RepresentableInThreadAnsi(*shortPath)) return shortPath;
    return std::nullopt;
}

}  // namespace orvo
