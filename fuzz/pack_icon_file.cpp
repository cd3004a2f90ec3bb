// orvo-pack's reading of an icon file: every image it accepts is PNG or a bitmap
// taken from inside the file, and the group written for the images lists exactly the
// icon numbers it was given, which the executable's icon then uses.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_input.h"
#include "icon_file.h"
#include "pack_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace pack = orvo::pack;
    try {
        const std::vector<pack::IconImage> images = pack::ParseIconFile(pack::ByteSpan(data, size));
        ORVO_FUZZ_CHECK(!images.empty());
        std::vector<std::uint16_t> ids;
        for (const pack::IconImage& image : images) {
            ORVO_FUZZ_CHECK(image.data.size() <= size);
            ORVO_FUZZ_CHECK(image.data.size() >= 8);
            ids.push_back(static_cast<std::uint16_t>(ids.size() * 7 + 1));
        }
        ORVO_FUZZ_CHECK(pack::IconGroupMembers(pack::BuildIconGroup(images, ids)) == ids);
        std::vector<pack::ResourceLeaf> leaves;
        pack::ReplaceMainIcon(leaves, images);
        ORVO_FUZZ_CHECK(leaves.size() == images.size() + 1);
    } catch (const pack::PackError&) {
        // Refused with a message: the outcome for most inputs.
    }
    return 0;
}
