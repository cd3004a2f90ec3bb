#include "pe_writer.h"

#include <gtest/gtest.h>

#include "pack_error.h"
#include "test_files.h"

namespace orvo::pack {
namespace {

using test::LauncherLikePe;
using test::LauncherResources;

ByteSpan RawData(ByteSpan file, const PeSection& section, std::uint32_t size) {
    return SubSpan(file, section.rawOffset, size);
}

// The new resource section can be smaller or larger than the old one by more than a
// page; the relocations after it must follow it, unchanged, in memory and in the file.
TEST(ReplaceResourceSection, MovesTheRelocationsAfterResourcesOfAnySize) {
    for (std::size_t size : {std::size_t{8}, std::size_t{0x3000}, std::size_t{0x12345}}) {
        const Bytes file = LauncherLikePe(LauncherResources());
        const PeImage before = PeImage::Parse(file);
        const Bytes resources(size, 0xAB);
        const Bytes written = ReplaceResourceSection(file, before, resources);
        const PeImage after = PeImage::Parse(written);
        const PeSection& rsrc = after.sections()[1];
        const PeSection& reloc = after.sections()[2];
        EXPECT_EQ(rsrc.virtualAddress, before.sections()[1].virtualAddress);
        EXPECT_EQ(rsrc.virtualSize, size);
        EXPECT_EQ(rsrc.rawSize, AlignUp(size, test::kFileAlignment));
        EXPECT_EQ(reloc.virtualAddress, AlignUp(rsrc.virtualAddress + size, test::kSectionAlignment)) << size;
        EXPECT_EQ(reloc.rawOffset, rsrc.rawOffset + rsrc.rawSize);
        EXPECT_EQ(test::TextOf(RawData(written, reloc, 0xC8)), test::TextOf(RawData(file, before.sections()[2], 0xC8)));
        EXPECT_EQ(test::TextOf(RawData(written, rsrc, resources.size())), test::TextOf(resources));
        EXPECT_EQ(after.Directory(DataDirectory::kResource).size, size);
        EXPECT_EQ(after.Directory(DataDirectory::kBaseRelocation).address, reloc.virtualAddress);
        EXPECT_EQ(ReadU32(written, after.SizeOfImageOffset()), AlignUp(reloc.VirtualEnd(), test::kSectionAlignment));
        EXPECT_EQ(ReadU32(written, after.SizeOfInitializedDataOffset()),
                  before.sections()[0].rawSize + rsrc.rawSize + reloc.rawSize);
        EXPECT_EQ(written.size(), reloc.RawEnd());
        // Everything before the resources is as it was, the headers aside.
        EXPECT_EQ(test::TextOf(RawData(written, after.sections()[0], 0x1234)),
                  test::TextOf(RawData(file, before.sections()[0], 0x1234)));
    }
}

TEST(ReplaceResourceSection, LeavesOutTheSignatureAndWhatWasCarried) {
    Bytes file = LauncherLikePe(LauncherResources());
    const std::uint32_t imageEnd = static_cast<std::uint32_t>(file.size());
    const Bytes carried = test::ZipFile({{"a.txt", "a"}});
    AppendBytes(file, carried);
    PadTo(file, 8);
    const auto signatureAt = static_cast<std::uint32_t>(file.size());
    file.resize(file.size() + 0x300, 0x77);
    const PeImage unsigned_ = PeImage::Parse(file);
    WriteU32(file, *unsigned_.DirectoryEntryOffset(DataDirectory::kSecurity), signatureAt);
    WriteU32(file, *unsigned_.DirectoryEntryOffset(DataDirectory::kSecurity) + 4, 0x300);
    const PeImage image = PeImage::Parse(file);

    const ByteSpan found = CarriedData(file, image);
    EXPECT_EQ(test::TextOf(found.first(carried.size())), test::TextOf(carried));
    EXPECT_EQ(found.size(), signatureAt - imageEnd);
    const Bytes written = ReplaceResourceSection(file, image, Bytes(64, 1));
    EXPECT_EQ(PeImage::Parse(written).Directory(DataDirectory::kSecurity).address, 0u);
    EXPECT_EQ(written.size(), PeImage::Parse(written).ImageEnd());
}

TEST(ReplaceResourceSection, RefusesToMoveASectionOthersMayPointInto) {
    test::SyntheticPe pe;
    pe.sections = {{".rsrc", [](std::uint32_t rva) { return BuildResourceDirectory(LauncherResources(), rva); }},
                   {".data", [](std::uint32_t) { return Bytes(16, 1); }}};
    pe.resourceSection = 0;
    const Bytes file = test::BuildSyntheticPe(pe);
    EXPECT_THROW(ReplaceResourceSection(file, PeImage::Parse(file), Bytes(16, 0)), PackError);

    pe.resourceSection = -1;
    const Bytes withoutResources = test::BuildSyntheticPe(pe);
    EXPECT_THROW(ResourceSectionIndex(PeImage::Parse(withoutResources)), PackError);
}

TEST(PeChecksum, SumsWordsWithCarryAndAddsTheLength) {
    struct Case {
        Bytes file;
        std::uint64_t checksumAt;
        std::uint32_t sum;
    };
    const Case cases[] = {
        {{0x01, 0x02, 0x03}, 100, 0x0201 + 0x0003 + 3},
        {{0xFF, 0xFF, 0x02, 0x00}, 100, 0x0002 + 4},  // 0xFFFF + 2 folds to 2
        {{0x01, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0x02, 0x00}, 2, 0x0001 + 0x0002 + 8},
    };
    for (const Case& c : cases) EXPECT_EQ(PeChecksum(c.file, c.checksumAt), c.sum);
}

}  // namespace
}  // namespace orvo::pack
