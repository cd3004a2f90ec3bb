#include "foundation/launcher_kind.h"

#include <windows.h>

namespace orvo {

bool IsConsoleLauncher() noexcept {
    // The headers of the running executable, which the loader has mapped and checked.
    const auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI;
}

}  // namespace orvo
