#include "hosting/runtime_output_text.h"

#include <gtest/gtest.h>

#include <string>

namespace orvo {
namespace {

TEST(TidyRuntimeOutput, WindowsLineEndsAndTheEndsOfTheText) {
    struct Case {
        std::wstring given;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"Error: a\r\nCaused by: b\r\n", L"Error: a\nCaused by: b"},
        {L"Invalid maximum heap size: -Xmx512q\n", L"Invalid maximum heap size: -Xmx512q"},
        // a lone carriage return is no line end of Java's or the VM's; it stays
        {L"a\rb\r\n\r\n \t", L"a\rb"},
        {L"\r\n\r\n", L""},
        {L"", L""},
        // a tab that begins a stack frame line stays
        {L"x\n\tat A.main(A.java:1)\n", L"x\n\tat A.main(A.java:1)"},
    };
    for (const Case& c : cases) EXPECT_EQ(TidyRuntimeOutput(c.given), c.expected);
}

TEST(TidyRuntimeOutput, LongTextIsCutAtALineEndBeforeTheLimit) {
    EXPECT_EQ(TidyRuntimeOutput(L"first line\nsecond line\nthird", 15), L"first line\n...");
    EXPECT_EQ(TidyRuntimeOutput(L"first line\nsecond", 17), L"first line\nsecond");
    // one long line: cut at the limit itself
    EXPECT_EQ(TidyRuntimeOutput(L"abcdefghij", 4), L"abcd\n...");
    EXPECT_EQ(TidyRuntimeOutput(std::wstring(5000, L'x')).size(), kRuntimeOutputLimit + 4);
}

}  // namespace
}  // namespace orvo
