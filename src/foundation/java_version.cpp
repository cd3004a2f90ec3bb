#include "foundation/java_version.h"

#include <cstddef>
#include <cstdint>

#include "foundation/text_format.h"

namespace orvo {

namespace {

constexpr std::int64_t kComponentLimit = 2147483647;
constexpr std::wstring_view kOpenBoundWord = L"any";

// Only ASCII digits count: iswdigit would also accept other scripts' digits under
// some locales, and registry names must parse the same everywhere.
bool IsAsciiDigit(wchar_t ch) {
    return ch >= L'0' && ch <= L'9';
}

std::size_t FindDigit(std::wstring_view text, std::size_t from) {
    while (from < text.size() && !IsAsciiDigit(text[from])) {
        ++from;
    }
    return from;
}

// Reads the digit run at `pos` into `value`, moving `pos` past it.
// False when the value would not fit a signed 32-bit component.
bool ReadComponent(std::wstring_view text, std::size_t& pos, std::int32_t& value) {
    std::int64_t accumulated = 0;
    for (; pos < text.size() && IsAsciiDigit(text[pos]); ++pos) {
        accumulated = accumulated * 10 + (text[pos] - L'0');
        if (accumulated > kComponentLimit) {
            return false;
        }
    }
    value = static_cast<std::int32_t>(accumulated);
    return true;
}

bool IsOpenComponent(std::int32_t component) {
    return component == 0 || component == JavaVersion::kFillHigh;
}

}  // namespace

JavaVersion::ParseResult JavaVersion::Parse(std::wstring_view text, std::int32_t fill) {
    JavaVersion version;
    std::size_t pos = FindDigit(text, 0);
    if (pos == text.size()) {
        return {};
    }
    std::size_t count = 0;
    while (count < version.components.size() && pos < text.size()) {
        if (!ReadComponent(text, pos, version.components[count])) {
            return {};
        }
        ++count;
        pos = FindDigit(text, pos);
    }
    for (; count < version.components.size(); ++count) {
        version.components[count] = fill;
    }
    return {version, true};
}

std::wstring JavaVersion::Format(const JavaVersion& version) {
    const auto& c = version.components;
    std::size_t last = c.size();
    while (last > 0 && IsOpenComponent(c[last - 1])) {
        --last;
    }
    if (last == 0) {
        return L"0.0.0.0";
    }
    // A lone major version reads as "2.0", never as a bare "2".
    const std::size_t printed = last < 2 ? 2 : last;
    std::wstring text = DecimalText(c[0]);
    for (std::size_t i = 1; i < printed; ++i) {
        text += L'.';
        text += DecimalText(c[i]);
    }
    return text;
}

int JavaVersion::Compare(const JavaVersion& a, const JavaVersion& b) {
    for (std::size_t i = 0; i < a.components.size(); ++i) {
        if (a.components[i] != b.components[i]) {
            return a.components[i] < b.components[i] ? -1 : 1;
        }
    }
    return 0;
}

bool JavaVersion::IsUnset(const JavaVersion& version) {
    const auto& c = version.components;
    const bool allEqual = c[0] == c[1] && c[1] == c[2] && c[2] == c[3];
    return allEqual && IsOpenComponent(c[0]);
}

bool JavaVersion::MatchesPreferred(const JavaVersion& candidate, const JavaVersion& entry) {
    std::size_t significant = entry.components.size();
    while (significant > 0 && entry.components[significant - 1] == 0) {
        --significant;
    }
    for (std::size_t i = 0; i < significant; ++i) {
        if (candidate.components[i] != entry.components[i]) {
            return false;
        }
    }
    return true;
}

bool VersionRange::Admits(const JavaVersion& candidate) const {
    const bool hasUpperBound = maximum != JavaVersion{};
    if (hasUpperBound && JavaVersion::Compare(candidate, maximum) > 0) {
        return false;
    }
    return JavaVersion::Compare(candidate, minimum) >= 0;
}

VersionRange VersionRange::FromSettingTexts(std::wstring_view minimumText,
                                            std::wstring_view maximumText) {
    VersionRange range;
    range.minimum = minimumText == kOpenBoundWord
                        ? JavaVersion{}
                        : JavaVersion::Parse(minimumText, JavaVersion::kFillLow).version;
    range.maximum = maximumText == kOpenBoundWord
                        ? JavaVersion{{JavaVersion::kFillHigh, JavaVersion::kFillHigh,
                                       JavaVersion::kFillHigh, JavaVersion::kFillHigh}}
                        : JavaVersion::Parse(maximumText, JavaVersion::kFillHigh).version;
    return range;
}

std::wstring DescribeVersionRequirement(const VersionRange& range,
                                        const VersionRequirementTexts& texts) {
    const bool minimumUnset = JavaVersion::IsUnset(range.minimum);
    const bool maximumUnset = JavaVersion::IsUnset(range.maximum);
    const std::wstring minimum = JavaVersion::Format(range.minimum);
    const std::wstring maximum = JavaVersion::Format(range.maximum);
    if (minimumUnset && maximumUnset) {
        return FillTemplate(texts.latest, {});
    }
    if (minimumUnset) {
        return FillTemplate(texts.maximum, {maximum});
    }
    if (maximumUnset) {
        return FillTemplate(texts.minimum, {minimum});
    }
    if (range.minimum == range.maximum) {
        return FillTemplate(texts.exact, {minimum});
    }
    return FillTemplate(texts.between, {minimum, maximum});
}

std::vector<std::wstring> SplitPreferredVersions(std::wstring_view text) {
    std::vector<std::wstring> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t separator = text.find(L';', start);
        if (separator == std::wstring_view::npos) {
            entries.emplace_back(text.substr(start));
            break;
        }
        entries.emplace_back(text.substr(start, separator - start));
        start = separator + 1;
    }
    return entries;
}

}  // namespace orvo
