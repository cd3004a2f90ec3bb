#pragma once
// A read-only mapping of an executable file that exposes its PE headers.
#include <windows.h>

#include <string>

#include "foundation/unique_handle.h"

namespace orvo {

class PeImageView {
public:
    // Always constructs; check valid(). Failures are silent.
    explicit PeImageView(const std::wstring& path);

    bool valid() const noexcept { return valid_; }
    bool is64() const noexcept { return is64_; }
    // Machine field of the file header (0x014C i386, 0x8664 x86-64); 0 when not valid.
    WORD machine() const noexcept;
    const IMAGE_NT_HEADERS* ntHeaders() const noexcept { return ntHeaders_; }
    const IMAGE_DATA_DIRECTORY* dataDirectories() const noexcept { return dataDirectories_; }

private:
    UniqueFileHandle file_;
    UniqueKernelHandle mapping_;
    UniqueMappedView view_;
    const IMAGE_NT_HEADERS* ntHeaders_ = nullptr;
    const IMAGE_DATA_DIRECTORY* dataDirectories_ = nullptr;
    bool valid_ = false;
    bool is64_ = false;
};

}  // namespace orvo
