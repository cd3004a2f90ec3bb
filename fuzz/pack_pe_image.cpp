// orvo-pack's reading of an executable, and its writing of one: whatever it accepts,
// its resource directory written back reads as the same leaves, and the executable
// rewritten with it reads again, with the same resources and the relocations where
// its headers say.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_input.h"
#include "pack_error.h"
#include "pe_image.h"
#include "pe_writer.h"
#include "resource_tree.h"

namespace {

using orvo::pack::ResourceLeaf;

bool SameLeaves(const std::vector<ResourceLeaf>& a, const std::vector<ResourceLeaf>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].type != b[i].type || a[i].name != b[i].name || a[i].language != b[i].language ||
            a[i].codePage != b[i].codePage || a[i].data != b[i].data)
            return false;
    }
    return true;
}

std::vector<ResourceLeaf> ReadResources(orvo::pack::ByteSpan file, const orvo::pack::PeImage& image) {
    const orvo::pack::PeSection& section = image.sections()[orvo::pack::ResourceSectionIndex(image)];
    return orvo::pack::ParseResourceDirectory(orvo::pack::SubSpan(file, section.rawOffset, section.rawSize),
                                              section.virtualAddress);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace pack = orvo::pack;
    const pack::ByteSpan file(data, size);
    try {
        const pack::PeImage image = pack::PeImage::Parse(file);
        ORVO_FUZZ_CHECK(image.ImageEnd() <= size);
        for (const pack::PeSection& section : image.sections()) {
            ORVO_FUZZ_CHECK(section.rawSize == 0 || section.RawEnd() <= size);
        }
        const std::vector<ResourceLeaf> leaves = ReadResources(file, image);
        const std::uint32_t address = image.sections()[pack::ResourceSectionIndex(image)].virtualAddress;
        const pack::Bytes resources = pack::BuildResourceDirectory(leaves, address);
        ORVO_FUZZ_CHECK(SameLeaves(pack::ParseResourceDirectory(resources, address), leaves));
        const pack::Bytes rewritten = pack::ReplaceResourceSection(file, image, resources);
        const pack::PeImage again = pack::PeImage::Parse(rewritten);
        ORVO_FUZZ_CHECK(again.ImageEnd() == rewritten.size());
        ORVO_FUZZ_CHECK(SameLeaves(ReadResources(rewritten, again), leaves));
        ORVO_FUZZ_CHECK(pack::CarriedData(rewritten, again).empty());
    } catch (const pack::PackError&) {
        // Refused with a message: the outcome for most inputs.
    }
    return 0;
}
