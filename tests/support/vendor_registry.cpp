#include "support/vendor_registry.h"

#include "foundation/unique_handle.h"
#include "support/harness_error.h"

namespace orvo::test {
namespace {

constexpr const wchar_t* kClassicKeys[] = {
    L"Software\\JavaSoft\\JDK",
    L"Software\\JavaSoft\\JRE",
    L"Software\\JavaSoft\\Java Development Kit",
    L"Software\\JavaSoft\\Java Runtime Environment",
    L"Software\\JRockit\\Java Runtime Environment",
    L"Software\\JRockit\\Java Development Kit",
    L"Software\\IBM\\Java2 Runtime Environment"};
// Searched under HKEY_CURRENT_USER as well.
constexpr const wchar_t* kInstallerKeys[] = {
    L"Software\\Eclipse Adoptium\\JDK", L"Software\\Eclipse Adoptium\\JRE", L"Software\\AdoptOpenJDK\\JDK",
    L"Software\\AdoptOpenJDK\\JRE",     L"Software\\Eclipse Foundation\\JDK", L"Software\\Microsoft\\JDK",
    L"Software\\Semeru\\JDK",           L"Software\\Semeru\\JRE",             L"Software\\Azul Systems\\Zulu",
    L"Software\\BellSoft\\Liberica"};
// The vendors' own folders: removed when the tests' keys were all they held.
constexpr const wchar_t* kClassicFolders[] = {L"Software\\JavaSoft", L"Software\\JRockit", L"Software\\IBM"};
constexpr const wchar_t* kInstallerFolders[] = {L"Software\\Eclipse Adoptium", L"Software\\AdoptOpenJDK",
                                                L"Software\\Eclipse Foundation", L"Software\\Semeru",
                                                L"Software\\Azul Systems", L"Software\\BellSoft"};

void RemoveTree(HKEY root, const wchar_t* path, REGSAM view) {
    UniqueRegKey key;
    if (RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS | view, key.put()) != ERROR_SUCCESS) return;
    RegDeleteTreeW(key.get(), nullptr);
    key.reset();
    RegDeleteKeyExW(root, path, view, 0);
}

}  // namespace

// RegDeleteKeyExW removes no key that still has subkeys, which keeps a vendor's
// folder that holds anything else.
void VendorRegistry::RemoveAll() {
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        for (const wchar_t* path : kClassicKeys) RemoveTree(HKEY_LOCAL_MACHINE, path, view);
        for (const wchar_t* folder : kClassicFolders) RegDeleteKeyExW(HKEY_LOCAL_MACHINE, folder, view, 0);
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            for (const wchar_t* path : kInstallerKeys) RemoveTree(root, path, view);
            for (const wchar_t* folder : kInstallerFolders) RegDeleteKeyExW(root, folder, view, 0);
        }
    }
}

void VendorRegistry::Register(HKEY root, REGSAM view, const std::wstring& path, const wchar_t* valueName, DWORD type,
                              const void* data, std::size_t size) {
    UniqueRegKey key;
    LSTATUS status =
        RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) throw HarnessError(L"cannot create the key " + path, status);
    if (data == nullptr) return;
    status = RegSetValueExW(key.get(), valueName, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    if (status != ERROR_SUCCESS) throw HarnessError(L"cannot set " + std::wstring(valueName) + L" of " + path, status);
}

void VendorRegistry::Register(HKEY root, REGSAM view, const std::wstring& path, const wchar_t* valueName,
                              const std::wstring& text) {
    Register(root, view, path, valueName, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

std::wstring VendorRegistry::InstalledKeyPath(const InstallerKey& key, const std::wstring& name) {
    std::wstring path = std::wstring(key.vendorKey) + L"\\" + name;
    if (*key.homeSubkey != L'\0') path += L"\\" + std::wstring(key.homeSubkey);
    return path;
}

void VendorRegistry::RegisterInstalled(HKEY root, REGSAM view, const InstallerKey& key, const std::wstring& name,
                                       const std::wstring& home) {
    std::wstring folder = home.ends_with(L'\\') ? home : home + L"\\";
    Register(root, view, InstalledKeyPath(key, name), key.valueName, folder);
}

}  // namespace orvo::test
