#include "single_instance/request_service.h"

#include <utility>
#include <vector>

#include "foundation/final_path.h"
#include "foundation/trace.h"
#include "hosting/ansi_text.h"
#include "hosting/java_strings.h"
#include "hosting/jni_objects.h"
#include "single_instance/single_instance_block.h"

namespace orvo {
namespace {

struct ListenerStart {
    std::shared_ptr<RequestService> service;
    std::span<const std::byte> block;
    HANDLE queueReady = nullptr;  // the starter's event; not touched once it is set
};

// One forwarded start: whom to answer and the arguments it sent.
struct Request {
    std::shared_ptr<RequestService> service;
    DWORD secondaryThreadId = 0;
    std::vector<std::wstring> arguments;
};

void Answer(const RequestService& service, DWORD secondaryThreadId, int result, LPARAM marker = 0) {
    PostThreadMessageW(secondaryThreadId, service.messageId, static_cast<WPARAM>(static_cast<DWORD>(result)), marker);
}

void Answer(const Request& request, int result, LPARAM marker = 0) {
    Answer(*request.service, request.secondaryThreadId, result, marker);
}

// secondaryMain may return nothing or an int; the void form is looked for first.
jmethodID FindSecondaryMain(JNIEnv* env, jclass mainClass, bool& returnsInt) {
    jmethodID method = env->GetStaticMethodID(mainClass, "secondaryMain", "([Ljava/lang/String;)V");
    if (ExceptionPending(env)) env->ExceptionClear();
    returnsInt = method == nullptr;
    if (!method) method = env->GetStaticMethodID(mainClass, "secondaryMain", "([Ljava/lang/String;)I");
    if (!method) DescribePendingException(env);
    return method;
}

// A void secondaryMain releases the later start before it runs, an int one once it
// has returned its answer. False when nothing could be called or it threw.
bool CallSecondaryMain(JNIEnv* env, const Request& request) {
    jclass mainClass = env->FindClass(ToThreadAnsi(request.service->mainClass).c_str());
    bool returnsInt = false;
    jmethodID method = mainClass ? FindSecondaryMain(env, mainClass, returnsInt) : nullptr;
    jobjectArray arguments = method ? NewArgumentArray(env, request.arguments) : nullptr;
    if (!arguments) {
        DescribePendingException(env);
        return false;
    }
    if (returnsInt) {
        Answer(request, env->CallStaticIntMethod(mainClass, method, arguments));
    } else {
        Answer(request, 0);
        env->CallStaticVoidMethod(mainClass, method, arguments);
    }
    if (!ExceptionPending(env)) return true;
    env->ExceptionDescribe();
    return false;
}

bool ServeRequest(const Request& request) {
    // Requests that come before main starts wait here: the VM may not exist yet. A VM
    // that is not ready after the bound will not serve this start in any useful time.
    if (WaitForSingleObject(request.service->readyEvent.get(), kReadyWaitMs) != WAIT_OBJECT_0) {
        Trace(L"instance", L"VM not ready");
        Answer(request, -1, kNotServedMarker);
        return false;
    }
    JavaVM* vm = request.service->vm.load();
    JNIEnv* env = nullptr;
    if (!vm || vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) != JNI_OK) return false;
    const bool served = CallSecondaryMain(env, request);
    if (!request.service->keepAttached) vm->DetachCurrentThread();
    return served;
}

// A null packet tells a handler to end.
DWORD WINAPI RequestHandlerProc(void* parameter) {
    const std::shared_ptr<RequestService> service = std::move(*static_cast<std::shared_ptr<RequestService>*>(parameter));
    delete static_cast<std::shared_ptr<RequestService>*>(parameter);
    DWORD bytes = 0;
    ULONG_PTR key = 0;
    OVERLAPPED* packet = nullptr;
    while (GetQueuedCompletionStatus(service->queue.get(), &bytes, &key, &packet, INFINITE) && packet) {
        std::unique_ptr<Request> request(reinterpret_cast<Request*>(packet));
        --service->queued;
        ServeRequest(*request);
    }
    return 0;
}

// One more handler, while there are fewer than the limit and more requests than
// handlers. A failed start leaves the request to those that run (or, with none,
// to the next request's attempt).
void AddHandlerIfNeeded(const std::shared_ptr<RequestService>& service) {
    if (service->handlers.load() >= kRequestHandlers || service->handlers.load() >= service->queued.load()) return;
    auto parameter = std::make_unique<std::shared_ptr<RequestService>>(service);
    UniqueKernelHandle handler(CreateThread(nullptr, 0, &RequestHandlerProc, parameter.get(), 0, nullptr));
    if (!handler) return;
    parameter.release();  // the handler owns it now
    ++service->handlers;
}

// Whether someone holds the forwarding mutex, as a later start does from writing its
// request until it has been taken. Taking it here would mean nobody does.
bool ForwardMutexHeldElsewhere(HANDLE mutex) {
    const DWORD result = WaitForSingleObject(mutex, 0);
    if (result == WAIT_TIMEOUT) return true;
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) ReleaseMutex(mutex);
    return false;
}

