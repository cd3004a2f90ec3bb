#pragma once
// The registry keys under HKEY_LOCAL_MACHINE where Java runtimes register
// themselves, by vendor and kind, and which of them a search uses. Pure.
#include <span>

#include "discovery/jvm_search_prefs.h"

namespace orvo {

enum class RuntimeKind { Jdk, Jre };
enum class RuntimeVendor { JavaSoft, JRockit, Ibm };

struct VendorKey {
    const wchar_t* path;  // under HKEY_LOCAL_MACHINE, ending in "\"
    RuntimeKind kind;
    RuntimeVendor vendor;
    bool homeInJreFolder;     // the runtime lives in JavaHome + "jre\"
    bool clientBeforeServer;  // a favour_server preference does not apply to it
};

// The seven vendor keys, in the order they are searched.
std::span<const VendorKey> AllVendorKeys();

// True when `prefs` allow both the key's kind and its vendor.
bool IsVendorKeySearched(const VendorKey& key, const JvmSearchPrefs& prefs);

// True when `prefs` favour both the key's kind and its vendor.
bool IsVendorKeyPreferred(const VendorKey& key, const JvmSearchPrefs& prefs);

}  // namespace orvo
