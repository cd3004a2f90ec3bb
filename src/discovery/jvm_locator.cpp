#include "discovery/jvm_locator.h"

#include <utility>

#include "config/jre_path_write_back.h"
#include "discovery/jvm_library.h"
#include "discovery/pair_machine_check.h"
#include "discovery/registry_search.h"
#include "discovery/runtime_code_page.h"
#include "discovery/search_trace_text.h"
#include "foundation/launcher_path.h"
#include "foundation/path_names.h"
#include "foundation/path_text.h"
#include "foundation/text_format.h"
#include "foundation/trace.h"

namespace orvo {
namespace {

constexpr wchar_t kJavaHomeReference[] = L"%JAVA_HOME%";

void TraceRefused(std::wstring_view source, const std::wstring& reason) {
    if (TraceEnabled()) Trace(L"search", FillTemplate(L"%s: refused, %s", {source, reason}));
}

// The order the search ended up with, when there was a choice to make.
void TraceRanking(const std::vector<JvmCandidate>& sorted, const JvmCandidate& chosen) {
    if (!TraceEnabled()) return;
    for (std::size_t i = 0; sorted.size() > 1 && i < sorted.size(); ++i) {
        Trace(L"search", L"rank " + DecimalText(i + 1) + L": " + sorted[i].source + L", version " +
                             JavaVersion::Format(sorted[i].version) + (sorted[i].preferred ? L", favoured" : L"") +
                             (sorted[i].isServer ? L", server" : L""));
    }
    Trace(L"search", L"chosen " + chosen.source + L", version " + JavaVersion::Format(chosen.version) +
                         (&chosen == &sorted.front() ? L", first in order" : L", by Preferred versions"));
}

}  // namespace

JvmSearchHooks JvmSearchHooks::Real() { return {GetLauncherPath, RunJreNotFoundDialog}; }

CJvmLocator::CJvmLocator(const LauncherSettings& settings)
    : CJvmLocator(settings, JvmSearchHooks::Real()) {}

CJvmLocator::CJvmLocator(const LauncherSettings& settings, JvmSearchHooks hooks)
    : settings_(settings), hooks_(std::move(hooks)) {}

bool CJvmLocator::FindJvm(JvmChoice& choice) {
    return SearchSources(choice) || AskUser(choice);
}

bool CJvmLocator::SearchSources(JvmChoice& choice) {
    JvmChoice found;
    if (!TryConfiguredFolder(found) && !TryLauncherFolder(found) && !TryRegistry(found) &&
        !TryJavaHome(found)) {
        return false;
    }
    choice = std::move(found);
    return true;
}

bool CJvmLocator::UseHome(std::wstring_view source, const std::wstring& home, JvmChoice& choice) const {
    bool isServer = false;
    JvmType type = settings_.searchPrefs.jvmType;
    choice.jvmPath = LocateJvmLibrary(home, type, isServer);
    if (choice.jvmPath.empty()) {
        TraceRefused(source, L"no JVM library in " + home + L" for " + DescribeJvmType(type));
        return false;
    }
    if (std::wstring refusal = ProcessCodePageRefusal(home); !refusal.empty()) {
        TraceRefused(source, refusal);
        choice.jvmPath.clear();
        return false;
    }
    if (TraceEnabled()) Trace(L"search", FillTemplate(L"%s: taken, %s", {source, choice.jvmPath}));
    return true;
}

bool CJvmLocator::TryConfiguredFolder(JvmChoice& choice) {
    if (settings_.jrePath.empty()) {
        Trace(L"search", L"JRE Path: not set");
        return false;
    }
    if (!UseHome(L"JRE Path", WithTrailingBackslash(settings_.jrePath), choice)) return false;
    choice.runtimeNeedsPair = NeedsPair(choice.jvmPath);
    return true;
}

bool CJvmLocator::TryLauncherFolder(JvmChoice& choice) {
    const std::optional<std::wstring>& launcherPath = LauncherPath();
    const std::size_t cut = launcherPath ? launcherPath->rfind(L'\\') : std::wstring::npos;
    if (cut == std::wstring::npos) return false;
    std::wstring folder = launcherPath->substr(0, cut + 1);
    // A folder that carries the marker itself is the runtime or nothing: its "jre"
    // subfolder is looked at only when the folder is not a runtime.
    if (!HasJavaDll(folder)) {
        folder += L"jre\\";
        if (!HasJavaDll(folder)) {
            TraceRefused(L"launcher folder", L"no bin\\java.dll in " + folder.substr(0, cut + 1) + L" or " + folder);
            return false;
        }
    }
    if (!UseHome(L"launcher folder", folder, choice)) return false;
    // A bundled runtime of the other architecture is just as unloadable here as a
    // configured one, so it gets the same check.
    choice.runtimeNeedsPair = NeedsPair(choice.jvmPath);
    return true;
}

bool CJvmLocator::TryRegistry(JvmChoice& choice) {
    std::optional<JvmCandidate> candidate = SearchRegistry(RegistryView::Default);
    bool fromWideView = false;
    // The 64-bit launcher's own view is the 64-bit one already; the 32-bit launcher
    // looks there only when it has a pair to host what it finds.
    if (!candidate && !kLauncherIs64Bit && PairIsUsable()) {
        candidate = SearchRegistry(RegistryView::Wide64);
        fromWideView = candidate.has_value();
    }
    if (!candidate || !UseHome(L"registry", candidate->home, choice)) return false;
    choice.runtimeNeedsPair = fromWideView;
    if (fromWideView) TracePair(choice.jvmPath);
    return true;
}

bool CJvmLocator::TryJavaHome(JvmChoice& choice) {
    std::wstring expanded = ExpandEnvironment(kJavaHomeReference);
    if (expanded.empty() || expanded == kJavaHomeReference) {
        Trace(L"search", L"JAVA_HOME: not set");
        return false;
    }
    std::wstring home = WithTrailingBackslash(std::move(expanded));
    if (!HasJavaDll(home)) {
        TraceRefused(L"JAVA_HOME", L"no bin\\java.dll in " + home);
        return false;
    }
    if (!UseHome(L"JAVA_HOME", home, choice)) return false;
    choice.runtimeNeedsPair = NeedsPair(choice.jvmPath);
    return true;
}

bool CJvmLocator::AskUser(JvmChoice& choice) {
    Trace(L"search", L"no source gave a runtime: asking the user");
    JreDialogChoice picked;
    if (!hooks_.askUser || !hooks_.askUser(settings_, picked)) {
        Trace(L"search", L"the user gave no runtime");
        return false;
    }
    if (TraceEnabled()) Trace(L"search", L"the user chose " + picked.folder + L": taken, " + picked.jvmPath);
    choice.jvmPath = picked.jvmPath;
    choice.runtimeNeedsPair = NeedsPair(choice.jvmPath);
    if (const std::optional<std::wstring>& launcherPath = LauncherPath()) {
        WriteBackJrePathFor(*launcherPath, picked.folder, settings_);
    }
    return true;
}

std::optional<JvmCandidate> CJvmLocator::SearchRegistry(RegistryView view) {
    std::vector<JvmCandidate> candidates = CollectRegisteredRuntimes(settings_, view);
    if (candidates.empty()) {
        Trace(L"search", std::wstring(L"registry (") + RegistryViewName(view) + L"): no candidate");
        return std::nullopt;
    }
    SortCandidates(candidates, settings_.searchPrefs);
    const JvmCandidate& chosen = SelectCandidate(candidates, settings_.preferredVersions);
    TraceRanking(candidates, chosen);
    return chosen;
}

bool CJvmLocator::NeedsPair(const std::wstring& jvmPath) {
    const std::optional<std::wstring>& launcherPath = LauncherPath();
    bool needsPair = CheckPairRuntimeMachine(jvmPath, settings_.pairProduct, launcherPath.value_or(L""));
    if (needsPair) TracePair(jvmPath);
    return needsPair;
}

void CJvmLocator::TracePair(const std::wstring& jvmPath) const {
    if (TraceEnabled()) Trace(L"search", L"the paired launcher " + settings_.pairProduct + L" is to host " + jvmPath);
}

bool CJvmLocator::PairIsUsable() {
    const std::optional<std::wstring>& launcherPath = LauncherPath();
    return IsUsablePair(settings_.pairProduct, launcherPath.value_or(L""));
}

const std::optional<std::wstring>& CJvmLocator::LauncherPath() {
    if (!launcherPath_) {
        launcherPath_.emplace(hooks_.launcherPath ? hooks_.launcherPath() : std::nullopt);
    }
    return *launcherPath_;
}

}  // namespace orvo
