#pragma once
// The per-user class-data cache ("Class Data Cache"): which kind a runtime can keep,
// and the options that have it use one. Pure.
//
// Java 25 and later keep an ahead-of-time cache: a start without one records what the
// program loaded (the VM writes a configuration file as it ends), a separate process
// turns that into the cache after the launcher has gone, and later starts map it.
// Java 19 to 24 keep a dynamic archive on top of the runtime's own base archive
// (bin\server\classes.jsa): the VM writes it as it ends and renews a stale one by
// itself. Older runtimes, and those between 19 and 24 without a base archive, keep
// none. A file that is not what the runtime wrote never reaches it: it would cost
// every later start its cache.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvo {

// The first Java release that creates and refreshes a dynamic archive by itself.
inline constexpr int kFirstAutoArchiveJava = 19;
// The first Java release that records and assembles an ahead-of-time cache.
inline constexpr int kFirstAotCacheJava = 25;

// The Java feature release a version text names: 8 for "1.8.0_292", 21 for "21.0.5"
// or "21-ea"; nullopt for a text without one.
std::optional<int> JavaFeatureRelease(std::wstring_view versionText);

enum class ClassDataCacheKind { kNone, kDynamicArchive, kAotCache };

struct ClassDataCacheChoice {
    ClassDataCacheKind kind = ClassDataCacheKind::kNone;
    std::wstring whyNone;  // for the trace, when kind is kNone
};

// The kind the runtime of that version can keep; hasBaseArchive: its JVM folder holds
// classes.jsa, which a dynamic archive builds on (jlink leaves it out by default).
ClassDataCacheChoice ChooseClassDataCache(std::wstring_view runtimeVersion, bool hasBaseArchive);

// True when the VM parameters setting already speaks of class-data sharing (-Xshare,
// an archive or an AOT option): the user's choice then stands alone, since the VM
// refuses some pairings outright (recording with sharing off, say).
bool VmParametersManageClassData(std::wstring_view vmParameters);

// The file extension of a kind's cache: ".jsa" or ".aot"; empty for kNone.
std::wstring_view ClassDataCacheExtension(ClassDataCacheKind kind);
// The configuration an AOT recording writes beside the cache it is for: its name with
// ".config" added (not an extension beginning with "aot", whose short name a "*.aot"
// pattern would find).
std::wstring AotConfigurationPath(std::wstring_view cachePath);

// The options that have the runtime use the cache at cachePath: for a dynamic archive,
// write or renew it; for an AOT cache, map it when `cacheExists`, else record the
// configuration it is assembled from. Each also keeps the runtime's own messages about
// the cache off the program's output. None for kNone.
std::vector<std::wstring> ClassDataCacheOptions(ClassDataCacheKind kind, std::wstring_view cachePath,
                                                bool cacheExists);

// True when `head`, the first bytes of a cache file, begins as the runtime writes that
// kind: a dynamic archive with 0xF00BABA8, an AOT cache (a static archive) with
// 0xF00BABA2, both little-endian. The runtime writes that header last.
bool LooksLikeClassDataCache(ClassDataCacheKind kind, std::string_view head);

// The arguments (after the program name) of the runtime's java.exe that assembles the
// AOT cache from the configuration a start recorded with these VM options: the same
// options where they shape the cache (class path, modules, heap and GC), without
// agents, logging or sharing options, then the assembly's own, naming the cache
// beside the configuration. None when the options record no configuration.
std::vector<std::wstring> AotAssemblyArguments(const std::vector<std::wstring>& vmOptions);

// One command line of program and arguments, each quoted so that the Windows C
// runtime's rules give them back unchanged.
std::wstring CommandLineOf(std::wstring_view program, const std::vector<std::wstring>& arguments);

}  // namespace orvo
