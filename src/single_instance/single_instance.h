#pragma once
// Single-instance coordination between launcher processes of one executable: the
// first start (the primary) hosts the VM; every later start (a secondary) hands its
// arguments to it, waits for the answer of the main class's secondaryMain and exits
// with that answer.
#include <windows.h>

#include <jni.h>

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "config/launcher_settings.h"
#include "foundation/unique_handle.h"
#include "single_instance/single_instance_block.h"

namespace orvo {

struct RequestService;

class CSingleInstance {
public:
    CSingleInstance() = default;
    ~CSingleInstance() { TearDown(); }
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // When the settings ask for single-instance mode, decides primary or secondary; a
    // secondary forwards its arguments here. Whatever keeps the mode from working (the
    // objects cannot be made, or the shared block is not a running instance's) leaves
    // it off, and the launch goes on as an ordinary one. False, which fails the
    // launch, when the arguments are too long to forward or the running instance
    // cannot be reached.
    bool SetUp(const LauncherSettings& settings, const std::vector<std::wstring>& arguments);

    // The secondary's run step: the answer of secondaryMain, or the running
    // instance's exit code when it ends first. No time-out.
    int SecondaryWait();

    // The event InvokeMain sets just before main; null when there is none.
    HANDLE ReadyEvent() const noexcept;

    // Handlers of forwarded starts attach to this VM once the ready event is set.
    void ServeVm(JavaVM* vm) noexcept;

    // Stops the listener and releases every object; afterwards this process is no
    // longer the primary, and a later start becomes one itself. Safe to call twice.
    void TearDown() noexcept;

    bool enabled = false;
    bool isPrimary = false;

private:
    bool OpenSection();
    bool SetUpPrimary(const LauncherSettings& settings);
    bool SetUpSecondary(const std::vector<std::wstring>& arguments);
    bool IsRunningInstance(const BlockHeader& header);
    bool TurnOff() noexcept;
    bool StopListener() noexcept;
    // Takes every message waiting in this thread's queue; the answer when one came.
    bool TakeAnswer(int& answer);

    SingleInstanceNames names;
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
