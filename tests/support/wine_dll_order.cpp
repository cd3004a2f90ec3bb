#include "support/wine_dll_order.h"

#include <windows.h>

#include "foundation/unique_handle.h"
#include "support/harness_error.h"

namespace orvo::test {

namespace {

std::wstring OverridesKey(const std::wstring& executable) {
    return L"Software\\Wine\\AppDefaults\\" + executable + L"\\DllOverrides";
}

bool WriteNativeFirst(const std::wstring& executable, const std::wstring& library) {
    static constexpr wchar_t kOrder[] = L"native,builtin";
    HKEY raw = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, OverridesKey(executable).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return false;
    UniqueRegKey key(raw);
    return RegSetValueExW(key.get(), library.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(kOrder),
                          sizeof kOrder) == ERROR_SUCCESS;
}

}  // namespace

NativeLibraryFirst::NativeLibraryFirst(std::vector<std::wstring> executables, std::wstring library)
    : library_(std::move(library)) {
    for (std::wstring& executable : executables) {
        executables_.push_back(std::move(executable));
        if (WriteNativeFirst(executables_.back(), library_)) continue;
        RemoveAll();
        throw HarnessError(L"cannot write the library order of " + executables_.back());
    }
}

NativeLibraryFirst::~NativeLibraryFirst() { RemoveAll(); }

void NativeLibraryFirst::RemoveAll() const {
    for (const std::wstring& executable : executables_) {
        HKEY raw = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, OverridesKey(executable).c_str(), 0, KEY_SET_VALUE, &raw) !=
            ERROR_SUCCESS)
            continue;
        UniqueRegKey key(raw);
        RegDeleteValueW(key.get(), library_.c_str());
    }
}

}  // namespace orvo::test
