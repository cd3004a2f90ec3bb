#include "foundation/growing_buffer.h"

#include <algorithm>

namespace orvo {

std::optional<std::wstring> ReadGrowingText(const std::function<std::uint32_t(wchar_t*, std::uint32_t)>& fill,
                                            std::uint32_t firstSize, std::uint32_t maxSize) {
    std::wstring buffer;
    for (std::uint32_t size = std::max<std::uint32_t>(firstSize, 1); size <= maxSize;) {
        buffer.assign(size, L'\0');
        const std::uint32_t result = fill(buffer.data(), size);
        if (result == 0) return std::nullopt;
        if (result < size) {
            buffer.resize(result);
            return buffer;
        }
        // A reported size equal to the buffer's would otherwise ask for the same
        // buffer again.
        const std::uint64_t next = std::max<std::uint64_t>(result + std::uint64_t{1}, std::uint64_t{size} * 2);
        if (next > maxSize) return std::nullopt;
        size = static_cast<std::uint32_t>(next);
    }
    return std::nullopt;
}

}  // namespace orvo
