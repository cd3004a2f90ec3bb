#pragma once
// Where today's Java installers register a runtime, and registration the way they
// write it, through the keys a test owns.
#include <windows.h>

#include <string>

#include "support/registry_keys.h"

namespace orvo::test {

// The value `valueName` of <vendorKey>\<name>\<homeSubkey> (of <vendorKey>\<name>
// when homeSubkey is empty) names the runtime's folder.
struct InstallerKey {
    const wchar_t* vendorKey;
    const wchar_t* homeSubkey;
    const wchar_t* valueName;
};
inline constexpr InstallerKey kTemurinJdk{L"Software\\Eclipse Adoptium\\JDK", L"hotspot\\MSI", L"Path"};
inline constexpr InstallerKey kTemurinJre{L"Software\\Eclipse Adoptium\\JRE", L"hotspot\\MSI", L"Path"};
inline constexpr InstallerKey kAdoptiumOpenJ9Jdk{L"Software\\Eclipse Adoptium\\JDK", L"openj9\\MSI", L"Path"};
inline constexpr InstallerKey kAdoptOpenJdkJdk{L"Software\\AdoptOpenJDK\\JDK", L"hotspot\\MSI", L"Path"};
inline constexpr InstallerKey kAdoptOpenJdkJre{L"Software\\AdoptOpenJDK\\JRE", L"hotspot\\MSI", L"Path"};
inline constexpr InstallerKey kAdoptOpenJdkOpenJ9Jre{L"Software\\AdoptOpenJDK\\JRE", L"openj9\\MSI", L"Path"};
inline constexpr InstallerKey kEclipseFoundationJdk{L"Software\\Eclipse Foundation\\JDK", L"hotspot\\MSI", L"Path"};
inline constexpr InstallerKey kMicrosoftJdk{L"Software\\Microsoft\\JDK", L"hotspot\\MSI", L"Path"};
inline constexpr InstallerKey kSemeruJdk{L"Software\\Semeru\\JDK", L"openj9\\MSI", L"Path"};
inline constexpr InstallerKey kSemeruJre{L"Software\\Semeru\\JRE", L"openj9\\MSI", L"Path"};
inline constexpr InstallerKey kZulu{L"Software\\Azul Systems\\Zulu", L"", L"InstallationPath"};
inline constexpr InstallerKey kLiberica{L"Software\\BellSoft\\Liberica", L"", L"InstallationPath"};

// The registry path of the key that holds the folder value.
std::wstring InstalledKeyPath(const InstallerKey& key, const std::wstring& name);

// The runtime at `home` as its installer registers it under the subkey `name`, in
// `root` (HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER) and `view`: the folder with a
// trailing backslash, a REG_SZ.
void RegisterInstalledRuntime(OwnedRegistryKeys& keys, HKEY root, REGSAM view, const InstallerKey& key,
                              const std::wstring& name, const std::wstring& home);

}  // namespace orvo::test
