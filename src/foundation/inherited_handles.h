#pragma once
// A process started with exactly the handles it is meant to have: an explicit list
// for PROC_THREAD_ATTRIBUTE_HANDLE_LIST, so that no other inheritable handle this
// process happens to hold (one its own parent passed down, say) goes with it.
#include <windows.h>

#include <vector>

namespace orvo {

class InheritedHandleList {
public:
    // The handles must be inheritable and stay open until the process is created.
    explicit InheritedHandleList(std::vector<HANDLE> handles);
    ~InheritedHandleList();
    InheritedHandleList(const InheritedHandleList&) = delete;
    InheritedHandleList& operator=(const InheritedHandleList&) = delete;

    // For STARTUPINFOEXW::lpAttributeList, with EXTENDED_STARTUPINFO_PRESENT and
    // bInheritHandles TRUE. Null when there are no handles or the list could not be
    // built: the process must then inherit nothing.
    LPPROC_THREAD_ATTRIBUTE_LIST get() const noexcept { return ready_ ? attributes() : nullptr; }

private:
    LPPROC_THREAD_ATTRIBUTE_LIST attributes() const noexcept {
        return reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(const_cast<unsigned char*>(storage_.data()));
    }

    std::vector<HANDLE> handles_;
    std::vector<unsigned char> storage_;
    bool initialised_ = false;
    bool ready_ = false;
};

}  // namespace orvo
