#include "foundation/inherited_handles.h"

namespace orvo {

InheritedHandleList::InheritedHandleList(std::vector<HANDLE> handles) : handles_(std::move(handles)) {
    if (handles_.empty()) return;
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);  // fails, reporting the size
    if (size == 0) return;
    storage_.resize(size);
    initialised_ = InitializeProcThreadAttributeList(attributes(), 1, 0, &size) != FALSE;
    // The list points into handles_, which lives as long as this object.
    ready_ = initialised_ && UpdateProcThreadAttribute(attributes(), 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                                       handles_.data(), handles_.size() * sizeof(HANDLE),
                                                       nullptr, nullptr);
}

InheritedHandleList::~InheritedHandleList() {
    if (initialised_) DeleteProcThreadAttributeList(attributes());
}

}  // namespace orvo
