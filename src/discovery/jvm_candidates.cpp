#include "discovery/jvm_candidates.h"

#include <algorithm>

#include "foundation/orvo_error.h"

namespace orvo {

void SortCandidates(std::vector<JvmCandidate>& candidates, const JvmSearchPrefs& prefs) {
    const bool byPreference = prefs.bothSources;
    const bool byServer = prefs.jvmType == JvmType::FavorServer;
    auto goesFirst = [&](const JvmCandidate& a, const JvmCandidate& b) {
        if (byPreference && a.preferred != b.preferred) return a.preferred;
        if (byServer && a.isServer != b.isServer) return a.isServer;
        return JavaVersion::Compare(a.version, b.version) > 0;
    };
    std::stable_sort(candidates.begin(), candidates.end(), goesFirst);
}

const JvmCandidate& SelectCandidate(const std::vector<JvmCandidate>& sorted,
                                    const std::vector<std::wstring>& preferredVersions) {
    if (sorted.empty()) RaiseOrvoError(kErrorBounds);
    for (const std::wstring& text : preferredVersions) {
        // A failed parse leaves the zero version, which matches every candidate.
        const JavaVersion entry = JavaVersion::Parse(text, JavaVersion::kFillLow).version;
        for (const JvmCandidate& candidate : sorted) {
            if (JavaVersion::MatchesPreferred(candidate.version, entry)) return candidate;
        }
    }
    return sorted.front();
}

}  // namespace orvo
