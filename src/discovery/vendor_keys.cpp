#include "discovery/vendor_keys.h"

namespace orvo {
namespace {

using enum RuntimeKind;
using enum RuntimeVendor;

constexpr wchar_t kHotSpotMsi[] = L"hotspot\\MSI";
constexpr wchar_t kOpenJ9Msi[] = L"openj9\\MSI";
constexpr wchar_t kMsiPath[] = L"Path";
constexpr wchar_t kInstallationPath[] = L"InstallationPath";

constexpr VendorKey Installed(const wchar_t* path, RuntimeKind kind, RuntimeVendor vendor, const wchar_t* homeSubkey,
                              const wchar_t* homeValue) {
    return {path, kind, vendor, false, false, homeSubkey, homeValue, true, true};
}

// The two old JDK keys point at the JDK folder, whose runtime is its "jre"
// subfolder; the newer JavaSoft JDK key points at a runtime directly. The old
// JavaSoft JRE key belongs to runtimes whose server library is not the one to
// prefer when a client one is there.
//
// Today's installers write one subkey per runtime with its folder in a value of an
// "MSI" subkey (or of the subkey itself), often per user. Their subkey names are
// no Java version strings ("8.0.392.8" for 1.8.0_392, "zulu-17"), so the version
// comes from the runtime's own release file. Their builds of OpenJ9 count as IBM
// runtimes; Microsoft, Azul and BellSoft register development kits only.
constexpr VendorKey kVendorKeys[] = {
    {L"Software\\JavaSoft\\JDK\\", Jdk, JavaSoft, false, false},
    {L"Software\\JavaSoft\\JRE\\", Jre, JavaSoft, false, false},
    {L"Software\\JavaSoft\\Java Development Kit\\", Jdk, JavaSoft, true, false},
    {L"Software\\JavaSoft\\Java Runtime Environment\\", Jre, JavaSoft, false, true},
    {L"Software\\JRockit\\Java Runtime Environment\\", Jre, JRockit, false, false},
    {L"Software\\JRockit\\Java Development Kit\\", Jdk, JRockit, true, false},
    {L"Software\\IBM\\Java2 Runtime Environment\\", Jre, Ibm, false, false},
    Installed(L"Software\\Eclipse Adoptium\\JDK\\", Jdk, JavaSoft, kHotSpotMsi, kMsiPath),
    Installed(L"Software\\Eclipse Adoptium\\JRE\\", Jre, JavaSoft, kHotSpotMsi, kMsiPath),
    Installed(L"Software\\Eclipse Adoptium\\JDK\\", Jdk, Ibm, kOpenJ9Msi, kMsiPath),
    Installed(L"Software\\Eclipse Adoptium\\JRE\\", Jre, Ibm, kOpenJ9Msi, kMsiPath),
    Installed(L"Software\\AdoptOpenJDK\\JDK\\", Jdk, JavaSoft, kHotSpotMsi, kMsiPath),
    Installed(L"Software\\AdoptOpenJDK\\JRE\\", Jre, JavaSoft, kHotSpotMsi, kMsiPath),
    Installed(L"Software\\AdoptOpenJDK\\JDK\\", Jdk, Ibm, kOpenJ9Msi, kMsiPath),
    Installed(L"Software\\AdoptOpenJDK\\JRE\\", Jre, Ibm, kOpenJ9Msi, kMsiPath),
    Installed(L"Software\\Eclipse Foundation\\JDK\\", Jdk, JavaSoft, kHotSpotMsi, kMsiPath),
    Installed(L"Software\\Microsoft\\JDK\\", Jdk, JavaSoft, kHotSpotMsi, kMsiPath),
    Installed(L"Software\\Semeru\\JDK\\", Jdk, Ibm, kOpenJ9Msi, kMsiPath),
    Installed(L"Software\\Semeru\\JRE\\", Jre, Ibm, kOpenJ9Msi, kMsiPath),
    Installed(L"Software\\Azul Systems\\Zulu\\", Jdk, JavaSoft, L"", kInstallationPath),
    Installed(L"Software\\BellSoft\\Liberica\\", Jdk, JavaSoft, L"", kInstallationPath),
};

bool KindFavored(RuntimeKind kind, const JvmSearchPrefs& prefs) {
    return kind == Jdk ? prefs.jdkFavored : prefs.jreFavored;
}

bool VendorAllowed(RuntimeVendor vendor, const JvmSearchPrefs& prefs) {
    switch (vendor) {
        case JavaSoft:
            return prefs.sunAllowed || prefs.sunFavored;
        case JRockit:
            return prefs.jrockitAllowed || prefs.jrockitFavored;
        case Ibm:
            break;
    }
    return prefs.ibmAllowed || prefs.ibmFavored;
}

bool VendorFavored(RuntimeVendor vendor, const JvmSearchPrefs& prefs) {
    switch (vendor) {
        case JavaSoft:
            return prefs.sunFavored;
        case JRockit:
            return prefs.jrockitFavored;
        case Ibm:
            break;
    }
    return prefs.ibmFavored;
}

}  // namespace

std::span<const VendorKey> AllVendorKeys() { return kVendorKeys; }

bool IsVendorKeySearched(const VendorKey& key, const JvmSearchPrefs& prefs) {
    return (prefs.bothSources || KindFavored(key.kind, prefs)) && VendorAllowed(key.vendor, prefs);
}

bool IsVendorKeyPreferred(const VendorKey& key, const JvmSearchPrefs& prefs) {
    return KindFavored(key.kind, prefs) && VendorFavored(key.vendor, prefs);
}

}  // namespace orvo
