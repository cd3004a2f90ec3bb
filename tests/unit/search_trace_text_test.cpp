#include "discovery/search_trace_text.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

TEST(SearchTraceText, VersionRangeReadsAsTheSettingsWroteIt) {
    struct Case {
        const wchar_t* minimum;
        const wchar_t* maximum;
        const wchar_t* text;
    };
    for (const Case& c : {Case{L"", L"", L"the range any to any"}, Case{L"any", L"any", L"the range any to any"},
                          Case{L"1.8", L"1.8", L"the range 1.8 to 1.8"}, Case{L"any", L"17", L"the range any to 17"},
                          Case{L"11.0.2", L"", L"the range 11.0.2 to any"},
                          Case{L"1.8.0_292", L"1.8.0_292", L"the range 1.8.0.292 to 1.8.0.292"},
                          Case{L"17.0.0.0", L"17.0.65535", L"the range 17 to 17.0"},
                          Case{L"1.8.0.1", L"1.65535.3", L"the range 1.8.0.1 to 1.65535.3"}}) {
        EXPECT_EQ(DescribeVersionRange(VersionRange::FromSettingTexts(c.minimum, c.maximum)), c.text)
            << c.minimum << L" to " << c.maximum;
    }
}

}  // namespace
}  // namespace orvo
