#pragma once
// Which JVM library of a Java runtime folder ("home") the launcher loads, and
// whether a folder looks like a runtime at all.
#include <string>

#include "config/jvm_search_prefs.h"

namespace orvo {

// Full path (home + "bin\<flavour>\jvm.dll") of the first library that exists in
// the order `type` asks for: ServerOnly only server; FavorServer server, then as
// Any; Any client, classic, hotspot, server, jrockit. `home` ends in "\"; paths
// are plain concatenations. Sets `isServer` when a path is returned; on the empty
// result (no library qualifies) `isServer` is left as it was.
std::wstring LocateJvmLibrary(const std::wstring& home, JvmType type, bool& isServer);

// True when folder + "bin\java.dll" exists; `folder` ends in "\". Reads no version.
bool HasJavaDll(const std::wstring& folder);

}  // namespace orvo
