#include "foundation/text_format.h"

#include <gtest/gtest.h>

#include <limits>

namespace orvo {
namespace {

TEST(FillTemplate, FillsTextsInOrderAndTheNumber) {
    EXPECT_EQ(FillTemplate(L"Windows exception: %s (errno = %d).\n", {L"boom"}, 5),
              L"Windows exception: boom (errno = 5).\n");
    EXPECT_EQ(FillTemplate(L"version between %s and %s", {L"1.6", L"1.8"}), L"version between 1.6 and 1.8");
}

TEST(FillTemplate, NegativeAndZeroNumbersAreSignedDecimals) {
    EXPECT_EQ(FillTemplate(L"(%d)", {}, 0), L"(0)");
    EXPECT_EQ(FillTemplate(L"(%d)", {}, -4), L"(-4)");
}

TEST(FillTemplate, ArgumentTextIsNotReinterpreted) {
    // A path holding "%s" or "%d" must come out as written, not be filled again.
    EXPECT_EQ(FillTemplate(L"Failed: %s (errno = %d).", {L"C:\\%s\\%d.dll"}, 2),
              L"Failed: C:\\%s\\%d.dll (errno = 2).");
}

TEST(FillTemplate, MissingTextsBecomeEmptyAndStrayPercentsStay) {
    EXPECT_EQ(FillTemplate(L"JNI exception: %s\nReason: %s.", {L"failed"}), L"JNI exception: failed\nReason: .");
    EXPECT_EQ(FillTemplate(L"100%% and 5% and %", {}), L"100% and 5% and %");
}

TEST(DecimalText, EdgesOfBothRanges) {
    EXPECT_EQ(DecimalText(0), L"0");
    EXPECT_EQ(DecimalText(-7), L"-7");
    EXPECT_EQ(DecimalText(std::numeric_limits<std::int64_t>::min()), L"-9223372036854775808");
    EXPECT_EQ(DecimalText(std::numeric_limits<std::int64_t>::max()), L"9223372036854775807");
    EXPECT_EQ(UnsignedDecimalText(0), L"0");
    EXPECT_EQ(UnsignedDecimalText(1000), L"1000");
    EXPECT_EQ(UnsignedDecimalText(std::numeric_limits<std::uint64_t>::max()), L"18446744073709551615");
}

TEST(TidySystemMessage, FillsTheFileInsertAndDropsTheLineEnd) {
    const struct {
        const wchar_t* message;
        const wchar_t* expected;
    } cases[] = {
        {L"%1 is not a valid Win32 application.\r\n", L"C:\\A\\run64.exe is not a valid Win32 application."},
        {L"The system cannot find the file specified. \r\n", L"The system cannot find the file specified."},
        {L"Copy %1 to %2 failed: %10", L"Copy C:\\A\\run64.exe to %2 failed: %10"},
        {L"100% done %", L"100% done %"},
        {L"\r\n", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(TidySystemMessage(c.message, L"C:\\A\\run64.exe"), c.expected) << c.message;
}

}  // namespace
}  // namespace orvo
