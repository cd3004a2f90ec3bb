#pragma once
// The registry keys Java runtimes register under, in the test prefix: a guard that
// keeps them empty around a test, and registration as the installers write it.
#include <windows.h>

#include <cstddef>
#include <string>

namespace orvo::test {

// Where one of today's installers registers a runtime: the value `valueName` of
// <vendorKey>\<name>\<homeSubkey> (of <vendorKey>\<name> when homeSubkey is empty).
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

// The vendor keys are machine-wide (and, for today's installers, per-user) names,
// so a test starts and ends with none of them in either view, also when it fails
// half-way. Only the tests create them in the test prefix: anything found at the
// start is a leftover of an interrupted run. Of a vendor's folder (Software\JavaSoft,
// Software\Eclipse Adoptium, ...) only what the tests create goes, and the folder
// itself only when nothing else is left in it; Software\Microsoft keeps all but JDK.
class VendorRegistry {
public:
    VendorRegistry() { RemoveAll(); }
    ~VendorRegistry() { RemoveAll(); }
    VendorRegistry(const VendorRegistry&) = delete;
    VendorRegistry& operator=(const VendorRegistry&) = delete;

    static void RemoveAll();

    // Creates root\path in `view` (a KEY_WOW64_ flag) and sets the value `valueName`
    // to the bytes given; no bytes: the key without the value. Throws HarnessError.
    static void Register(HKEY root, REGSAM view, const std::wstring& path, const wchar_t* valueName, DWORD type,
                         const void* data, std::size_t size);
    // The value as installers write a folder: a REG_SZ (with its NUL).
    static void Register(HKEY root, REGSAM view, const std::wstring& path, const wchar_t* valueName,
                         const std::wstring& text);
    // The runtime at `home` as its installer registers it under the subkey `name`:
    // the folder with a trailing backslash.
    static void RegisterInstalled(HKEY root, REGSAM view, const InstallerKey& key, const std::wstring& name,
                                  const std::wstring& home);
    // The registry path of that value's key.
    static std::wstring InstalledKeyPath(const InstallerKey& key, const std::wstring& name);
};

}  // namespace orvo::test
