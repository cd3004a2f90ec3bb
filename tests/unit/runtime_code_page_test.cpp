#include "discovery/runtime_code_page.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

TEST(RuntimeCodePage, OnlyRuntimesThatReadFileNamesInTheProcessCodePageTakeUtf8) {
    for (const wchar_t* taken : {L"17.0.7", L"17.0.9", L"17.0.12.1", L"19", L"21.0.8", L"25.0.2", L"26-ea"}) {
        EXPECT_EQ(Utf8CodePageRefusal(std::wstring(taken)), L"") << taken;
    }
    for (const wchar_t* refused : {L"1.8.0_292", L"11.0.13", L"11.0.25", L"17", L"17.0.3", L"17.0.6.9", L"18.0.2"}) {
        EXPECT_EQ(Utf8CodePageRefusal(std::wstring(refused)),
                  L"Java " + std::wstring(refused) +
                      L" is not known to read file names in UTF-8 (17.0.7 or later, but not 18, does)")
            << refused;
    }
    for (const std::optional<std::wstring>& unknown : {std::optional<std::wstring>(), std::optional<std::wstring>(L"")}) {
        EXPECT_EQ(Utf8CodePageRefusal(unknown),
                  L"Java without a release file naming its version is not known to read file names in UTF-8 "
                  L"(17.0.7 or later, but not 18, does)");
    }
}

}  // namespace
}  // namespace orvo
