#pragma once
// The application's per-user class-data cache ("Class Data Cache"): a dynamic archive
// or an ahead-of-time cache (class_data_archive.h) that makes later starts faster.
#include <jni.h>

#include <string>
#include <vector>

#include "config/launcher_settings.h"

namespace orvo {

// The options that have the runtime of jvmPath use (and, where missing, write or
// record) the cache of the launcher at launcherPath for this class path, in the
// product's per-user folder, which is made if need be. Caches of the launcher made
// from another runtime or other class path entries are removed; a cache file that the
// runtime could not use is readied or removed first. The options, with their paths in
// a form the ANSI code page holds, or none when anything stands in the way (the trace
// says what): the cache only makes starts faster.
std::vector<std::wstring> ClassDataCacheOptions(const std::wstring& jvmPath, const std::wstring& launcherPath,
                                                const LauncherSettings& settings, const std::wstring& classPath);

// Call with the VM's options just before it is created: when they record an AOT
// configuration, its assembly is prepared and the result is true.
bool PrepareAotCacheAssembly(const std::vector<std::string>& vmOptions);

// Call on the thread that created the VM, right after: when this start gave the VM an
// AOT cache that it could not use (cut short, made with other options), the file goes,
// so that the next start makes a sound one.
void ForgetUnusedAotCache(JNIEnv* env);

// Starts the prepared assembly once the VM has ended and written the configuration:
// the runtime's java.exe, without a window, at low priority, with nothing inherited,
// left to run on after the launcher has gone. Does nothing the second time, or when
// nothing was prepared or no configuration was written.
void StartAotCacheAssembly();

}  // namespace orvo
