#include "support/wine_dll_order.h"

#include <windows.h>

namespace orvo::test {

NativeLibraryFirst::NativeLibraryFirst(const std::vector<std::wstring>& executables, const std::wstring& library) {
    for (const std::wstring& executable : executables) {
        keys_.SetString(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\" + executable + L"\\DllOverrides", 0,
                        library, L"native,builtin");
    }
}

}  // namespace orvo::test
