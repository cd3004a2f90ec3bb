#include "support/remote_memory.h"

#include "support/harness_error.h"

namespace orvo::test {

RemoteMemory::RemoteMemory(HWND window, std::size_t size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (!process_) throw HarnessError(L"cannot open the window's process", GetLastError());
    address_ = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!address_) throw HarnessError(L"cannot allocate memory in the window's process", GetLastError());
}

RemoteMemory::~RemoteMemory() { VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE); }

void RemoteMemory::Write(std::size_t offset, const void* data, std::size_t size) const {
    if (!WriteProcessMemory(process_.get(), At(offset), data, size, nullptr))
        throw HarnessError(L"cannot write into the window's process", GetLastError());
}

void RemoteMemory::Read(std::size_t offset, void* data, std::size_t size) const {
    if (!ReadProcessMemory(process_.get(), At(offset), data, size, nullptr))
        throw HarnessError(L"cannot read from the window's process", GetLastError());
}

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &result)) return 0;
    return static_cast<LRESULT>(result);
}

}  // namespace orvo::test
