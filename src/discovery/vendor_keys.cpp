#include "discovery/vendor_keys.h"

namespace orvo {
namespace {

using enum RuntimeKind;
using enum RuntimeVendor;

// The two old JDK keys point at the JDK folder, whose runtime is its "jre"
// subfolder; the newer JavaSoft JDK key points at a runtime directly. The old
// JavaSoft JRE key belongs to runtimes whose server library is not the one to
// prefer when a client one is there.
constexpr VendorKey kVendorKeys[] = {
    {L"Software\\JavaSoft\\JDK\\", Jdk, JavaSoft, false, false},
    {L"Software\\JavaSoft\\JRE\\", Jre, JavaSoft, false, false},
    {L"Software\\JavaSoft\\Java Development Kit\\", Jdk, JavaSoft, true, false},
    {L"Software\\JavaSoft\\Java Runtime Environment\\", Jre, JavaSoft, false, true},
    {L"Software\\JRockit\\Java Runtime Environment\\", Jre, JRockit, false, false},
    {L"Software\\JRockit\\Java Development Kit\\", Jdk, JRockit, true, false},
    {L"Software\\IBM\\Java2 Runtime Environment\\", Jre, Ibm, false, false},
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
