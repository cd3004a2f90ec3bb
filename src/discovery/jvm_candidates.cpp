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
    // A stable insertion sort: each candidate goes after every one that is not behind
    // it. The lists are a few dozen long, and std::stable_sort's buffered merge cost
    // the launcher more bytes than this whole file.
    for (auto next = candidates.begin(); next != candidates.end(); ++next) {
        auto place = std::upper_bound(candidates.begin(), next, *next, goesFirst);
        std::rotate(place, next, next + 1);
    }
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
