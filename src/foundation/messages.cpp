#include "foundation/messages.h"

#include <windows.h>

namespace orvo {

std::wstring LoadMessage(unsigned id) {
    // With a zero buffer size LoadStringW hands out a pointer into the resource
    // itself, so texts of any length (and with embedded line feeds) come back whole.
    const wchar_t* text = nullptr;
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return {};
    return std::wstring(text, static_cast<std::size_t>(length));
}

}  // namespace orvo
