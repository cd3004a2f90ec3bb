// orvo-pack's reading of the application's jar: what it appends starts with a local
// header, is no longer than what it was given, and is prepared already (preparing it
// again changes nothing), its recorded offsets all naming local headers.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "pack_error.h"
#include "zip_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace pack = orvo::pack;
    try {
        const pack::Bytes archive = pack::PrepareArchive(pack::ByteSpan(data, size));
        ORVO_FUZZ_CHECK(archive.size() <= size);
        ORVO_FUZZ_CHECK(pack::ReadU32(archive, 0) == 0x04034B50);
        ORVO_FUZZ_CHECK(pack::PrepareArchive(archive) == archive);
    } catch (const pack::PackError&) {
        // Refused with a message: the outcome for most inputs.
    }
    return 0;
}
