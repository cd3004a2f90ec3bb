#include "config/layered_lookup.h"

namespace orvo {

std::wstring LayeredLookup(const ConfigOverlay& overlay, const ConfigSource& file,
                           const wchar_t* section, const wchar_t* key) {
    std::wstring fileValue = file.ReadString(section, key);
    if (!fileValue.empty()) {
        return fileValue;
    }
    std::wstring result = overlay.Find(section, key).value_or(std::wstring());
    const std::wstring continuation = file.ReadString((std::wstring(section) + L"+").c_str(), key);
    if (!continuation.empty()) {
        // The continuation extends a list-like value (VM parameters, class path), so it
        // is kept apart from whatever precedes it.
        if (continuation.front() != L' ') {
            result += L' ';
        }
        result += continuation;
    }
    return result;
}

}  // namespace orvo
