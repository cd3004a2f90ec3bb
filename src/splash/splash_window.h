#pragma once
// The launcher's own splash window: a borderless, taskbar-less window of the image's
// size at the centre of the screen, on a thread of its own with its message loop.
//
// The window goes when the launcher closes it, when it is closed from outside, and
// as soon as the Java program shows its first top-level window: left open, it would
// come back from behind the program's windows whenever they are minimised or moved.
#include <windows.h>

#include <atomic>
#include <string>

#include "foundation/unique_handle.h"
#include "splash/splash_image.h"

namespace orvo {

class SplashWindow {
public:
    SplashWindow(std::wstring imagePath, bool shadow);
    SplashWindow(const SplashWindow&) = delete;
    SplashWindow& operator=(const SplashWindow&) = delete;

    // Starts the splash thread and waits (bounded) until the window is on screen or
    // known not to come, so that the error boxes of the next steps have their owner.
    // False when the thread cannot be created.
    bool Start();

    // Asks the thread to end (one WM_QUIT) and waits for it, bounded. True when the
    // thread has ended; the object may then be destroyed, and only then.
    bool Stop();

private:
    static DWORD WINAPI ThreadProc(void* self);
    void RunThread();
    HWND CreateSplashWindow();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HWND window) const;

    std::wstring imagePath_;
    bool shadow_;
    SplashPicture picture_;  // written by the splash thread before its window exists
    UniqueKernelHandle thread_;
    DWORD threadId_ = 0;
    UniqueKernelHandle settled_;  // set once the window is shown, or will not be
    // A WM_QUIT posted before the thread has a message queue would be lost; the
    // thread looks at this flag before it enters its loop.
    std::atomic<bool> quitRequested_{false};
};

}  // namespace orvo
