#pragma once
// How large a configuration file may be. Real ones hold a few kilobytes; the bound
// keeps a damaged or hostile file of any size (gigabytes included) from exhausting
// memory, which the profile API does not guard against.
#include <cstdint>

namespace orvo {

inline constexpr std::uint64_t kMaxConfigFileBytes = 16u << 20;

}  // namespace orvo
