// Version strings: a parsed version, formatted and parsed again, keeps every printed
// component and takes the fill for the dropped ones; formatting is stable; the
// order is a total order; ranges admit only what lies above their minimum; the
// preferred-versions list joins back to its text.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/java_version.h"
#include "fuzz_input.h"

namespace {

using orvo::JavaVersion;

bool IsOpen(std::int32_t component) { return component == 0 || component == JavaVersion::kFillHigh; }

void CheckFormatRoundTrip(const JavaVersion& version, std::int32_t fill) {
    const std::wstring text = JavaVersion::Format(version);
    const JavaVersion::ParseResult again = JavaVersion::Parse(text, fill);
    ORVO_FUZZ_CHECK(again.parsed);
    ORVO_FUZZ_CHECK(JavaVersion::Format(again.version) == text);
    const auto printed = static_cast<std::size_t>(std::count(text.begin(), text.end(), L'.')) + 1;
    const bool allOpen = std::all_of(version.components.begin(), version.components.end(), IsOpen);
    for (std::size_t i = 0; i < version.components.size() && !allOpen; ++i) {
        if (i < printed) ORVO_FUZZ_CHECK(again.version.components[i] == version.components[i]);
        else ORVO_FUZZ_CHECK(IsOpen(version.components[i]) && again.version.components[i] == fill);
    }
}

int Sign(int value) { return (value > 0) - (value < 0); }

void CheckOrder(const JavaVersion& a, const JavaVersion& b) {
    ORVO_FUZZ_CHECK(JavaVersion::Compare(a, a) == 0);
    ORVO_FUZZ_CHECK(Sign(JavaVersion::Compare(a, b)) == -Sign(JavaVersion::Compare(b, a)));
    ORVO_FUZZ_CHECK((JavaVersion::Compare(a, b) == 0) == (a == b));
    ORVO_FUZZ_CHECK(JavaVersion::MatchesPreferred(a, a));
}

void CheckPreferredList(const std::wstring& text) {
    const std::vector<std::wstring> entries = orvo::SplitPreferredVersions(text);
    ORVO_FUZZ_CHECK(entries.empty() == text.empty());
    std::wstring joined;
    for (std::size_t i = 0; i < entries.size(); ++i) joined += (i > 0 ? L";" : L"") + entries[i];
    ORVO_FUZZ_CHECK(joined == text || joined + L";" == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::wstring first = orvo::fuzz::WideFromBytes(input.ConsumeRandomLengthString());
    const std::wstring second = orvo::fuzz::WideFromBytes(input.ConsumeRemainingBytesAsString());
    JavaVersion parsed[2];
    for (std::int32_t fill : {JavaVersion::kFillLow, JavaVersion::kFillHigh}) {
        const JavaVersion::ParseResult result = JavaVersion::Parse(first, fill);
        ORVO_FUZZ_CHECK(result.parsed || result.version == JavaVersion{});
        for (std::int32_t component : result.version.components) ORVO_FUZZ_CHECK(component >= 0);
        if (result.parsed) CheckFormatRoundTrip(result.version, fill);
        parsed[fill == JavaVersion::kFillLow ? 0 : 1] = result.version;
    }
    CheckOrder(parsed[0], JavaVersion::Parse(second, JavaVersion::kFillLow).version);
    CheckOrder(parsed[1], parsed[0]);

    const orvo::VersionRange range = orvo::VersionRange::FromSettingTexts(first, second);
    if (range.Admits(parsed[0])) ORVO_FUZZ_CHECK(JavaVersion::Compare(parsed[0], range.minimum) >= 0);
    const orvo::VersionRequirementTexts texts{L"latest", L"max %s", L"min %s", L"exact %s", L"%s to %s"};
    ORVO_FUZZ_CHECK(!orvo::DescribeVersionRequirement(range, texts).empty());
    CheckPreferredList(first);
    return 0;
}
