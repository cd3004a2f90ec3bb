#include "hosting/startup_error_capture.h"

#include <string>

#include "hosting/ansi_text.h"
#include "foundation/text_format.h"

namespace orvo {

namespace {

constexpr DWORD kPipeBufferSize = 64 * 1024;
// More than any error box can show; the rest is read and dropped, never left to
// block a writer.
constexpr std::size_t kMaxKeptBytes = 64 * 1024;
constexpr DWORD kReaderStackSize = 64 * 1024;
// The reader only has to notice its stop event; a reader that does not within this
// time is left alone, and its bytes with it.
constexpr DWORD kReaderStopTimeoutMs = 5000;

std::atomic<StartupErrorCapture*> activeCapture{nullptr};

// No handle, or one that is no longer open: what is written there reaches nobody.
// A console, a file, a pipe or the NUL device was chosen by whoever started us.
bool LeadsNowhere(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return true;
    return GetFileType(handle) == FILE_TYPE_UNKNOWN && GetLastError() != NO_ERROR;
}

std::wstring UniquePipeName() {
    static std::atomic<unsigned> serial{0};
    return L"\\\\.\\pipe\\orvo-startup-errors-" + DecimalText(GetCurrentProcessId()) + L"-" +
           DecimalText(serial.fetch_add(1));
}

}  // namespace

StartupErrorCapture::~StartupErrorCapture() { Finish(); }

StartupErrorCapture* StartupErrorCapture::Active() noexcept { return activeCapture.load(); }

void StartupErrorCapture::Start() {
    HANDLE current = GetStdHandle(STD_ERROR_HANDLE);
    if (readerThread_ || !LeadsNowhere(current)) return;
    std::wstring name = UniquePipeName();
    // One instance, first of its name, local clients only: nobody else can be the
    // writer, and the process connects to it at once.
    readEnd_.reset(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                    PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0,
                                    kPipeBufferSize, 0, nullptr));
    if (!readEnd_) return;
    UniqueFileHandle writeEnd(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    readEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    stopEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (writeEnd && readEvent_ && stopEvent_) {
        readerThread_.reset(
            CreateThread(nullptr, kReaderStackSize, &ReaderThreadProc, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    }
    if (!readerThread_) {
        readEnd_.reset();
        return;
    }
    writeEnd_ = writeEnd.release();
    originalError_ = current;
    takesStandardOutput_ = LeadsNowhere(GetStdHandle(STD_OUTPUT_HANDLE));
    SetStdHandle(STD_ERROR_HANDLE, writeEnd_);
    activeCapture.store(this);
}

bool StartupErrorCapture::running() const noexcept { return readerThread_ && !finished_.load(); }

void StartupErrorCapture::Write(std::string_view text) const {
    if (!running()) return;
    DWORD written = 0;
    WriteFile(writeEnd_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::wstring StartupErrorCapture::Finish() {
    if (finished_.exchange(true) || !readerThread_) return {};
    StartupErrorCapture* self = this;
    activeCapture.compare_exchange_strong(self, nullptr);
    SetStdHandle(STD_ERROR_HANDLE, originalError_);
    SetEvent(stopEvent_.get());
    bool readerEnded = WaitForSingleObject(readerThread_.get(), kReaderStopTimeoutMs) == WAIT_OBJECT_0;
    if (!readerEnded) return {};
    // From now on a write fails at once, as it did to no handle at all.
    readEnd_.reset();
    return FromThreadAnsi(bytes_);
}

DWORD WINAPI StartupErrorCapture::ReaderThreadProc(void* capture) {
    static_cast<StartupErrorCapture*>(capture)->ReadUntilStopped();
    return 0;
}

void StartupErrorCapture::ReadUntilStopped() {
    char buffer[4096];
    OVERLAPPED overlapped{};
    overlapped.hEvent = readEvent_.get();
    while (ReadOnce(overlapped, buffer, sizeof buffer)) {
    }
    DrainRest(overlapped, buffer, sizeof buffer);
}

// One read, cut short by the stop event. False once stopped, or when the pipe fails.
bool StartupErrorCapture::ReadOnce(OVERLAPPED& overlapped, char* buffer, DWORD size) {
    if (!ReadFile(readEnd_.get(), buffer, size, nullptr, &overlapped) && GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    HANDLE waits[] = {readEvent_.get(), stopEvent_.get()};
    bool stopped = WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0;
    if (stopped) CancelIo(readEnd_.get());
    DWORD count = 0;
    if (GetOverlappedResult(readEnd_.get(), &overlapped, &count, TRUE)) Keep(buffer, count);
    else if (GetLastError() != ERROR_OPERATION_ABORTED) return false;
    return !stopped;
}

// What the pipe still holds at the stop was written before it.
void StartupErrorCapture::DrainRest(OVERLAPPED& overlapped, char* buffer, DWORD size) {
    DWORD available = 0;
    while (PeekNamedPipe(readEnd_.get(), nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        DWORD count = 0;
        DWORD wanted = available < size ? available : size;
        if (!ReadFile(readEnd_.get(), buffer, wanted, nullptr, &overlapped) && GetLastError() != ERROR_IO_PENDING) {
            return;
        }
        if (!GetOverlappedResult(readEnd_.get(), &overlapped, &count, TRUE) || count == 0) return;
        Keep(buffer, count);
    }
}

void StartupErrorCapture::Keep(const char* bytes, DWORD count) {
    std::size_t room = kMaxKeptBytes - bytes_.size();
    bytes_.append(bytes, count < room ? count : room);
}

}  // namespace orvo
