#pragma once
// Security for the named objects of single-instance mode: only the current user may
// open them, and a process of that user at a lower integrity level (a sandboxed
// browser's helper, say) may neither read nor change them.
#include <windows.h>

#include "foundation/unique_handle.h"

namespace orvo {

class OwnerOnlySecurity {
public:
    // Builds the descriptor from this process's token, with the integrity label or
    // without it; valid() is false when it cannot.
    explicit OwnerOnlySecurity(bool withLabel = true);
    OwnerOnlySecurity(const OwnerOnlySecurity&) = delete;  // attributes() points into it
    OwnerOnlySecurity& operator=(const OwnerOnlySecurity&) = delete;

    bool valid() const noexcept { return static_cast<bool>(descriptor_); }
    // For CreateMutexW, CreateFileMappingW and CreateEventW; lives as long as this object.
    SECURITY_ATTRIBUTES* attributes() noexcept { return valid() ? &attributes_ : nullptr; }

private:
    UniqueLocalMemory descriptor_;
    SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace orvo
