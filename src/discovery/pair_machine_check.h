#pragma once
// Whether a JVM library must be hosted by the paired launcher (the other
// architecture's executable, "Pair Product") instead of this process.
#include <cstdint>
#include <string>

namespace orvo {

// True in the 64-bit launcher: its own registry view is already the 64-bit one,
// and its pair is the 32-bit launcher.
inline constexpr bool kLauncherIs64Bit =
#if defined(_WIN64)
    true;
#else
    false;
#endif

inline constexpr std::uint16_t kMachineI386 = 0x014C;
inline constexpr std::uint16_t kMachineAmd64 = 0x8664;

// True when a library of PE machine type `machine` belongs to the pair of a
// launcher of the given bitness: for the 32-bit launcher anything but i386, for
// the 64-bit launcher only i386 (the one type its 32-bit pair can host).
bool MachineNeedsPair(std::uint16_t machine, bool launcherIs64Bit) noexcept;

// True when `pairProduct` names an existing file other than the running launcher at
// `ownPath` (compared as files, so another spelling of the same file counts as the
// same launcher). An empty, missing or folder `pairProduct` is not usable.
bool IsUsablePair(const std::wstring& pairProduct, const std::wstring& ownPath);

// The JVM library at `jvmPath` needs the pair: the pair is usable and the library
// maps as a PE image whose machine type MachineNeedsPair for this launcher. A
// library that cannot be mapped stays here.
bool CheckPairRuntimeMachine(const std::wstring& jvmPath, const std::wstring& pairProduct,
                             const std::wstring& ownPath);

}  // namespace orvo
