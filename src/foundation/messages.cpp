#include "foundation/messages.h"

#include <windows.h>

namespace orvo {

std::wstring LoadMessage(unsigned id) {
    // Read from the string table's resource block with kernel32 alone, so that a
    // launcher that shows no window never needs the window libraries for its texts.
    // A block holds 16 strings, each a length in UTF-16 units followed by the units.
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC block = FindResourceW(module, MAKEINTRESOURCEW((id >> 4) + 1), RT_STRING);
    HGLOBAL loaded = block ? LoadResource(module, block) : nullptr;
    const auto* units = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (units == nullptr) return {};
    const std::size_t total = SizeofResource(module, block) / sizeof(WCHAR);
    std::size_t at = 0;
    for (unsigned index = id & 15; at < total; --index) {
        const std::size_t length = units[at++];
        if (length > total - at) return {};
        if (index == 0) return std::wstring(units + at, length);
        at += length;
    }
    return {};
}

}  // namespace orvo
