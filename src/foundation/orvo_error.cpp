#include "foundation/orvo_error.h"

#include <cstdio>
#include <cstdlib>

namespace orvo {

void RaiseOrvoError(std::int32_t hresult) {
#if defined(__cpp_exceptions)
    throw OrvoError(hresult);
#else
    // No printf: the executables that take this branch link none.
    char line[] = "orvo internal fault 0x00000000\n";
    const auto code = static_cast<std::uint32_t>(hresult);
    for (int digit = 0; digit < 8; ++digit) line[22 + digit] = "0123456789ABCDEF"[(code >> (28 - 4 * digit)) & 0xF];
    std::fputs(line, stderr);
    std::abort();
#endif
}

}  // namespace orvo
