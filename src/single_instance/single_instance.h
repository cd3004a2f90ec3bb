#pragma once
// Single-instance coordination between launcher processes of one executable: the
// process that hosts the VM (the primary) serves every later start (a secondary),
// which hands its arguments over, waits for the answer of the main class's
// secondaryMain and exits with that answer.
#include <windows.h>

#include <jni.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "config/launcher_settings.h"
#include "foundation/unique_handle.h"
#include "single_instance/object_security.h"
#include "single_instance/single_instance_block.h"

namespace orvo {

struct RequestService;

// How long a start waits for the forwarding mutex, and a later start for the running
// instance to take its arguments. Past either bound a first start goes on as an
// ordinary instance; a later start that finds a running instance says in a box that
// it does not respond and exits with -1.
inline constexpr DWORD kForwardLockWaitMs = 10000;
inline constexpr DWORD kTakeWaitMs = 10000;

class CSingleInstance {
public:
    CSingleInstance() = default;
    ~CSingleInstance() { TearDown(); }
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // Before the runtime search: when the settings ask for single-instance mode and an
    // instance of this executable runs, forwards the arguments to it (`forwarded`).
    // Whatever keeps the mode from working (the objects cannot be made, or the shared
    // block is not a running instance's) leaves it off, the trace says why, and the
    // launch goes on as an ordinary one. False, which fails the launch, when the
    // arguments are too long to forward, or a running instance cannot be reached
    // (after a box).
    bool SetUp(const LauncherSettings& settings, const std::vector<std::wstring>& arguments);

    // After the runtime search, only in a process that is to host the VM itself (a
    // launcher that hands the launch to its pair never becomes the primary): makes
    // this process the primary, or, when another start got there first, forwards to
    // it as SetUp does. The same results as SetUp.
    bool Claim(const LauncherSettings& settings, const std::vector<std::wstring>& arguments);

    // The secondary's run step: the answer of secondaryMain, or the running
    // instance's exit code when it ends after taking the arguments without
    // answering; -1 when it did not take them or could not serve them.
    int SecondaryWait();

    // The event InvokeMain sets just before main; null when there is none.
    HANDLE ReadyEvent() const noexcept;

    // Handlers of forwarded starts attach to this VM once the ready event is set.
    void ServeVm(JavaVM* vm) noexcept;

    // Stops the listener and releases every object; afterwards this process is no
    // longer the primary, and a later start becomes one itself. Safe to call twice.
    void TearDown() noexcept;

    bool enabled = false;    // configured, and not turned off by a failure
    bool isPrimary = false;  // this process serves later starts
    bool forwarded = false;  // this process handed its arguments to a running instance

private:
    bool Join(const LauncherSettings& settings, const std::vector<std::wstring>& arguments, bool mayCreate);
    bool OpenForwardMutex();
    bool OpenSection(bool mayCreate, bool& created);
    bool MapBlock();
    bool LockTimedOut();
    bool SetUpPrimary(const LauncherSettings& settings);
    bool ForwardTo(const std::vector<std::wstring>& arguments);
    std::wstring WhyNotARunningInstance(const BlockHeader& header);
    bool TurnOff(const std::wstring& reason) noexcept;
    // TurnOff giving `what` and the calling thread's last error as the reason.
    bool TurnOffAfterError(std::wstring_view what) noexcept;
    bool ReportNotResponding();
    int NotResponding();
    void ReleaseObjects() noexcept;
    bool StopListener() noexcept;

    std::wstring launcherPath;
    SingleInstanceNames names;
    std::optional<OwnerOnlySecurity> security;  // made when the mode is on
    UniqueKernelHandle forwardMutex;
    UniqueHeldMutex forwardLock;  // primary: during set-up; secondary: until its arguments are taken
    UniqueKernelHandle section;
    UniqueMappedView view;
    std::span<std::byte> block;
    // Primary.
    std::shared_ptr<RequestService> service;
    UniqueKernelHandle listenerThread;
    DWORD listenerThreadId = 0;
    // Secondary.
    UniqueKernelHandle primaryProcess;
    UINT messageId = 0;
};

}  // namespace orvo
