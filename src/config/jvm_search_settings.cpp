#include "config/jvm_search_settings.h"

#include "config/setting_compare.h"

namespace orvo {
namespace {

struct JvmSourceRow {
    std::wstring_view word;
    bool bothSources;
    bool jdkFavored;
    bool jreFavored;
};

constexpr JvmSourceRow kJvmSources[] = {
    {L"favor_JRE", true, false, true},
    {L"favor_JDK", true, true, false},
    {L"only_JDK", false, true, false},
    {L"only_JRE", false, false, true},
};

struct VmProviderRow {
    std::wstring_view word;
    bool jrockitAllowed;
    bool jrockitFavored;
    bool sunAllowed;
    bool sunFavored;
    bool ibmAllowed;
    bool ibmFavored;
};

constexpr VmProviderRow kVmProviders[] = {
    {L"jrockit", true, true, false, false, false, false},
    {L"ibm", false, false, false, false, true, true},
    {L"favor_sun", true, false, true, true, true, false},
    {L"favor_jrockit", true, true, true, false, true, false},
    {L"favor_ibm", true, false, true, false, true, true},
    {L"any", true, false, true, false, true, false},
};

}  // namespace

JvmType ParseJvmType(std::wstring_view value) noexcept {
    if (value == L"server") {
        return JvmType::ServerOnly;
    }
    if (value == L"favor_server") {
        return JvmType::FavorServer;
    }
    return JvmType::Any;
}

void ApplyJvmSource(std::wstring_view value, JvmSearchPrefs& prefs) noexcept {
    if (value.empty()) {
        prefs.jdkFavored = true;
        prefs.jreFavored = true;
        return;
    }
    // An unknown word restricts the search to no kind at all: the registry is then
    // skipped, while JRE Path, the launcher folder and JAVA_HOME still apply.
    JvmSourceRow row{value, false, false, false};
    for (const JvmSourceRow& candidate : kJvmSources) {
        if (candidate.word == value) {
            row = candidate;
        }
    }
    prefs.bothSources = row.bothSources;
    prefs.jdkFavored = row.jdkFavored;
    prefs.jreFavored = row.jreFavored;
}

void ApplyVmProvider(std::wstring_view value, JvmSearchPrefs& prefs) noexcept {
    for (const VmProviderRow& row : kVmProviders) {
        if (EqualsAnyCase(value, row.word)) {
            prefs.jrockitAllowed = row.jrockitAllowed;
            prefs.jrockitFavored = row.jrockitFavored;
            prefs.sunAllowed = row.sunAllowed;
            prefs.sunFavored = row.sunFavored;
            prefs.ibmAllowed = row.ibmAllowed;
            prefs.ibmFavored = row.ibmFavored;
            return;
        }
    }
}

}  // namespace orvo
