#include "discovery/pair_machine_check.h"

#include <windows.h>

#include <optional>

#include "foundation/growing_buffer.h"
#include "foundation/pe_image_view.h"
#include "foundation/unique_handle.h"

namespace orvo {
namespace {

// The longest path the system handles, with room for a "\\?\UNC\" prefix.
constexpr std::uint32_t kMaxFinalPathUnits = 32768 + 8;

// The file's one canonical path: other spellings of it (letter case, "..", short
// names) all resolve to the same text. The volume serial number, the other usual
// identity, cannot be read on every file system.
std::optional<std::wstring> CanonicalPath(const std::wstring& path) {
    // No access rights are asked for: a running executable can always be opened so.
    UniqueFileHandle file(CreateFileW(path.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    return ReadGrowingText(
        [&](wchar_t* buffer, std::uint32_t size) {
            return GetFinalPathNameByHandleW(file.get(), buffer, size, 0);
        },
        MAX_PATH, kMaxFinalPathUnits);
}

bool SamePath(const std::wstring& first, const std::optional<std::wstring>& second) {
    return second && CompareStringOrdinal(first.c_str(), static_cast<int>(first.size()), second->c_str(),
                                          static_cast<int>(second->size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

bool MachineNeedsPair(std::uint16_t machine, bool launcherIs64Bit) noexcept {
    // The 64-bit launcher hands over only what its pair can load; handing over any
    // other foreign library would send it straight back, and the two launchers
    // would start each other for ever.
    if (launcherIs64Bit) return machine == kMachineI386;
    return machine != kMachineI386;
}

bool IsUsablePair(const std::wstring& pairProduct, const std::wstring& ownPath) {
    if (pairProduct.empty()) return false;
    // A pair that is not there cannot host anything: the launch stays here and
    // reports what goes wrong, instead of handing over to nothing.
    std::optional<std::wstring> pair = CanonicalPath(pairProduct);
    if (!pair) return false;
    // A launcher that hands the launch to itself would start itself again and again.
    return !SamePath(*pair, CanonicalPath(ownPath));
}

bool CheckPairRuntimeMachine(const std::wstring& jvmPath, const std::wstring& pairProduct,
                             const std::wstring& ownPath) {
    if (!IsUsablePair(pairProduct, ownPath)) return false;
    PeImageView image(jvmPath);
    return image.valid() && MachineNeedsPair(image.machine(), kLauncherIs64Bit);
}

}  // namespace orvo
