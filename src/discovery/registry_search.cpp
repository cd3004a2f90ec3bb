#include "discovery/registry_search.h"

#include <windows.h>

#include <string>

#include "discovery/jvm_library.h"
#include "discovery/pair_machine_check.h"
#include "discovery/runtime_code_page.h"
#include "discovery/runtime_release.h"
#include "discovery/search_trace_text.h"
#include "discovery/vendor_keys.h"
#include "foundation/path_text.h"
#include "foundation/paths.h"
#include "foundation/pe_image_view.h"
#include "foundation/text_format.h"
#include "foundation/trace.h"

namespace orvo {
namespace {

// One version subkey of a vendor key, and what the search learns about it.
struct RegisteredRuntime {
    const VendorKey& key;
    HKEY root;  // HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER
    RegistryView view;
    HKEY vendorHandle;  // the open vendor key
    std::wstring name;  // of the version subkey
    JvmCandidate candidate;
    const wchar_t* versionOrigin = nullptr;  // set once the version is known
};

std::wstring HomeKeyPath(const RegisteredRuntime& runtime) {
    if (*runtime.key.homeSubkey == L'\0') return runtime.name;
    return runtime.name + L"\\" + runtime.key.homeSubkey;
}

std::wstring PlaceOf(const RegisteredRuntime& runtime) {
    const wchar_t* root = runtime.root == HKEY_CURRENT_USER ? L"HKCU\\" : L"HKLM\\";
    return FillTemplate(L"%s%s%s (%s)", {root, runtime.key.path, HomeKeyPath(runtime), RegistryViewName(runtime.view)});
}

// Empty when the home was read; otherwise why not.
std::wstring ReadHome(RegisteredRuntime& runtime) {
    std::optional<UniqueRegKey> subkey = OpenRegistryKey(runtime.vendorHandle, HomeKeyPath(runtime), runtime.view);
    if (!subkey) return L"the key cannot be opened";
    std::optional<std::wstring> home = ReadRegistryText(subkey->get(), runtime.key.homeValue);
    if (!home || home->empty()) return FillTemplate(L"no %s value", {runtime.key.homeValue});
    runtime.candidate.home = WithTrailingBackslash(std::move(*home));
    if (runtime.key.homeInJreFolder) runtime.candidate.home += L"jre\\";
    // A runtime removed without its key: one look-up says so, where the release file
    // and every library flavour would each be looked for in vain.
    if (!FolderExists(runtime.candidate.home)) return L"the home folder is not there";
    return {};
}

std::wstring CheckVersion(const RegisteredRuntime& runtime, const VersionRange& range) {
    if (range.Admits(runtime.candidate.version)) return {};
    return L"version outside " + DescribeVersionRange(range);
}

// Classic keys are named after the version, which is checked before anything is read.
std::wstring ReadVersionThenHome(RegisteredRuntime& runtime, const VersionRange& range) {
    runtime.candidate.version = JavaVersion::Parse(runtime.name, JavaVersion::kFillLow).version;
    runtime.versionOrigin = L"key name";
    std::wstring refusal = CheckVersion(runtime, range);
    return refusal.empty() ? ReadHome(runtime) : refusal;
}

std::wstring ReadHomeThenVersion(RegisteredRuntime& runtime, const VersionRange& range) {
    std::wstring refusal = ReadHome(runtime);
    if (!refusal.empty()) return refusal;
    std::optional<std::wstring> released = ReadReleaseVersion(runtime.candidate.home);
    JavaVersion::ParseResult fromRelease = JavaVersion::Parse(released.value_or(L""), JavaVersion::kFillLow);
    if (fromRelease.parsed) {
        runtime.candidate.version = fromRelease.version;
        runtime.versionOrigin = L"release file";
    } else {
        runtime.candidate.version = JavaVersion::Parse(runtime.name, JavaVersion::kFillLow).version;
        runtime.versionOrigin = L"key name";
    }
    return CheckVersion(runtime, range);
}

// HKEY_CURRENT_USER\Software is the same in both views, so the library itself tells
// which pass a per-user runtime belongs to. A library that does not map as an image
// is left to the launcher's own pass, which reports it when it cannot be loaded.
bool FitsPass(const std::wstring& library, RegistryView view) {
    PeImageView image(library);
    bool foreign = image.valid() && MachineNeedsPair(image.machine(), kLauncherIs64Bit);
    return foreign == (view == RegistryView::Wide64 && !kLauncherIs64Bit);
}

std::wstring CheckLibrary(RegisteredRuntime& runtime, const JvmSearchPrefs& prefs) {
    JvmType type = prefs.jvmType;
    if (runtime.key.clientBeforeServer && type == JvmType::FavorServer) type = JvmType::Any;
    std::wstring library = LocateJvmLibrary(runtime.candidate.home, type, runtime.candidate.isServer);
    if (library.empty()) return L"no JVM library in " + runtime.candidate.home + L" for " + DescribeJvmType(type);
    if (runtime.root == HKEY_CURRENT_USER && !FitsPass(library, runtime.view)) {
        bool widePass = runtime.view == RegistryView::Wide64;
        return L"its library " + library + (widePass ? L" is not a 64-bit one" : L" is of the other architecture");
    }
    runtime.candidate.preferred = IsVendorKeyPreferred(runtime.key, prefs);
    return ProcessCodePageRefusal(runtime.candidate.home);
}

// "<place>, version 17.0.9 (release file), home C:\jdk\: candidate", with what
// was learnt before the runtime was taken or refused.
void TraceRuntime(const RegisteredRuntime& runtime, const std::wstring& refusal) {
    if (!TraceEnabled()) return;
    std::wstring text = runtime.candidate.source;
    if (runtime.versionOrigin) {
        text += L", version " + JavaVersion::Format(runtime.candidate.version) + L" (" + runtime.versionOrigin + L")";
    }
    if (!runtime.candidate.home.empty()) text += L", home " + runtime.candidate.home;
    Trace(L"search", text + (refusal.empty() ? L": candidate" : L": refused, " + refusal));
}

std::optional<JvmCandidate> ReadCandidate(RegisteredRuntime& runtime, const LauncherSettings& settings) {
    runtime.candidate.source = PlaceOf(runtime);
    std::wstring refusal = runtime.key.versionFromRelease ? ReadHomeThenVersion(runtime, settings.versionRange)
                                                          : ReadVersionThenHome(runtime, settings.versionRange);
    if (refusal.empty()) refusal = CheckLibrary(runtime, settings.searchPrefs);
    TraceRuntime(runtime, refusal);
    if (!refusal.empty()) return std::nullopt;
    return std::move(runtime.candidate);
}

void CollectFromKey(const VendorKey& vendorKey, HKEY root, RegistryView view, const LauncherSettings& settings,
                    std::vector<JvmCandidate>& candidates) {
    std::optional<UniqueRegKey> key = OpenRegistryKey(root, vendorKey.path, view);
    if (!key) return;
    for (const std::wstring& name : RegistrySubkeyNames(key->get())) {
        RegisteredRuntime runtime{vendorKey, root, view, key->get(), name, {}};
        if (std::optional<JvmCandidate> candidate = ReadCandidate(runtime, settings)) {
            candidates.push_back(std::move(*candidate));
        }
    }
}

// The runtimes of a key the settings leave out are named in the trace: they are the
// ones a user misses.
void TraceLeftOut(const VendorKey& vendorKey, HKEY root, RegistryView view) {
    if (!TraceEnabled()) return;
    std::optional<UniqueRegKey> key = OpenRegistryKey(root, vendorKey.path, view);
    if (!key) return;
    for (const std::wstring& name : RegistrySubkeyNames(key->get())) {
        RegisteredRuntime runtime{vendorKey, root, view, key->get(), name, {}};
        if (!OpenRegistryKey(runtime.vendorHandle, HomeKeyPath(runtime), view)) continue;
        Trace(L"search", PlaceOf(runtime) + L": not searched, JVM Source or VM Provider leaves it out");
    }
}

}  // namespace

const wchar_t* RegistryViewName(RegistryView view) {
    return view == RegistryView::Wide64 || kLauncherIs64Bit ? L"64-bit view" : L"32-bit view";
}

std::vector<JvmCandidate> CollectRegisteredRuntimes(const LauncherSettings& settings, RegistryView view) {
    std::vector<JvmCandidate> candidates;
    for (const VendorKey& vendorKey : AllVendorKeys()) {
        bool searched = IsVendorKeySearched(vendorKey, settings.searchPrefs);
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            if (root == HKEY_CURRENT_USER && !vendorKey.perUserToo) continue;
            if (searched) CollectFromKey(vendorKey, root, view, settings, candidates);
            else TraceLeftOut(vendorKey, root, view);
        }
    }
    return candidates;
}

}  // namespace orvo
