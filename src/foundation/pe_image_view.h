#pragma once
// A read-only mapping of an executable file that exposes its PE headers.
#include <windows.h>

#include <cstdint>
#include <string>

#include "foundation/unique_handle.h"

namespace orvo {

class PeImageView {
public:
    // Always constructs; check valid(). Failures are silent. No library is loaded:
    // the headers are read from the mapped bytes, each offset checked against them.
    explicit PeImageView(const std::wstring& path);

    bool valid() const noexcept { return valid_; }
    bool is64() const noexcept { return is64_; }
    // Machine field of the file header (0x014C i386, 0x8664 x86-64); 0 when not valid.
    WORD machine() const noexcept { return machine_; }
    // The NT headers inside the view; only the signature, the file header and the
    // optional header up to its data directories are known to lie inside the file.
    const IMAGE_NT_HEADERS* ntHeaders() const noexcept { return ntHeaders_; }
    // The data directories, dataDirectoryCount() of them, all inside the file; null
    // when there are none.
    const IMAGE_DATA_DIRECTORY* dataDirectories() const noexcept { return dataDirectories_; }
    std::uint32_t dataDirectoryCount() const noexcept { return dataDirectoryCount_; }

private:
    bool MapWholeFile(const std::wstring& path);

    UniqueFileHandle file_;
    UniqueKernelHandle mapping_;
    UniqueMappedView view_;
    std::size_t viewSize_ = 0;
    const IMAGE_NT_HEADERS* ntHeaders_ = nullptr;
    const IMAGE_DATA_DIRECTORY* dataDirectories_ = nullptr;
    std::uint32_t dataDirectoryCount_ = 0;
    WORD machine_ = 0;
    bool valid_ = false;
    bool is64_ = false;
};

}  // namespace orvo
