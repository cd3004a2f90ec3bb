#include "single_instance/single_instance.h"

#include <optional>
#include <utility>

#include "foundation/error_box.h"
#include "foundation/final_path.h"
#include "foundation/launcher_path.h"
#include "foundation/messages.h"
#include "foundation/paths.h"
#include "foundation/text_format.h"
#include "foundation/trace.h"
#include "single_instance/launcher_identity.h"
#include "single_instance/request_service.h"

namespace orvo {
namespace {

constexpr DWORD kStopWaitMs = 5000;

void TraceInstance(const std::wstring& text) { Trace(L"instance", text); }

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
    const std::optional<std::wstring> ownPath = GetLauncherPath();
    if (!ownPath) return true;
    const std::optional<std::wstring> identity = ExecutableIdentity(*ownPath);
    if (!identity) return TurnOffAfterError(L"own file unreadable");
    launcherPath = *ownPath;
    names = NamesFor(*identity);
    // The answer of a running instance comes as a message to this thread: its queue
    // must exist before the request goes out, so that an early answer waits in it.
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    enabled = true;
    return Join(settings, arguments, false);
}

bool CSingleInstance::Claim(const LauncherSettings& settings, const std::vector<std::wstring>& arguments) {
    if (!enabled || forwarded || isPrimary) return true;
    return Join(settings, arguments, true);
}

// The forwarding mutex is taken before the section is looked at: a block found then
// has been completely written by its primary, and no other later start is between
// writing the argument area and hearing that it was taken.
bool CSingleInstance::Join(const LauncherSettings& settings, const std::vector<std::wstring>& arguments,
                           bool mayCreate) {
    if (!OpenForwardMutex()) return TurnOffAfterError(names.forwardMutex);
    forwardLock = Acquire(forwardMutex.get(), kForwardLockWaitMs);
    if (!forwardLock) return LockTimedOut();
    bool created = false;
    if (!OpenSection(mayCreate, created)) {
        if (!mayCreate && GetLastError() == ERROR_FILE_NOT_FOUND) {
            // Nobody serves this program yet; whether this start will is known only
            // once the runtime search has told whether it hosts the VM itself.
            ReleaseObjects();
            return true;
        }
        return TurnOffAfterError(names.section);
    }
    if (!MapBlock()) {
        return TurnOff(names.section + L" is too small: another program's");
    }
    return created ? SetUpPrimary(settings) : ForwardTo(arguments);
}

// A system that cannot make objects with an integrity label (wine refuses the
// descriptor) still gets objects that only this user may open.
bool CSingleInstance::OpenForwardMutex() {
    for (const bool withLabel : {true, false}) {
        security.emplace(withLabel);
        if (!security->valid()) continue;
        forwardMutex.reset(CreateMutexW(security->attributes(), FALSE, names.forwardMutex.c_str()));
        if (forwardMutex || GetLastError() == ERROR_ACCESS_DENIED) break;
    }
    return static_cast<bool>(forwardMutex);
}

bool CSingleInstance::OpenSection(bool mayCreate, bool& created) {
    if (!mayCreate) {
        section.reset(OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, names.section.c_str()));
        return static_cast<bool>(section);
    }
    section.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, security->attributes(), PAGE_READWRITE, 0, kBlockBytes,
                                     names.section.c_str()));
    created = section && GetLastError() != ERROR_ALREADY_EXISTS;
    return static_cast<bool>(section);
}

bool CSingleInstance::MapBlock() {
    view.reset(MapViewOfFile(section.get(), FILE_MAP_WRITE, 0, 0, 0));
    // Another program's section of that name may be smaller than a block.
    if (!view || ViewBytes(view.get()) < kBlockBytes) return false;
    block = std::span<std::byte>(static_cast<std::byte*>(const_cast<void*>(view.get())), kBlockBytes);
    return true;
}

// Someone keeps the forwarding mutex far longer than any start needs it. A running
// instance of this program that can be seen is then one this start cannot reach;
// without one, this start goes on alone.
bool CSingleInstance::LockTimedOut() {
    forwardMutex.reset();
    section.reset(OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, names.section.c_str()));
    if (section && MapBlock() && WhyNotARunningInstance(ReadBlockHeader(block)).empty()) return ReportNotResponding();
    return TurnOff(names.forwardMutex + L" held elsewhere, no instance running");
}

bool CSingleInstance::SetUpPrimary(const LauncherSettings& settings) {
    // Not make_shared: built without run-time type information, it reaches for the C++
    // runtime's type_info comparison and with it the whole exception machinery.
    std::shared_ptr<RequestService> shared(new RequestService());
    shared->readyEvent.reset(CreateEventW(security->attributes(), TRUE, FALSE, names.readyEvent.c_str()));
    shared->forwardMutex.reset(CreateMutexW(security->attributes(), FALSE, names.forwardMutex.c_str()));
    shared->messageId = RegisterWindowMessageW(names.message.c_str());
    shared->mainClass = settings.mainClass;
    shared->keepAttached = settings.searchPrefs.ibmAllowed && settings.searchPrefs.ibmFavored;
    shared->ownImage = CanonicalPath(launcherPath);
    // Without the event, handlers could not wait for the VM.
    if (!shared->readyEvent || !shared->forwardMutex || shared->messageId == 0 || !shared->ownImage)
        return TurnOffAfterError(L"objects not made");
    // An event of that name still open in an instance that is just ending may be set.
    ResetEvent(shared->readyEvent.get());
    WriteRequestSequence(block, 0);
    listenerThread = StartListener(shared, block, listenerThreadId);
    if (!listenerThread) return TurnOffAfterError(L"no listener");
    WriteBlockHeader(block, {listenerThreadId, GetCurrentProcessId(), shared->messageId});
    service = std::move(shared);
    isPrimary = true;
    forwardLock.reset();  // later starts may use the block now
    TraceInstance(L"serving later starts");
    return true;
}

