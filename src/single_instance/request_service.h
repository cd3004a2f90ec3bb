#pragma once
// The running instance's side of single-instance mode: a listener thread that takes
// the requests of later starts, and a few handler threads that serve them one at a
// time from a bounded queue, calling the main class's secondaryMain and answering.
#include <windows.h>

#include <jni.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "foundation/unique_handle.h"

namespace orvo {

// At most this many handler threads; requests beyond them wait in the queue.
inline constexpr int kRequestHandlers = 4;
// Requests taken but not yet being served; a request beyond them is answered as not
// served at once, so no flood of requests can make the process grow.
inline constexpr int kQueuedRequestLimit = 32;
// How long a handler waits for the VM to be ready (main about to run) before it
// answers that the request cannot be served.
inline constexpr DWORD kReadyWaitMs = 120000;

// What the listener and every handler share. Handlers hold it as long as they run, so
// it outlives the application object if need be.
struct RequestService {
    UINT messageId = 0;
    std::wstring mainClass;  // "/"-separated
    bool keepAttached = false;  // handlers end without leaving the VM (IBM rule)
    UniqueKernelHandle readyEvent;  // manual reset, set just before main runs
    UniqueKernelHandle forwardMutex;  // a later start holds it while its request is posted
    std::optional<std::wstring> ownImage;  // canonical path of this executable
    // Set once the VM exists; cleared at teardown, after which requests get no answer.
    std::atomic<JavaVM*> vm{nullptr};
    // The queue: a completion port whose packets carry the requests.
    UniqueKernelHandle queue;
    std::atomic<int> queued{0};
    std::atomic<int> handlers{0};
};

// Starts the listener on `block` (the shared block, which must stay mapped until the
// listener has ended) and returns once its message queue exists, so that posts to it
// cannot fail for want of one. Empty when the thread cannot be started or ended early.
UniqueKernelHandle StartListener(std::shared_ptr<RequestService> service, std::span<const std::byte> block,
                                 DWORD& threadId);

// Lets every handler thread end once it has served what it holds (not waited for).
void StopHandlers(RequestService& service) noexcept;

}  // namespace orvo
