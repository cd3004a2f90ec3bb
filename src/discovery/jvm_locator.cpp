#include "discovery/jvm_locator.h"

#include <utility>

#include "config/jre_path_write_back.h"
#include "discovery/jvm_library.h"
#include "discovery/pair_machine_check.h"
#include "foundation/paths.h"

namespace orvo {
namespace {

constexpr wchar_t kJavaHomeReference[] = L"%JAVA_HOME%";

std::wstring WithTrailingBackslash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
}

JvmType LibraryTypeFor(const VendorKey& vendorKey, JvmType configured) {
    if (vendorKey.clientBeforeServer && configured == JvmType::FavorServer) return JvmType::Any;
    return configured;
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

bool CJvmLocator::UseHome(const std::wstring& home, JvmChoice& choice) const {
    bool isServer = false;
    choice.jvmPath = LocateJvmLibrary(home, settings_.searchPrefs.jvmType, isServer);
    return !choice.jvmPath.empty();
}

bool CJvmLocator::TryConfiguredFolder(JvmChoice& choice) {
    if (settings_.jrePath.empty()) return false;
    if (!UseHome(WithTrailingBackslash(settings_.jrePath), choice)) return false;
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
        if (!HasJavaDll(folder)) return false;
    }
    if (!UseHome(folder, choice)) return false;
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
    if (!candidate || !UseHome(candidate->home, choice)) return false;
    choice.runtimeNeedsPair = fromWideView;
    return true;
}

bool CJvmLocator::TryJavaHome(JvmChoice& choice) {
    std::wstring expanded = ExpandEnvironment(kJavaHomeReference);
    if (expanded.empty() || expanded == kJavaHomeReference) return false;
    std::wstring home = WithTrailingBackslash(std::move(expanded));
    if (!HasJavaDll(home) || !UseHome(home, choice)) return false;
    choice.runtimeNeedsPair = NeedsPair(choice.jvmPath);
    return true;
}

bool CJvmLocator::AskUser(JvmChoice& choice) {
    JreDialogChoice picked;
    if (!hooks_.askUser || !hooks_.askUser(settings_, picked)) return false;
    choice.jvmPath = picked.jvmPath;
    choice.runtimeNeedsPair = NeedsPair(choice.jvmPath);
    if (const std::optional<std::wstring>& launcherPath = LauncherPath()) {
        WriteBackJrePathFor(*launcherPath, picked.folder, settings_);
    }
    return true;
}

std::optional<JvmCandidate> CJvmLocator::SearchRegistry(RegistryView view) {
    std::vector<JvmCandidate> candidates;
    for (const VendorKey& vendorKey : AllVendorKeys()) {
        if (IsVendorKeySearched(vendorKey, settings_.searchPrefs)) {
            CollectFromKey(vendorKey, view, candidates);
        }
    }
    if (candidates.empty()) return std::nullopt;
    SortCandidates(candidates, settings_.searchPrefs);
    return SelectCandidate(candidates, settings_.preferredVersions);
}

void CJvmLocator::CollectFromKey(const VendorKey& vendorKey, RegistryView view,
                                 std::vector<JvmCandidate>& candidates) const {
    std::optional<UniqueRegKey> key = OpenRegistryKey(HKEY_LOCAL_MACHINE, vendorKey.path, view);
    if (!key) return;
    for (const std::wstring& name : RegistrySubkeyNames(key->get())) {
        JavaVersion version = JavaVersion::Parse(name, JavaVersion::kFillLow).version;
        if (!settings_.versionRange.Admits(version)) continue;
        if (std::optional<JvmCandidate> candidate = ReadJavaHome(vendorKey, key->get(), name, view)) {
            candidate->version = version;
            candidates.push_back(std::move(*candidate));
        }
    }
}

std::optional<JvmCandidate> CJvmLocator::ReadJavaHome(const VendorKey& vendorKey,
                                                      HKEY vendorHandle,
                                                      const std::wstring& subkeyName,
                                                      RegistryView view) const {
    std::optional<UniqueRegKey> subkey = OpenRegistryKey(vendorHandle, subkeyName, view);
    if (!subkey) return std::nullopt;
    std::optional<std::wstring> javaHome = ReadRegistryText(subkey->get(), L"JavaHome");
    if (!javaHome || javaHome->empty()) return std::nullopt;
    JvmCandidate candidate;
    candidate.home = WithTrailingBackslash(std::move(*javaHome));
    if (vendorKey.homeInJreFolder) candidate.home += L"jre\\";
    JvmType type = LibraryTypeFor(vendorKey, settings_.searchPrefs.jvmType);
    if (LocateJvmLibrary(candidate.home, type, candidate.isServer).empty()) return std::nullopt;
    candidate.preferred = IsVendorKeyPreferred(vendorKey, settings_.searchPrefs);
    return candidate;
}

bool CJvmLocator::NeedsPair(const std::wstring& jvmPath) {
    const std::optional<std::wstring>& launcherPath = LauncherPath();
    return CheckPairRuntimeMachine(jvmPath, settings_.pairProduct, launcherPath.value_or(L""));
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
