#pragma once
// What a launcher running as a Windows service tells the service control manager, and
// when: the states it passes through, the controls it accepts in each, and how the
// Java program's exit code becomes the service's. Pure: no Windows calls; the numbers
// are the service manager's own (SERVICE_RUNNING, SERVICE_ACCEPT_STOP...).
#include <cstdint>
#include <optional>

namespace orvo {

enum class ServiceState : std::uint32_t {
    kStopped = 1,
    kStartPending = 2,
    kStopPending = 3,
    kRunning = 4,
};

inline constexpr std::uint32_t kAcceptStop = 0x1;
inline constexpr std::uint32_t kAcceptShutdown = 0x4;
inline constexpr std::uint32_t kAcceptPreshutdown = 0x100;
inline constexpr std::uint32_t kErrorServiceSpecific = 1066;  // ERROR_SERVICE_SPECIFIC_ERROR

// While the runtime is searched and the VM created; a stage reached renews it.
inline constexpr std::uint32_t kStartWaitHintMs = 30000;
// While the Java program is stopping; renewed every kStopProgressIntervalMs.
inline constexpr std::uint32_t kStopWaitHintMs = 5000;
inline constexpr std::uint32_t kStopProgressIntervalMs = 1000;

// The fields of one SetServiceStatus call besides the service type.
struct ServiceStatusReport {
    ServiceState state = ServiceState::kStartPending;
    std::uint32_t controlsAccepted = 0;
    std::uint32_t win32ExitCode = 0;
    std::uint32_t serviceSpecificExitCode = 0;
    std::uint32_t checkPoint = 0;
    std::uint32_t waitHintMs = 0;
};

// Only a running service takes a stop; the shutdown controls stop it the same way.
std::uint32_t ControlsAcceptedIn(ServiceState state) noexcept;

// Exit code 0 is NO_ERROR; any other code is told as a service-specific error with
// that code (-1, a launcher failure, as 0xFFFFFFFF), so that recovery actions apply.
void SetExitCode(ServiceStatusReport& report, int exitCode) noexcept;

// The order of states: start pending, running, stop pending, stopped. Each event
// gives the report to make, or nullopt when the event does not apply in the current
// state (a stop before main was called, anything after stopped). Not thread-safe.
class ServiceLifecycle {
public:
    ServiceStatusReport Starting();
    // A step of the start or the stop was taken: the same state, the next checkpoint.
    std::optional<ServiceStatusReport> Progress();
    std::optional<ServiceStatusReport> MainCalled();
    std::optional<ServiceStatusReport> StopRequested();
    // The Java program, or the launch, ended with that exit code.
    std::optional<ServiceStatusReport> Ended(int exitCode);

    ServiceState state() const noexcept { return state_; }

private:
    ServiceStatusReport Enter(ServiceState state, std::uint32_t waitHintMs);

    ServiceState state_ = ServiceState::kStopped;
    bool started_ = false;
    std::uint32_t checkPoint_ = 0;
    std::uint32_t waitHintMs_ = 0;
};

}  // namespace orvo
