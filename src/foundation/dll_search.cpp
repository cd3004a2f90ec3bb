#include "foundation/dll_search.h"

namespace orvo {

void RemoveCurrentFolderFromDllSearch() noexcept {
    // Any DLL directory replaces the current folder in the standard and the altered
    // search order. An empty one would do on Windows, but wine then keeps the
    // current folder; System32, which the search visits next anyway, adds nothing
    // new. SetDefaultDllDirectories would go further but would also drop Path, which
    // native libraries of Java programs rely on.
    wchar_t system[MAX_PATH];
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !SetDllDirectoryW(system)) SetDllDirectoryW(L"");
}

}  // namespace orvo
