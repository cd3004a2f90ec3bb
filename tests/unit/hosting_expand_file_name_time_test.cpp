#include <windows.h>

#include <gtest/gtest.h>

#include "hosting/jvm_host.h"

namespace orvo {
namespace {

SYSTEMTIME SampleTime() {
    SYSTEMTIME time{};
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDay = 6;
    time.wDayOfWeek = 0;
    time.wHour = 14;
    time.wMinute = 5;
    time.wSecond = 9;
    time.wMilliseconds = 42;
    return time;
}

std::wstring Expanded(std::wstring name) {
    CJvmHost::ExpandFileNameTime(name, SampleTime());
    return name;
}

TEST(ExpandFileNameTime, DateTimeAndMillisecondsReplaceThePicture) {
    EXPECT_EQ(Expanded(L"C:\\logs\\out_%yyyyMMdd_HHmmss_L%.log"), L"C:\\logs\\out_20261206_140509_42.log");
    EXPECT_EQ(Expanded(L"%yy-M-d h.m.s%"), L"26-12-6 2.5.9");
}

TEST(ExpandFileNameTime, NameWithoutPictureIsUnchanged) {
    EXPECT_EQ(Expanded(L"C:\\logs\\out.log"), L"C:\\logs\\out.log");
    EXPECT_EQ(Expanded(L""), L"");
}

TEST(ExpandFileNameTime, PercentSignsDisappearAndInnerOnesBelongToThePicture) {
    EXPECT_EQ(Expanded(L"out%.log"), L"out.log");
    EXPECT_EQ(Expanded(L"out%%.log"), L"out.log");
    EXPECT_EQ(Expanded(L"a%yyyy%b%MM%c"), L"a2026%b%12c");
}

TEST(ExpandFileNameTime, PictureThatCannotFitLeavesTheNameUnchanged) {
    std::wstring fits;
    for (int i = 0; i < 51; ++i) fits += L"yyyy_";  // 255 characters
    std::wstring expected;
    for (int i = 0; i < 51; ++i) expected += L"2026_";
    EXPECT_EQ(Expanded(L"x%" + fits + L"%y"), L"x" + expected + L"y");
    std::wstring tooLong = fits + L"yyyyy";  // 260 characters
    EXPECT_EQ(Expanded(L"x%" + tooLong + L"%y"), L"x%" + tooLong + L"%y");
}

}  // namespace
}  // namespace orvo
