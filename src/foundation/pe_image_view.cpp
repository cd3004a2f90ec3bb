#include "foundation/pe_image_view.h"

#include <cstdint>
#include <span>

#include "foundation/pe_headers.h"

namespace orvo {

// The headers are read here rather than through dbghelp: that library, loaded by
// name, could be a copy planted beside the executable, running inside the launcher.
PeImageView::PeImageView(const std::wstring& path) {
    if (!MapWholeFile(path)) return;
    const auto* base = static_cast<const unsigned char*>(view_.get());
    // Lenient: any image whose headers could be read, with the directories inside the file.
    const PeHeaders headers = ReadPeHeaders(std::span(base, viewSize_));
    if (!headers.headersRead) return;
    valid_ = true;
    is64_ = headers.is64;
    machine_ = headers.machine;
    ntHeaders_ = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + headers.ntHeadersOffset);
    dataDirectoryCount_ = headers.dataDirectoryCount;
    if (dataDirectoryCount_ > 0)
        dataDirectories_ = reinterpret_cast<const IMAGE_DATA_DIRECTORY*>(base + headers.dataDirectoriesOffset);
}

bool PeImageView::MapWholeFile(const std::wstring& path) {
    file_.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    // Sharing for reading only, the file cannot change size while it is mapped.
    if (!file_ || !GetFileSizeEx(file_.get(), &size) || size.QuadPart <= 0) return false;
    if (static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) return false;
    mapping_.reset(CreateFileMappingW(file_.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping_) return false;
    view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view_) return false;
    viewSize_ = static_cast<std::size_t>(size.QuadPart);
    return true;
}

}  // namespace orvo
