#pragma once
// What the Java runtime writes to standard error while it starts, kept for an error box
// when nobody could read it otherwise. A launcher started from the desktop has no
// standard error: a runtime that cannot load the main class, or rejects an option,
// explains why there and ends, and the user would see nothing at all.
#include <windows.h>

#include <atomic>
#include <string>
#include <string_view>

#include "foundation/unique_handle.h"

namespace orvo {

class StartupErrorCapture {
public:
    StartupErrorCapture() = default;
    StartupErrorCapture(const StartupErrorCapture&) = delete;
    StartupErrorCapture& operator=(const StartupErrorCapture&) = delete;
    // Finishes a capture still running.
    ~StartupErrorCapture();

    // When the process's standard error leads nowhere (no handle, or one that is not
    // open), points it at a pipe that a thread of its own empties into memory; a
    // console, a file or a pipe is left alone, someone reads it. Call it before the
    // JVM library loads: its C runtime takes the handle when it starts. Does nothing
    // when the pipe cannot be made.
    void Start();

    // True from a Start that made its pipe until Finish.
    bool running() const noexcept;
    // True when standard output led nowhere at the Start too: what the runtime writes
    // there while it starts belongs to the report as well.
    bool takesStandardOutput() const noexcept { return takesStandardOutput_; }

    // Adds text the runtime wrote some other way (its C runtime's stderr, which took
    // the process's handle when it started, possibly long before Start). Nothing
    // when no capture runs.
    void Write(std::string_view text) const;

    // Ends the capture (once; later calls give empty text): standard error is the
    // old handle again, and what the runtime writes from now on goes nowhere, as it
    // would have. Returns what was written, as text. Safe on any thread, also inside
    // the VM's exit hook.
    std::wstring Finish();

    // The capture running in this process, for the VM's exit and abort hooks; null
    // when there is none.
    static StartupErrorCapture* Active() noexcept;

private:
    static DWORD WINAPI ReaderThreadProc(void* capture);
    void ReadUntilStopped();
    bool ReadOnce(OVERLAPPED& overlapped, char* buffer, DWORD size);
    void DrainRest(OVERLAPPED& overlapped, char* buffer, DWORD size);
    void Keep(const char* bytes, DWORD count);

    HANDLE originalError_ = nullptr;
    bool takesStandardOutput_ = false;
    UniqueFileHandle readEnd_;
    // Stays open for the process's life: the runtime's streams keep its value.
    HANDLE writeEnd_ = INVALID_HANDLE_VALUE;
    UniqueKernelHandle readEvent_;
    UniqueKernelHandle stopEvent_;
    UniqueKernelHandle readerThread_;
    std::string bytes_;  // written by the reader thread only, read after it ended
    std::atomic<bool> finished_{false};
};

}  // namespace orvo
