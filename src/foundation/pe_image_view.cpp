#include "foundation/pe_image_view.h"

#include <cstring>

namespace orvo {

namespace {

constexpr WORD kDosSignature = 0x5A4D;      // "MZ"
constexpr DWORD kPeSignature = 0x00004550;  // "PE\0\0"
constexpr WORD kPe32PlusMagic = 0x20B;

using ImageNtHeaderFn = PIMAGE_NT_HEADERS(WINAPI*)(PVOID base);

// The headers are found through dbghelp, loaded only for this and freed again,
// so that a launcher that never checks a machine type never maps it.
const IMAGE_NT_HEADERS* FindNtHeaders(const void* base) {
    UniqueModule dbghelp(LoadLibraryW(L"Dbghelp.dll"));
    if (!dbghelp) return nullptr;
    auto imageNtHeader = reinterpret_cast<ImageNtHeaderFn>(
        reinterpret_cast<void*>(GetProcAddress(dbghelp.get(), "ImageNtHeader")));
    if (!imageNtHeader) return nullptr;
    return imageNtHeader(const_cast<void*>(base));
}

template <typename T>
T ReadAt(const void* base, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(base) + offset, sizeof value);
    return value;
}

// ImageNtHeader trusts the DOS header's offset; a damaged or truncated file would
// make it read past the end of the view, so the offset is checked first.
bool HeadersInsideFile(const void* base, unsigned long long fileSize) {
    constexpr std::size_t kNtOffsetField = 0x3C;
    if (fileSize < kNtOffsetField + sizeof(LONG)) return false;
    LONG ntOffset = ReadAt<LONG>(base, kNtOffsetField);
    if (ntOffset < 0) return false;
    return static_cast<unsigned long long>(ntOffset) + sizeof(IMAGE_NT_HEADERS32) <= fileSize;
}

}  // namespace

PeImageView::PeImageView(const std::wstring& path) {
    file_.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) return;
    mapping_.reset(CreateFileMappingW(file_.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping_) return;
    view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view_) return;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file_.get(), &size) || size.QuadPart < 2) return;
    if (ReadAt<WORD>(view_.get(), 0) != kDosSignature) return;
    if (!HeadersInsideFile(view_.get(), static_cast<unsigned long long>(size.QuadPart))) return;
    const IMAGE_NT_HEADERS* headers = FindNtHeaders(view_.get());
    if (!headers || ReadAt<DWORD>(headers, 0) != kPeSignature) return;
    ntHeaders_ = headers;
    valid_ = true;
    is64_ = ReadAt<WORD>(headers, 24) == kPe32PlusMagic;
    dataDirectories_ = reinterpret_cast<const IMAGE_DATA_DIRECTORY*>(
        reinterpret_cast<const unsigned char*>(headers) + (is64_ ? 136 : 120));
}

WORD PeImageView::machine() const noexcept {
    return valid_ ? ReadAt<WORD>(ntHeaders_, 4) : 0;
}

}  // namespace orvo
