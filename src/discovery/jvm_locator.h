#pragma once
// Finds the JVM library to load: the configured "JRE Path", the launcher's own
// folder, the runtimes registered by vendor in the registry, JAVA_HOME, and at
// last the user, through the JRE-not-found dialog.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/launcher_settings.h"
#include "discovery/jre_not_found_dialog.h"
#include "discovery/jvm_candidates.h"
#include "discovery/registry_reader.h"

namespace orvo {

struct JvmChoice {
    std::wstring jvmPath;           // full path of the JVM library
    bool runtimeNeedsPair = false;  // the paired launcher must host it
};

// The two places where the search reaches beyond the settings. The defaults are
// the real ones; tests put a launcher path of their own and a stand-in for the
// dialog here.
struct JvmSearchHooks {
    // The launcher's own path; nullopt when it cannot be had (a box was shown).
    std::function<std::optional<std::wstring>()> launcherPath;
    // Asks the user for a runtime folder; true when one was confirmed.
    std::function<bool(const LauncherSettings&, JreDialogChoice&)> askUser;

    static JvmSearchHooks Real();
};

class CJvmLocator {
public:
    explicit CJvmLocator(const LauncherSettings& settings);
    CJvmLocator(const LauncherSettings& settings, JvmSearchHooks hooks);

    // Every source in turn, then the dialog, whose confirmed folder is written back
    // as "JRE Path". True with `choice` filled in; false when the user cancelled.
    bool FindJvm(JvmChoice& choice);

    // The four sources without the dialog. True with `choice` filled in; false with
    // `choice` untouched when none of them yields a library.
    bool SearchSources(JvmChoice& choice);

    // One pass over the vendor keys in `view`: the candidate to use, if any.
    std::optional<JvmCandidate> SearchRegistry(RegistryView view);

private:
    // Takes the library `home` offers, tracing it under the name `source`.
    bool UseHome(std::wstring_view source, const std::wstring& home, JvmChoice& choice) const;
    bool TryConfiguredFolder(JvmChoice& choice);
    bool TryLauncherFolder(JvmChoice& choice);
    bool TryRegistry(JvmChoice& choice);
    bool TryJavaHome(JvmChoice& choice);
    bool AskUser(JvmChoice& choice);

    bool NeedsPair(const std::wstring& jvmPath);
    void TracePair(const std::wstring& jvmPath) const;
    bool PairIsUsable();
    const std::optional<std::wstring>& LauncherPath();

    const LauncherSettings& settings_;
    JvmSearchHooks hooks_;
    // The launcher path is asked for once, so that a failure shows one box only.
    std::optional<std::optional<std::wstring>> launcherPath_;
};

}  // namespace orvo
