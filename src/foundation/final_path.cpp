#include "foundation/final_path.h"

#include "foundation/growing_buffer.h"
#include "foundation/unique_handle.h"

namespace orvo {
namespace {

// The longest path the system handles, with room for a "\\?\UNC\" prefix.
constexpr std::uint32_t kMaxFinalPathUnits = 32768 + 8;

}  // namespace

std::optional<std::wstring> CanonicalPath(const std::wstring& path) {
    // No access rights are asked for: a running executable can always be opened so.
    // Without the backup flag a folder does not open, and so has no such path here.
    UniqueFileHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    return ReadGrowingText(
        [&](wchar_t* buffer, std::uint32_t size) { return GetFinalPathNameByHandleW(file.get(), buffer, size, 0); },
        MAX_PATH, kMaxFinalPathUnits);
}

std::optional<std::wstring> CanonicalImagePath(HANDLE process) {
    std::wstring image(kMaxFinalPathUnits, L'\0');
    DWORD length = kMaxFinalPathUnits;
    if (!QueryFullProcessImageNameW(process, 0, image.data(), &length)) return std::nullopt;
    image.resize(length);
    return CanonicalPath(image);
}

bool SameCanonicalPath(const std::optional<std::wstring>& first, const std::optional<std::wstring>& second) {
    return first && second &&
           CompareStringOrdinal(first->c_str(), static_cast<int>(first->size()), second->c_str(),
                                static_cast<int>(second->size()), TRUE) == CSTR_EQUAL;
}

}  // namespace orvo