bool CSingleInstance::ForwardTo(const std::vector<std::wstring>& arguments) {
    const BlockHeader header = ReadBlockHeader(block);
    const std::wstring why = WhyNotARunningInstance(header);
    if (!why.empty()) return TurnOff(names.section + L": " + why);
    if (!PackArguments(arguments, block.subspan(kArgumentAreaOffset))) return false;
    std::uint32_t sequence = ReadRequestSequence(block) + 1;
    if (sequence == 0) sequence = 1;  // 0 is no request's
    WriteRequestSequence(block, sequence);
    messageId = header.messageId;
    if (!PostThreadMessageW(header.listenerThreadId, messageId, GetCurrentThreadId(), static_cast<LPARAM>(sequence)))
        return ReportNotResponding();
    forwarded = true;
    return true;
}

// A section of that name may belong to another program, or have outlived its
// primary: only a block naming our own message, a running process of this very
// executable and a thread of that process is one to hand arguments to. Empty when
// the block is such a one; else why not.
std::wstring CSingleInstance::WhyNotARunningInstance(const BlockHeader& header) {
    if (header.messageId == 0 || header.messageId != RegisterWindowMessageW(names.message.c_str()))
        return L"another message";
    primaryProcess.reset(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, header.primaryProcessId));
    if (!primaryProcess || WaitForSingleObject(primaryProcess.get(), 0) != WAIT_TIMEOUT)
        return L"process gone";
    const std::optional<std::wstring> image = CanonicalImagePath(primaryProcess.get());
    if (!SameCanonicalPath(image, CanonicalPath(launcherPath)))
        return L"process runs " + image.value_or(L"?");
    if (!ThreadBelongsTo(header.listenerThreadId, header.primaryProcessId))
        return L"foreign thread";
    return {};
}

bool CSingleInstance::TurnOff(const std::wstring& reason) noexcept {
    TraceInstance(L"off, ordinary instance: " + reason);
    TearDown();
    return true;
}

bool CSingleInstance::TurnOffAfterError(std::wstring_view what) noexcept {
    const DWORD error = GetLastError();  // read before anything here can change it
    return TurnOff(FillTemplate(L"%s (error %d)", {what}, error));
}

bool CSingleInstance::ReportNotResponding() {
    TraceInstance(L"no response");
    ShowErrorBoxWithText(ErrorBoxOwner(), LoadMessage(IDS_INSTANCE_NOT_RESPONDING), launcherPath);
    TearDown();
    return false;
}

int CSingleInstance::NotResponding() {
    ReportNotResponding();
    return -1;
}

int CSingleInstance::SecondaryWait() {
    if (!primaryProcess) return 0;
    const HANDLE primary = primaryProcess.get();
    const ULONGLONG takeDeadline = GetTickCount64() + kTakeWaitMs;
    for (;;) {
        // Looked at before the queue: an answer posted just before the primary ended
        // is then already in it.
        const bool primaryEnded = WaitForSingleObject(primary, 0) == WAIT_OBJECT_0;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message != messageId) continue;  // nothing else is meant for this thread
            if (message.lParam == kArgumentsTakenMarker) {
                forwardLock.reset();
                continue;
            }
            if (message.lParam == kNotServedMarker) return NotResponding();
            return static_cast<int>(static_cast<DWORD>(message.wParam));
        }
        const bool taken = !forwardLock;
        // Arguments the running instance never took got no answer of its own.
        if (primaryEnded) return taken ? ExitCodeOf(primary) : -1;
        const ULONGLONG now = GetTickCount64();
        if (!taken && now >= takeDeadline) return NotResponding();
        const DWORD timeout = taken ? INFINITE : static_cast<DWORD>(takeDeadline - now);
        if (MsgWaitForMultipleObjectsEx(1, &primary, timeout, QS_ALLPOSTMESSAGE, MWMO_INPUTAVAILABLE) == WAIT_FAILED)
            return -1;
    }
}

HANDLE CSingleInstance::ReadyEvent() const noexcept { return service ? service->readyEvent.get() : nullptr; }

void CSingleInstance::ServeVm(JavaVM* vm) noexcept {
    if (service) service->vm.store(vm);
}

void CSingleInstance::TearDown() noexcept {
    ReleaseObjects();
    enabled = false;
    isPrimary = false;
    forwarded = false;
}

void CSingleInstance::ReleaseObjects() noexcept {
    if (service) service->vm.store(nullptr);
    // With the lock, no later start is left between writing the area and hearing
    // that it was taken, which it would otherwise wait for until its bound.
    UniqueHeldMutex lock;
    if (listenerThread && !forwardLock) lock = Acquire(forwardMutex.get(), kStopWaitMs);
    if (!StopListener()) view.release();  // a listener still running may yet read the block
    if (service) StopHandlers(*service);
    view.reset();
    block = {};
    section.reset();
    service.reset();
    primaryProcess.reset();
    lock.reset();
    forwardLock.reset();
    forwardMutex.reset();
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
