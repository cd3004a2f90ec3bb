#include "foundation/trace_format.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "foundation/utf8_text.h"

namespace orvo {
namespace {

TraceStamp Stamp(std::uint64_t elapsedMs) {
    TraceStamp stamp;
    stamp.year = 2026;
    stamp.month = 1;
    stamp.day = 5;
    stamp.hour = 9;
    stamp.minute = 4;
    stamp.second = 3;
    stamp.milliseconds = 7;
    stamp.elapsedMs = elapsedMs;
    stamp.process = L"App64.exe";
    stamp.processId = 4321;
    return stamp;
}

TEST(TraceFormat, OneLineWithTimeProcessAndElapsedTime) {
    struct Case {
        std::uint64_t elapsedMs;
        const wchar_t* topic;
        const wchar_t* text;
        const wchar_t* line;
    };
    const Case cases[] = {
        {15, L"search", L"JRE Path: not set", L"2026-01-05 09:04:03.007 App64.exe[4321] +15ms search: JRE Path: not set\n"},
        {0, L"config", L"", L"2026-01-05 09:04:03.007 App64.exe[4321] +0ms config: \n"},
        {123456, L"main", L"argument 1: a\r\nb\tc", L"2026-01-05 09:04:03.007 App64.exe[4321] +123456ms main: argument 1: a\\r\\nb\\tc\n"},
        {1, L"option", L"-Dx=\x01\x1F\x7F\u00E9", L"2026-01-05 09:04:03.007 App64.exe[4321] +1ms option: -Dx=\\x01\\x1F\\x7F\u00E9\n"},
        {2, L"to\npic", L"x", L"2026-01-05 09:04:03.007 App64.exe[4321] +2ms to\\npic: x\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatTraceLine(Stamp(c.elapsedMs), c.topic, c.text), c.line) << c.text;
}

TEST(Utf8Text, EveryCodePointTakesItsLengthAndLoneSurrogatesAreReplaced) {
    struct Case {
        std::wstring text;
        std::string bytes;
    };
    const Case cases[] = {
        {L"", ""},
        {L"A~", "A~"},
        {L"\u00E9\u07FF", "\xC3\xA9\xDF\xBF"},
        {L"\u0800\u20AC\uFFFF", "\xE0\xA0\x80\xE2\x82\xAC\xEF\xBF\xBF"},
        {L"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
        {L"\xDBFF\xDFFF", "\xF4\x8F\xBF\xBF"},
        {L"a\xD83D", "a\xEF\xBF\xBD"},
        {L"\xDE00z", "\xEF\xBF\xBDz"},
        {L"\xD83D\xD83D\xDE00", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
    };
    for (const Case& c : cases) EXPECT_EQ(ToUtf8(c.text), c.bytes) << c.bytes;
}

TEST(Utf8Text, RefusingALoneSurrogateGivesNothingAndKeepsEveryPair) {
    struct Case {
        std::u16string units;
        std::optional<std::string> bytes;
    };
    const Case cases[] = {
        {u"", ""},
        {u"\u00E9\u20AC", "\xC3\xA9\xE2\x82\xAC"},
        {u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
        {u"a\xD83D", std::nullopt},
        {u"\xDE00z", std::nullopt},
        {u"\xD83D\xD83D\xDE00", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(Utf8FromUtf16(c.units, LoneSurrogate::kRefuse), c.bytes);
}

}  // namespace
}  // namespace orvo
