#pragma once
// Turns the three JVM search settings into JvmSearchPrefs.
#include <string_view>

#include "config/jvm_search_prefs.h"

namespace orvo {

// "server" gives ServerOnly, "favor_server" FavorServer (both case-sensitive);
// anything else, empty included, gives Any.
JvmType ParseJvmType(std::wstring_view value) noexcept;

// Sets jdkFavored and jreFavored from "JVM Source" (case-sensitive words favor_JRE,
// favor_JDK, only_JRE, only_JDK); an empty value favours both kinds. bothSources is
// changed only by a non-empty value: true for the favor_ words, false otherwise.
void ApplyJvmSource(std::wstring_view value, JvmSearchPrefs& prefs) noexcept;

// Sets the six vendor flags from "VM Provider" (jrockit, ibm, favor_sun,
// favor_jrockit, favor_ibm, any; any letter case). Any other value, empty
// included, leaves the flags untouched.
void ApplyVmProvider(std::wstring_view value, JvmSearchPrefs& prefs) noexcept;

}  // namespace orvo