// Whether the thread that asks for the answer runs this very executable.
bool SentByThisProgram(const RequestService& service, DWORD threadId) {
    UniqueKernelHandle thread(OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId));
    const DWORD processId = thread ? GetProcessIdOfThread(thread.get()) : 0;
    UniqueKernelHandle process(processId ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId) : nullptr);
    return process && SameCanonicalPath(CanonicalImagePath(process.get()), service.ownImage);
}

class Listener {
public:
    explicit Listener(ListenerStart start) : service_(std::move(start.service)), block_(start.block) {}

    // Only a request made the way a later start makes one is taken: it carries the
    // sequence number just written into the block, which no request had before; its
    // sender holds the forwarding mutex and runs this executable. Anything else (a
    // message posted by another program, a repeat) is dropped before it costs more
    // than these checks.
    void OnRequest(DWORD secondaryThreadId, LPARAM sequenceParameter) {
        const auto sequence = static_cast<std::uint32_t>(sequenceParameter);
        if (sequence == 0 || sequence == lastSequence_ || sequence != ReadRequestSequence(block_)) return;
        if (!ForwardMutexHeldElsewhere(service_->forwardMutex.get())) return;
        if (!SentByThisProgram(*service_, secondaryThreadId)) return;
        lastSequence_ = sequence;
        Take(secondaryThreadId);
    }

private:
    // The area is copied at once and the later start told so: it may then let the
    // next one write the area, while this request waits in the queue.
    void Take(DWORD secondaryThreadId) {
        auto request = std::make_unique<Request>();
        request->service = service_;
        request->secondaryThreadId = secondaryThreadId;
        request->arguments = UnpackArguments(block_.subspan(kArgumentAreaOffset));
        Answer(*request, 0, kArgumentsTakenMarker);
        if (service_->queued.load() >= kQueuedRequestLimit) {
            Trace(L"instance", L"queue full");
            Answer(*request, -1, kNotServedMarker);
            return;
        }
        ++service_->queued;
        if (!PostQueuedCompletionStatus(service_->queue.get(), 0, 0, reinterpret_cast<OVERLAPPED*>(request.get()))) {
            --service_->queued;
            Answer(*request, -1, kNotServedMarker);
            return;
        }
        request.release();  // the queue holds it now
        AddHandlerIfNeeded(service_);
    }

    std::shared_ptr<RequestService> service_;
    std::span<const std::byte> block_;
    std::uint32_t lastSequence_ = 0;
};

DWORD WINAPI ListenerProc(void* parameter) {
    ListenerStart start = std::move(*static_cast<ListenerStart*>(parameter));
    const UINT messageId = start.service->messageId;
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // creates the queue
    SetEvent(start.queueReady);
    Listener listener(std::move(start));
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == messageId) listener.OnRequest(static_cast<DWORD>(message.wParam), message.lParam);
    }
    return 0;
}

}  // namespace

UniqueKernelHandle StartListener(std::shared_ptr<RequestService> service, std::span<const std::byte> block,
                                 DWORD& threadId) {
    service->queue.reset(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, kRequestHandlers));
    UniqueKernelHandle queueReady(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!service->queue || !queueReady) return {};
    ListenerStart start{std::move(service), block, queueReady.get()};
    UniqueKernelHandle thread(CreateThread(nullptr, 0, &ListenerProc, &start, 0, &threadId));
    if (!thread) return {};
    // `start` lives on this stack until the listener has taken it (its first step).
    const HANDLE waits[] = {queueReady.get(), thread.get()};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return {};
    return thread;
}

void StopHandlers(RequestService& service) noexcept {
    if (!service.queue) return;
    for (int i = service.handlers.load(); i > 0; --i) PostQueuedCompletionStatus(service.queue.get(), 0, 0, nullptr);
}

}  // namespace orvo
