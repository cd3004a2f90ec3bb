// What a service tells the service control manager, and the keys that say how it stops.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "config/service_settings.h"
#include "core/service_status_rules.h"

namespace orvo {
namespace {

TEST(ServiceLifecycle, GoesFromStartPendingThroughRunningAndStopPendingToStopped) {
    ServiceLifecycle lifecycle;
    EXPECT_FALSE(lifecycle.Ended(0)) << "nothing was started, so nothing is told";
    ServiceStatusReport start = lifecycle.Starting();
    EXPECT_EQ(start.state, ServiceState::kStartPending);
    EXPECT_EQ(start.controlsAccepted, 0u);
    EXPECT_EQ(start.checkPoint, 1u);
    EXPECT_EQ(start.waitHintMs, kStartWaitHintMs);
    EXPECT_FALSE(lifecycle.StopRequested()) << "no stop before main was called";
    EXPECT_EQ(lifecycle.Progress()->checkPoint, 2u);

    std::optional<ServiceStatusReport> running = lifecycle.MainCalled();
    ASSERT_TRUE(running);
    EXPECT_EQ(running->state, ServiceState::kRunning);
    EXPECT_EQ(running->controlsAccepted, kAcceptStop | kAcceptShutdown | kAcceptPreshutdown);
    EXPECT_EQ(running->checkPoint, 0u);
    EXPECT_EQ(running->waitHintMs, 0u);
    EXPECT_FALSE(lifecycle.Progress()) << "a running service has no checkpoints";
    EXPECT_FALSE(lifecycle.MainCalled());

    std::optional<ServiceStatusReport> stopping = lifecycle.StopRequested();
    ASSERT_TRUE(stopping);
    EXPECT_EQ(stopping->state, ServiceState::kStopPending);
    EXPECT_EQ(stopping->controlsAccepted, 0u);
    EXPECT_EQ(stopping->checkPoint, 1u);
    EXPECT_EQ(stopping->waitHintMs, kStopWaitHintMs);
    EXPECT_FALSE(lifecycle.StopRequested()) << "a second stop changes nothing";
    EXPECT_EQ(lifecycle.Progress()->checkPoint, 2u);
    EXPECT_EQ(lifecycle.Progress()->checkPoint, 3u);

    std::optional<ServiceStatusReport> stopped = lifecycle.Ended(0);
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->state, ServiceState::kStopped);
    EXPECT_EQ(stopped->checkPoint, 0u);
    EXPECT_EQ(stopped->win32ExitCode, 0u);
    EXPECT_FALSE(lifecycle.Ended(3)) << "the first end is the one told";
    EXPECT_FALSE(lifecycle.Progress());
    EXPECT_EQ(lifecycle.state(), ServiceState::kStopped);
}

TEST(ServiceLifecycle, StartThatFailsStopsWithItsCode) {
    ServiceLifecycle lifecycle;
    lifecycle.Starting();
    std::optional<ServiceStatusReport> stopped = lifecycle.Ended(-1);
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->state, ServiceState::kStopped);
    EXPECT_EQ(stopped->controlsAccepted, 0u);
    EXPECT_EQ(stopped->win32ExitCode, kErrorServiceSpecific);
    EXPECT_EQ(stopped->serviceSpecificExitCode, 0xFFFFFFFFu);
}

TEST(ServiceExitCode, ZeroIsNoErrorAndAnyOtherCodeIsServiceSpecific) {
    const struct {
        int exitCode;
        std::uint32_t win32;
        std::uint32_t specific;
    } cases[] = {{0, 0, 0}, {3, kErrorServiceSpecific, 3}, {1, kErrorServiceSpecific, 1},
                 {-1, kErrorServiceSpecific, 0xFFFFFFFF}, {255, kErrorServiceSpecific, 255}};
    for (const auto& c : cases) {
        ServiceStatusReport report;
        SetExitCode(report, c.exitCode);
        EXPECT_EQ(report.win32ExitCode, c.win32) << c.exitCode;
        EXPECT_EQ(report.serviceSpecificExitCode, c.specific) << c.exitCode;
    }
}

TEST(ServiceSettings, StopTimeoutIsWholeSecondsWithinItsRangeElseTheDefault) {
    const struct {
        const wchar_t* text;
        std::uint32_t seconds;
    } cases[] = {{L"45", 45}, {L" 7 ", 7}, {L"1", 1}, {L"3600", 3600}, {L"0045", 45},
                 {L"", kDefaultServiceStopTimeoutSeconds}, {L"0", kDefaultServiceStopTimeoutSeconds},
                 {L"3601", kDefaultServiceStopTimeoutSeconds}, {L"99999", kDefaultServiceStopTimeoutSeconds},
                 {L"-5", kDefaultServiceStopTimeoutSeconds}, {L"+5", kDefaultServiceStopTimeoutSeconds},
                 {L"2.5", kDefaultServiceStopTimeoutSeconds}, {L"10s", kDefaultServiceStopTimeoutSeconds}};
    for (const auto& c : cases) EXPECT_EQ(ParseServiceStopTimeout(c.text), c.seconds) << c.text;
}

TEST(ServiceSettings, StopMethodNameSplitsAtTheLastDot) {
    const struct {
        const wchar_t* text;
        std::optional<JavaStaticMethodName> name;
    } cases[] = {
        {L"com.example.Main.stop", JavaStaticMethodName{L"com/example/Main", L"stop"}},
        {L" Main.halt ", JavaStaticMethodName{L"Main", L"halt"}},
        {L"a.B$Inner.stop", JavaStaticMethodName{L"a/B$Inner", L"stop"}},
        {L"stop", std::nullopt},
        {L"", std::nullopt},
        {L".stop", std::nullopt},
        {L"com.example.Main.", std::nullopt},
        {L"com..Main.stop", std::nullopt},
        {L"com.example..stop", std::nullopt},
    };
    for (const auto& c : cases) {
        std::optional<JavaStaticMethodName> name = ParseStaticMethodName(c.text);
        ASSERT_EQ(name.has_value(), c.name.has_value()) << c.text;
        if (!name) continue;
        EXPECT_EQ(name->className, c.name->className) << c.text;
        EXPECT_EQ(name->methodName, c.name->methodName) << c.text;
    }
}

}  // namespace
}  // namespace orvo
