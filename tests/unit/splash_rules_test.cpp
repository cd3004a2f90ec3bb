#include "splash/splash_rules.h"

#include <gtest/gtest.h>

#include "splash/native_splash.h"

namespace orvo {
namespace {

TEST(SplashPlacement, CentresTheImageAndTruncatesHalvesTowardZero) {
    struct Case {
        int imageWidth, imageHeight;
        int left, top;
    };
    const Case cases[] = {
        {200, 120, 540, 452},     // even room on both sides
        {201, 121, 539, 451},     // odd room: the half is truncated
        {1280, 1024, 0, 0},       // exactly the screen
        {1400, 1100, -60, -38},   // larger: negative, centre on the screen's centre
        {1401, 1101, -60, -38},   // -121 / 2 is -60, not -61
        {0, 0, 640, 512},         // nothing decoded: an empty window at the centre
    };
    for (const Case& c : cases) {
        SplashPlacement place = CentredSplashPlacement(1280, 1024, c.imageWidth, c.imageHeight);
        EXPECT_EQ(place.left, c.left) << c.imageWidth << "x" << c.imageHeight;
        EXPECT_EQ(place.top, c.top) << c.imageWidth << "x" << c.imageHeight;
        EXPECT_EQ(place.width, c.imageWidth);
        EXPECT_EQ(place.height, c.imageHeight);
    }
}

TEST(SplashShadow, OnlyTheExactLowerCaseTrue) {
    EXPECT_TRUE(SplashShadowWanted(L"true"));
    for (const wchar_t* other : {L"True", L"TRUE", L"true ", L" true", L"yes", L"1", L""}) {
        EXPECT_FALSE(SplashShadowWanted(other)) << other;
    }
}

TEST(SplashLibraryCandidate, TwoComponentsUpFromTheJvmLibrary) {
    struct Case {
        const wchar_t* jvmPath;
        const wchar_t* library;
    };
    const Case cases[] = {
        {L"C:\\jre\\bin\\client\\jvm.dll", L"C:\\jre\\bin\\splashscreen.dll"},
        {L"C:\\Program Files\\Java\\jdk-17\\bin\\server\\jvm.dll",
         L"C:\\Program Files\\Java\\jdk-17\\bin\\splashscreen.dll"},
        {L"\\\\server\\share\\jre\\bin\\server\\jvm.dll", L"\\\\server\\share\\jre\\bin\\splashscreen.dll"},
        {L"C:\\bin\\jvm.dll", L"C:\\splashscreen.dll"},  // two components up is the drive
        {L"", L""},                                       // no runtime, no library
    };
    for (const Case& c : cases) EXPECT_EQ(SplashLibraryCandidate(c.jvmPath), c.library) << c.jvmPath;
}

int closeCalls = 0;
int otherCloseCalls = 0;
void __cdecl CountClose() { ++closeCalls; }
void __cdecl CountOtherClose() { ++otherCloseCalls; }

// SplashClose may be reached from a failed launch, a replacement and teardown: the
// runtime's splash is closed once, by whichever comes first.
TEST(NativeSplashClose, ClosesOnceWhicheverWayItIsReached) {
    closeCalls = otherCloseCalls = 0;
    {
        NativeSplashClose holder;
        holder.Replace(&CountClose);
        holder.Replace(&CountClose);  // the same entry point: nothing to close yet
        EXPECT_EQ(closeCalls, 0);
        holder.Invoke();
        holder.Invoke();
        EXPECT_EQ(closeCalls, 1);
        EXPECT_FALSE(holder.holds());
        holder.Replace(&CountClose);
        holder.Replace(&CountOtherClose);  // a different one closes the old first
        EXPECT_EQ(closeCalls, 2);
        EXPECT_EQ(otherCloseCalls, 0);
        holder.Replace(nullptr);
        EXPECT_EQ(otherCloseCalls, 1);
        holder.Replace(&CountClose);
    }  // the end of the holder closes what it still holds
    EXPECT_EQ(closeCalls, 3);
    EXPECT_EQ(otherCloseCalls, 1);
}

}  // namespace
}  // namespace orvo
