#include "discovery/pair_machine_check.h"

#include <windows.h>

#include <optional>

#include "foundation/final_path.h"
#include "foundation/pe_image_view.h"

namespace orvo {

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
    return !SameCanonicalPath(pair, CanonicalPath(ownPath));
}

bool CheckPairRuntimeMachine(const std::wstring& jvmPath, const std::wstring& pairProduct,
                             const std::wstring& ownPath) {
    if (!IsUsablePair(pairProduct, ownPath)) return false;
    PeImageView image(jvmPath);
    return image.valid() && MachineNeedsPair(image.machine(), kLauncherIs64Bit);
}

}  // namespace orvo
