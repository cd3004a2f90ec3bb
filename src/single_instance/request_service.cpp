#include "single_instance/request_service.h"

#include <utility>
#include <vector>

#include "hosting/ansi_text.h"
#include "hosting/java_strings.h"
#include "hosting/jni_objects.h"
#include "single_instance/single_instance_block.h"

namespace orvo {
namespace {

struct ListenerStart {
    std::shared_ptr<RequestService> service;
    std::span<const std::byte> area;
    HANDLE queueReady = nullptr;  // the starter's event; not touched once it is set
};

// One forwarded start: whom to answer and the arguments it sent.
struct Request {
    std::shared_ptr<RequestService> service;
    DWORD secondaryThreadId = 0;
    std::vector<std::wstring> arguments;
};

void Answer(const Request& request, int result, LPARAM marker = 0) {
    PostThreadMessageW(request.secondaryThreadId, request.service->messageId,
                       static_cast<WPARAM>(static_cast<DWORD>(result)), marker);
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

DWORD ServeRequest(const Request& request) {
    // Requests that come before main starts wait here: the VM may not exist yet.
    WaitForSingleObject(request.service->readyEvent.get(), INFINITE);
    JavaVM* vm = request.service->vm.load();
    JNIEnv* env = nullptr;
    if (!vm || vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) != JNI_OK) return 1;
    const bool served = CallSecondaryMain(env, request);
    if (!request.service->keepAttached) vm->DetachCurrentThread();
    return served ? 0 : 1;
}

DWORD WINAPI RequestHandlerProc(void* parameter) {
    std::unique_ptr<Request> request(static_cast<Request*>(parameter));
    return ServeRequest(*request);
}

// The area is copied at once and the later start told so: it may then let the next
// one write the area, while this request waits for the VM as long as it must.
void TakeRequest(const ListenerStart& listener, DWORD secondaryThreadId) {
    auto request = std::make_unique<Request>();
    request->service = listener.service;
    request->secondaryThreadId = secondaryThreadId;
    request->arguments = UnpackArguments(listener.area);
    Answer(*request, 0, kArgumentsTakenMarker);
    UniqueKernelHandle handler(CreateThread(nullptr, 0, &RequestHandlerProc, request.get(), 0, nullptr));
    if (handler) request.release();  // the handler owns it now
}

DWORD WINAPI ListenerProc(void* parameter) {
    const ListenerStart listener = std::move(*static_cast<ListenerStart*>(parameter));
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // creates the queue
    SetEvent(listener.queueReady);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == listener.service->messageId) {
            TakeRequest(listener, static_cast<DWORD>(message.wParam));
        }
    }
    return 0;
}

}  // namespace

UniqueKernelHandle StartListener(std::shared_ptr<RequestService> service, std::span<const std::byte> area,
                                 DWORD& threadId) {
    UniqueKernelHandle queueReady(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!queueReady) return {};
    ListenerStart start{std::move(service), area, queueReady.get()};
    UniqueKernelHandle thread(CreateThread(nullptr, 0, &ListenerProc, &start, 0, &threadId));
    if (!thread) return {};
    // `start` lives on this stack until the listener has taken it (its first step).
    const HANDLE waits[] = {queueReady.get(), thread.get()};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return {};
    return thread;
}

}  // namespace orvo
