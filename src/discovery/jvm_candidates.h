#pragma once
// The runtimes one registry pass collected, their order and the choice among
// them. Pure.
#include <string>
#include <vector>

#include "foundation/java_version.h"
#include "config/jvm_search_prefs.h"

namespace orvo {

struct JvmCandidate {
    JavaVersion version;  // from the version subkey's name or the runtime's release file
    std::wstring home;    // runtime folder, ending in "\"
    bool isServer = false;   // the library found in `home` was the server one
    bool preferred = false;  // kind and vendor of its key are both favoured
    std::wstring source;     // where it is registered, for the trace
};

// Orders the list best first, stably: preferred ones first (only while both kinds
// are searched), then server ones (only with FavorServer), then higher versions.
// Candidates alike under those rules keep the order they were collected in.
void SortCandidates(std::vector<JvmCandidate>& candidates, const JvmSearchPrefs& prefs);

// The candidate to use from a sorted, non-empty list: for the first entry of
// `preferredVersions` (in the order written) that matches any candidate, the first
// candidate it matches; when none matches, the first candidate.
const JvmCandidate& SelectCandidate(const std::vector<JvmCandidate>& sorted,
                                    const std::vector<std::wstring>& preferredVersions);

}  // namespace orvo
