// PE headers from bytes: whatever the reader reports lies inside the bytes, agrees
// with the bytes, and is reported the same from the shortest prefix that holds it;
// headers it could not read come with a fault.
#include <cstddef>
#include <cstdint>
#include <span>

#include "foundation/pe_headers.h"
#include "fuzz_input.h"

namespace {

std::uint16_t U16(std::span<const unsigned char> bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

bool Same(const orvo::PeHeaders& a, const orvo::PeHeaders& b) {
    return a.headersRead && a.ntHeadersOffset == b.ntHeadersOffset && a.machine == b.machine && a.is64 == b.is64 &&
           a.dataDirectoriesOffset == b.dataDirectoriesOffset && a.dataDirectoryCount == b.dataDirectoryCount;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const unsigned char> bytes(data, size);
    const orvo::PeHeaders headers = orvo::ReadPeHeaders(bytes);
    ORVO_FUZZ_CHECK(headers.headersRead || headers.fault != orvo::PeFault::kNone);
    if (!headers.headersRead) return 0;
    const std::size_t directories = headers.dataDirectoriesOffset;
    const std::size_t end = directories + headers.dataDirectoryCount * orvo::PeHeaders::kDataDirectorySize;
    ORVO_FUZZ_CHECK(headers.dataDirectoryCount <= orvo::PeHeaders::kMaxDataDirectories);
    ORVO_FUZZ_CHECK(directories == headers.ntHeadersOffset + (headers.is64 ? 136 : 120));
    ORVO_FUZZ_CHECK(directories <= size && end <= size);
    ORVO_FUZZ_CHECK(U16(bytes, 0) == 0x5A4D);
    ORVO_FUZZ_CHECK(headers.machine == U16(bytes, headers.ntHeadersOffset + 4));
    ORVO_FUZZ_CHECK(U16(bytes, headers.ntHeadersOffset + 24) == (headers.is64 ? 0x20B : 0x10B));

    const orvo::PeHeaders prefix = orvo::ReadPeHeaders(bytes.first(end));
    ORVO_FUZZ_CHECK(Same(prefix, headers));
    ORVO_FUZZ_CHECK(!orvo::ReadPeHeaders(bytes.first(directories - 1)).headersRead);
    return 0;
}
