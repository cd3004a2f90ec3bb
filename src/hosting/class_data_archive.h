#pragma once
// The application class-data archive kept per user ("Class Data Cache"): a runtime of
// Java 19 or later writes the classes the program loaded into it when the VM ends, and
// maps it at the next start instead of loading and checking them again. The runtime
// checks the archive itself and writes a new one in place of an unusable or stale
// file, so a broken archive costs one slower start, never a failed one. Pure.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvo {

// The first Java release that creates and refreshes such an archive by itself.
inline constexpr int kFirstAutoArchiveJava = 19;

// The Java feature release a version text names: 8 for "1.8.0_292", 21 for "21.0.5"
// or "21-ea"; nullopt for a text without one.
std::optional<int> JavaFeatureRelease(std::wstring_view versionText);

// The archive's file name: the launcher's file name without its extension, then the
// runtime's version, so that two launchers of one product, and two runtimes, never
// share an archive ("MyApp64-21.0.5.jsa"). Characters that do not belong in a file
// name become "_"; a version text longer than a real one is cut.
std::wstring ClassDataArchiveName(std::wstring_view launcherPath, std::wstring_view runtimeVersion);

// True when `head`, the first bytes of an archive file, begins as an archive the
// runtime wrote. The runtime renews a stale archive by itself, but takes any other
// file at that path for an unusable base archive: it then turns class-data sharing
// off altogether, start after start, and never writes a new one.
bool LooksLikeClassDataArchive(std::string_view head);

// The options that have the runtime use `archivePath`, creating or renewing it as
// needed, and keep its complaints about an archive it renews off the program's
// output; none for a runtime before Java 19 or of unknown version.
std::vector<std::wstring> ClassDataArchiveOptions(std::wstring_view runtimeVersion, std::wstring_view archivePath);

}  // namespace orvo
