#pragma once
// Texts the runtime search writes into the trace. Pure.
#include <string>

#include "foundation/java_version.h"
#include "config/jvm_search_prefs.h"

namespace orvo {

// "the range 11 to any": the bounds as the settings give them, "any" for an open one.
// Components left out of a bound are left out here too.
std::wstring DescribeVersionRange(const VersionRange& range);

// "JVM Type server", "JVM Type favor_server" or "any JVM Type".
std::wstring DescribeJvmType(JvmType type);

}  // namespace orvo
