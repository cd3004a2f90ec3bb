#pragma once
// The one loop for system calls that fill a caller's text buffer and, when it is
// too small, report the size they need. Pure: no Windows calls.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace orvo {

// Calls fill(buffer, size) with buffers of firstSize units and more. fill returns
// 0 on failure, a value below size for the length of the text it wrote, or any
// other value for the size it needs (with or without room for the NUL: each retry
// has room for at least one unit more than the last, and twice the room when the
// call asked for less). nullopt on failure or when the text would need more than
// maxSize units, so a call whose answer keeps growing cannot loop for ever.
std::optional<std::wstring> ReadGrowingText(const std::function<std::uint32_t(wchar_t*, std::uint32_t)>& fill,
                                            std::uint32_t firstSize, std::uint32_t maxSize);

}  // namespace orvo
