#pragma once
// Java version values as they come from registry subkey names and the version
// settings: parsing, ordering, ranges, preferred-version matching and the phrase
// that tells the user which runtime is needed. Pure, no <windows.h>.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvo {

struct JavaVersion {
    // Fill for runtime versions, `Minimum Version` and preferred-version entries.
    static constexpr std::int32_t kFillLow = 0;
    // Fill for `Maximum Version`: admits any value of a component left out.
    static constexpr std::int32_t kFillHigh = 65535;

    struct ParseResult;

    // Most significant first; 1.8.0_292 is {1, 8, 0, 292}. All 0 is the zero version.
    std::array<std::int32_t, 4> components{};

    // Reads up to four runs of decimal digits; anything else only separates them.
    // Components not given take `fill`. Fails, with the zero version, on text
    // without digits or on a component above 2147483647.
    static ParseResult Parse(std::wstring_view text, std::int32_t fill);

    // Shortest dotted text, at least two components, dropping trailing 0 and 65535
    // components; "0.0.0.0" when every component is 0 or 65535.
    static std::wstring Format(const JavaVersion& version);

    // Negative, zero or positive as `a` is below, equal to or above `b`.
    static int Compare(const JavaVersion& a, const JavaVersion& b);

    // True for 0.0.0.0 and 65535.65535.65535.65535, the values of an open bound.
    static bool IsUnset(const JavaVersion& version);

    // True when `candidate` starts with `entry`; trailing zeros of `entry` are wildcards,
    // so an entry without digits matches everything.
    static bool MatchesPreferred(const JavaVersion& candidate, const JavaVersion& entry);

    friend bool operator==(const JavaVersion&, const JavaVersion&) = default;
};

struct JavaVersion::ParseResult {
    JavaVersion version;  // the zero version when `parsed` is false
    bool parsed = false;
};

// Inclusive bounds on acceptable runtime versions.
struct VersionRange {
    JavaVersion minimum;
    JavaVersion maximum;  // the zero version means no upper bound

    // True when `candidate` lies within both bounds.
    bool Admits(const JavaVersion& candidate) const;

    // Builds the range from the `Minimum Version` and `Maximum Version` texts: the exact
    // (case-sensitive) word "any" opens that bound, any other text is parsed with fill
    // 0 (minimum) or 65535 (maximum), a failed parse leaving the zero version.
    static VersionRange FromSettingTexts(std::wstring_view minimumText,
                                         std::wstring_view maximumText);
};

// The message templates the requirement phrase is built from (one "%s" in
// `maximum`, `minimum` and `exact`, two in `between`, none in `latest`).
struct VersionRequirementTexts {
    std::wstring_view latest;
    std::wstring_view maximum;
    std::wstring_view minimum;
    std::wstring_view exact;
    std::wstring_view between;
};

// The phrase naming the runtime versions `range` accepts, e.g. "minimum version 1.6".
std::wstring DescribeVersionRequirement(const VersionRange& range,
                                        const VersionRequirementTexts& texts);

// Splits the `Preferred versions` text at every ";". Empty text gives no entries;
// empty pieces between separators are entries; a final ";" adds no entry.
std::vector<std::wstring> SplitPreferredVersions(std::wstring_view text);

}  // namespace orvo
