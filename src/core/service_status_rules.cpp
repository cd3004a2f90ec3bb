#include "core/service_status_rules.h"

namespace orvo {

std::uint32_t ControlsAcceptedIn(ServiceState state) noexcept {
    return state == ServiceState::kRunning ? kAcceptStop | kAcceptShutdown | kAcceptPreshutdown : 0;
}

void SetExitCode(ServiceStatusReport& report, int exitCode) noexcept {
    report.win32ExitCode = exitCode == 0 ? 0 : kErrorServiceSpecific;
    report.serviceSpecificExitCode = exitCode == 0 ? 0 : static_cast<std::uint32_t>(exitCode);
}

ServiceStatusReport ServiceLifecycle::Enter(ServiceState state, std::uint32_t waitHintMs) {
    state_ = state;
    // The service manager reads checkpoints only in the pending states, from 1 up.
    const bool pending = state == ServiceState::kStartPending || state == ServiceState::kStopPending;
    checkPoint_ = pending ? 1 : 0;
    waitHintMs_ = pending ? waitHintMs : 0;
    ServiceStatusReport report;
    report.state = state;
    report.controlsAccepted = ControlsAcceptedIn(state);
    report.checkPoint = checkPoint_;
    report.waitHintMs = waitHintMs_;
    return report;
}

ServiceStatusReport ServiceLifecycle::Starting() {
    started_ = true;
    return Enter(ServiceState::kStartPending, kStartWaitHintMs);
}

std::optional<ServiceStatusReport> ServiceLifecycle::Progress() {
    if (state_ != ServiceState::kStartPending && state_ != ServiceState::kStopPending) return std::nullopt;
    ServiceStatusReport report;
    report.state = state_;
    report.controlsAccepted = ControlsAcceptedIn(state_);
    report.checkPoint = ++checkPoint_;
    report.waitHintMs = waitHintMs_;
    return report;
}

std::optional<ServiceStatusReport> ServiceLifecycle::MainCalled() {
    if (state_ != ServiceState::kStartPending) return std::nullopt;
    return Enter(ServiceState::kRunning, 0);
}

std::optional<ServiceStatusReport> ServiceLifecycle::StopRequested() {
    if (state_ != ServiceState::kRunning) return std::nullopt;
    return Enter(ServiceState::kStopPending, kStopWaitHintMs);
}

std::optional<ServiceStatusReport> ServiceLifecycle::Ended(int exitCode) {
    if (!started_ || state_ == ServiceState::kStopped) return std::nullopt;
    ServiceStatusReport report = Enter(ServiceState::kStopped, 0);
    SetExitCode(report, exitCode);
    return report;
}

}  // namespace orvo
