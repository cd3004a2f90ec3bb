#pragma once
// The running instance's side of single-instance mode: a listener thread that takes
// each forwarded start's request, and one handler thread per request that calls the
// main class's secondaryMain and answers the later start.
#include <windows.h>

#include <jni.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <span>
#include <string>

#include "foundation/unique_handle.h"

namespace orvo {

// What the listener and every handler share. Handlers hold it as long as they run, so
// it outlives the application object if need be.
struct RequestService {
    UINT messageId = 0;
    std::wstring mainClass;  // "/"-separated
    bool keepAttached = false;  // handlers end without leaving the VM (IBM rule)
    UniqueKernelHandle readyEvent;  // manual reset, set just before main runs
    // Set once the VM exists; cleared at teardown, after which requests get no answer.
    std::atomic<JavaVM*> vm{nullptr};
};

// Starts the listener on `area` (the argument area, which must stay mapped until the
// listener has ended) and returns once its message queue exists, so that posts to it
// cannot fail for want of one. Empty when the thread cannot be started or ended early.
UniqueKernelHandle StartListener(std::shared_ptr<RequestService> service, std::span<const std::byte> area,
                                 DWORD& threadId);

}  // namespace orvo
