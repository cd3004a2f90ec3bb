#pragma once
// Memory inside another process (of the same architecture), for the window
// messages that pass a pointer: the window's own process must be able to read it.
#include <windows.h>

#include <cstddef>

#include "foundation/unique_handle.h"

namespace orvo::test {

class RemoteMemory {
public:
    // `size` bytes in the process that owns `window`; throws HarnessError on failure.
    RemoteMemory(HWND window, std::size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    // The address at `offset`, valid in the other process.
    void* At(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
    // Throw HarnessError on failure.
    void Write(std::size_t offset, const void* data, std::size_t size) const;
    void Read(std::size_t offset, void* data, std::size_t size) const;

private:
    UniqueKernelHandle process_;
    void* address_ = nullptr;
};

// SendMessageTimeoutW that gives up on a hung window after `timeoutMs`; 0 then.
LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs = 5000);

}  // namespace orvo::test
