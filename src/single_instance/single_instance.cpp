#include "single_instance/single_instance.h"

#include <optional>
#include <utility>

#include "foundation/launcher_path.h"
#include "single_instance/request_service.h"

namespace orvo {
namespace {

constexpr DWORD kStopWaitMs = 5000;

// A mutex whose owner ended without releasing it counts as acquired.
UniqueHeldMutex Acquire(HANDLE mutex, DWORD timeoutMs) {
    const DWORD result = WaitForSingleObject(mutex, timeoutMs);
    if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED) return {};
    return UniqueHeldMutex(mutex);
}

// What can be read from the view's start: the section's size rounded up to pages.
std::size_t ViewBytes(const void* view) {
    MEMORY_BASIC_INFORMATION info{};
    if (VirtualQuery(view, &info, sizeof info) != sizeof info) return 0;
    return info.RegionSize;
}

bool ThreadBelongsTo(DWORD threadId, DWORD processId) {
    UniqueKernelHandle thread(OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId));
    return thread && GetProcessIdOfThread(thread.get()) == processId;
}

int ExitCodeOf(HANDLE process) {
    DWORD code = 0;
    return GetExitCodeProcess(process, &code) ? static_cast<int>(code) : -1;
}

}  // namespace

bool CSingleInstance::SetUp(const LauncherSettings& settings, const std::vector<std::wstring>& arguments) {
    if (settings.serviceMode || !settings.singleInstance) return true;
    const std::optional<std::wstring> launcherPath = GetLauncherPath();
    if (!launcherPath) return true;
    enabled = true;
    names = NamesFor(*launcherPath);
    if (!OpenSection()) return TurnOff();
    return isPrimary ? SetUpPrimary(settings) : SetUpSecondary(arguments);
}

// The forwarding mutex is taken before the section is looked at: a block found then
// has been completely written by its primary, and no other later start is between
// writing the argument area and hearing that it was taken.
bool CSingleInstance::OpenSection() {
    forwardMutex.reset(CreateMutexW(nullptr, FALSE, names.forwardMutex.c_str()));
    if (!forwardMutex) return false;
    forwardLock = Acquire(forwardMutex.get(), INFINITE);
    if (!forwardLock) return false;
    section.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBlockBytes,
                                     names.section.c_str()));
    if (!section) return false;
    isPrimary = GetLastError() != ERROR_ALREADY_EXISTS;
    view.reset(MapViewOfFile(section.get(), FILE_MAP_WRITE, 0, 0, 0));
    // Another program's section of that name may be smaller than a block.
    if (!view || ViewBytes(view.get()) < kBlockBytes) return false;
    block = std::span<std::byte>(static_cast<std::byte*>(const_cast<void*>(view.get())), kBlockBytes);
    return true;
}

bool CSingleInstance::SetUpPrimary(const LauncherSettings& settings) {
    // Not make_shared: built without run-time type information, it reaches for the C++
    // runtime's type_info comparison and with it the whole exception machinery.
    std::shared_ptr<RequestService> shared(new RequestService());
    shared->readyEvent.reset(CreateEventW(nullptr, TRUE, FALSE, names.readyEvent.c_str()));
    shared->messageId = RegisterWindowMessageW(names.section.c_str());
    shared->mainClass = settings.mainClass;
    shared->keepAttached = settings.searchPrefs.ibmAllowed && settings.searchPrefs.ibmFavored;
    // Without the event, handlers could not wait for the VM.
    if (!shared->readyEvent || shared->messageId == 0) return TurnOff();
    // An event of that name still open in an instance that is just ending may be set.
    ResetEvent(shared->readyEvent.get());
    listenerThread = StartListener(shared, block.subspan(kArgumentAreaOffset), listenerThreadId);
    if (!listenerThread) return TurnOff();
    WriteBlockHeader(block, {listenerThreadId, GetCurrentProcessId(), shared->messageId});
    service = std::move(shared);
    forwardLock.reset();  // later starts may use the block now
    return true;
}

bool CSingleInstance::SetUpSecondary(const std::vector<std::wstring>& arguments) {
    const BlockHeader header = ReadBlockHeader(block);
    if (!IsRunningInstance(header)) return TurnOff();
    if (!PackArguments(arguments, block.subspan(kArgumentAreaOffset))) return false;
    messageId = header.messageId;
    return PostThreadMessageW(header.listenerThreadId, messageId, GetCurrentThreadId(), 0) != FALSE;
}

// A section of that name may belong to another program or have outlived its primary:
// only a block naming our own message, a running process and a listener thread of
// that very process is one to forward to.
bool CSingleInstance::IsRunningInstance(const BlockHeader& header) {
    if (header.messageId == 0 || header.messageId != RegisterWindowMessageW(names.section.c_str())) return false;
    primaryProcess.reset(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, header.primaryProcessId));
    if (!primaryProcess || WaitForSingleObject(primaryProcess.get(), 0) != WAIT_TIMEOUT) return false;
    return ThreadBelongsTo(header.listenerThreadId, header.primaryProcessId);
}

bool CSingleInstance::TurnOff() noexcept {
    TearDown();
    return true;
}

int CSingleInstance::SecondaryWait() {
    if (!primaryProcess) return 0;
    const HANDLE primary = primaryProcess.get();
    for (;;) {
        // Looked at before the queue: an answer posted just before the primary ended
        // is then already in it.
        const bool primaryEnded = WaitForSingleObject(primary, 0) == WAIT_OBJECT_0;
        int answer = 0;
        if (TakeAnswer(answer)) return answer;
        if (primaryEnded) return ExitCodeOf(primary);
        if (MsgWaitForMultipleObjectsEx(1, &primary, INFINITE, QS_ALLPOSTMESSAGE, MWMO_INPUTAVAILABLE) ==
            WAIT_FAILED) {
            return -1;
        }
    }
}

bool CSingleInstance::TakeAnswer(int& answer) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != messageId) continue;  // nothing else is meant for this thread
        if (message.lParam == kArgumentsTakenMarker) {
            forwardLock.reset();
            continue;
        }
        answer = static_cast<int>(static_cast<DWORD>(message.wParam));
        return true;
    }
    return false;
}

HANDLE CSingleInstance::ReadyEvent() const noexcept { return service ? service->readyEvent.get() : nullptr; }

void CSingleInstance::ServeVm(JavaVM* vm) noexcept {
    if (service) service->vm.store(vm);
}

void CSingleInstance::TearDown() noexcept {
    if (service) service->vm.store(nullptr);
    // With the lock, no later start is left between writing the area and hearing
    // that it was taken, which it would otherwise wait for until this process ends.
    UniqueHeldMutex lock;
    if (listenerThread) lock = Acquire(forwardMutex.get(), kStopWaitMs);
    if (!StopListener()) view.release();  // a listener still running may yet read the area
    view.reset();
    block = {};
    section.reset();
    service.reset();
    primaryProcess.reset();
    lock.reset();
    forwardLock.reset();
    forwardMutex.reset();
    enabled = false;
    isPrimary = false;
}

bool CSingleInstance::StopListener() noexcept {
    if (!listenerThread) return true;
    PostThreadMessageW(listenerThreadId, WM_QUIT, 0, 0);
    const bool ended = WaitForSingleObject(listenerThread.get(), kStopWaitMs) == WAIT_OBJECT_0;
    listenerThread.reset();
    listenerThreadId = 0;
    return ended;
}

}  // namespace orvo
