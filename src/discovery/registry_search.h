#pragma once
// One pass over the vendor keys of the registry: every registered runtime that the
// settings admit and that holds a JVM library, in the order the keys were read.
#include <vector>

#include "config/launcher_settings.h"
#include "discovery/jvm_candidates.h"
#include "discovery/registry_reader.h"

namespace orvo {

// The candidates of `view`. Keys under HKEY_CURRENT_USER, which has one view only,
// give in each pass the runtimes whose library fits that pass: the launcher's own
// kind in the Default pass, the pair's kind in the Wide64 pass. Every runtime found
// is traced with the reason it was taken or refused.
std::vector<JvmCandidate> CollectRegisteredRuntimes(const LauncherSettings& settings, RegistryView view);

// "32-bit view" or "64-bit view": the view a pass in `view` reads in this launcher.
const wchar_t* RegistryViewName(RegistryView view);

}  // namespace orvo
