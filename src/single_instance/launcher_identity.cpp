#include "single_instance/launcher_identity.h"

#include <windows.h>

#include "foundation/final_path.h"

namespace orvo {

std::optional<std::wstring> ExecutableIdentity(const std::wstring& path) {
    const std::optional<std::wstring> finalPath = CanonicalPath(path);
    if (!finalPath || finalPath->empty()) return std::nullopt;
    const int length = static_cast<int>(finalPath->size());
    std::wstring identity(finalPath->size(), L'\0');
    // Upper-casing keeps the length for every letter a path can hold.
    if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, finalPath->c_str(), length, identity.data(), length) != length)
        return std::nullopt;
    return identity;
}

}  // namespace orvo
