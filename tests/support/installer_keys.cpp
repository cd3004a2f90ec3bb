#include "support/installer_keys.h"

namespace orvo::test {

std::wstring InstalledKeyPath(const InstallerKey& key, const std::wstring& name) {
    std::wstring path = std::wstring(key.vendorKey) + L"\\" + name;
    if (*key.homeSubkey != L'\0') path += L"\\" + std::wstring(key.homeSubkey);
    return path;
}

void RegisterInstalledRuntime(OwnedRegistryKeys& keys, HKEY root, REGSAM view, const InstallerKey& key,
                              const std::wstring& name, const std::wstring& home) {
    std::wstring folder = home.ends_with(L'\\') ? home : home + L"\\";
    keys.SetString(root, InstalledKeyPath(key, name), view, key.valueName, folder);
}

}  // namespace orvo::test
