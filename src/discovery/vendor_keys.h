#pragma once
// The registry keys where Java runtimes register themselves, by vendor and kind,
// and which of them a search uses. Pure.
#include <span>

#include "config/jvm_search_prefs.h"

namespace orvo {

enum class RuntimeKind { Jdk, Jre };
// The VM family a key stands for, which "VM Provider" allows and favours: JavaSoft
// is Sun/Oracle HotSpot and every other vendor's HotSpot build; Ibm is IBM's J9
// and the OpenJ9 builds.
enum class RuntimeVendor { JavaSoft, JRockit, Ibm };

struct VendorKey {
    const wchar_t* path;  // under HKEY_LOCAL_MACHINE (and HKEY_CURRENT_USER), ending in "\"
    RuntimeKind kind;
    RuntimeVendor vendor;
    bool homeInJreFolder;     // the runtime lives in the registered folder + "jre\"
    bool clientBeforeServer;  // a favour_server preference does not apply to it
    // Where a version subkey names the runtime's folder: the value `homeValue` of
    // its subkey `homeSubkey` (empty: of the version subkey itself).
    const wchar_t* homeSubkey = L"";
    const wchar_t* homeValue = L"JavaHome";
    // The runtime's version comes from its "release" file; the subkey name serves
    // only when that file names none.
    bool versionFromRelease = false;
    bool perUserToo = false;  // also searched under HKEY_CURRENT_USER
};

// Every vendor key, in the order they are searched.
std::span<const VendorKey> AllVendorKeys();

// True when `prefs` allow both the key's kind and its vendor.
bool IsVendorKeySearched(const VendorKey& key, const JvmSearchPrefs& prefs);

// True when `prefs` favour both the key's kind and its vendor.
bool IsVendorKeyPreferred(const VendorKey& key, const JvmSearchPrefs& prefs);

}  // namespace orvo
