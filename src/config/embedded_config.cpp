#include "config/embedded_config.h"

#include <windows.h>

#include <string_view>

#include "config/embedded_config_text.h"

namespace orvo {

std::wstring ReadEmbeddedConfig() {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, reinterpret_cast<const wchar_t*>(kEmbeddedConfigResourceName), RT_RCDATA);
    if (!found) return {};
    // A resource lives in the mapped image: nothing to free, and its size is only
    // trusted after the decoder has bounded it.
    const DWORD size = SizeofResource(self, found);
    HGLOBAL loaded = LoadResource(self, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || size == 0) return {};
    const std::u16string text = DecodeEmbeddedConfig(std::string_view(static_cast<const char*>(data), size));
    return std::wstring(text.begin(), text.end());
}

}  // namespace orvo
