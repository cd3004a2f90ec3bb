#include "zip_archive.h"

#include <gtest/gtest.h>

#include <functional>

#include "pack_error.h"
#include "test_files.h"

namespace orvo::pack {
namespace {

const std::vector<test::ZipEntry> kEntries = {{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\n"}, {"a/B.class", "cafe"}};

const std::string kComment = "a comment";

// Offsets of the archive's local headers as its central directory records them.
std::vector<std::uint32_t> RecordedOffsets(const Bytes& archive) {
    const std::size_t end = archive.size() - 22 - kComment.size();
    std::vector<std::uint32_t> offsets;
    std::size_t at = ReadU32(archive, end + 16);
    for (int i = 0; i < ReadU16(archive, end + 10); ++i) {
        offsets.push_back(ReadU32(archive, at + 42));
        at += 46 + ReadU16(archive, at + 28) + ReadU16(archive, at + 30) + ReadU16(archive, at + 32);
    }
    return offsets;
}

// Each recorded offset names a local header of the file it belongs to.
void ExpectConsistent(const Bytes& archive) {
    for (std::uint32_t offset : RecordedOffsets(archive)) EXPECT_EQ(ReadU32(archive, offset), 0x04034B50u);
}

struct ShapeCase {
    const char* name;
    std::function<Bytes(const Bytes& jar)> shape;
};

TEST(PrepareArchive, GivesTheArchiveCountedFromItsFirstHeader) {
    const Bytes jar = test::ZipFile(kEntries, kComment);
    const ShapeCase cases[] = {
        {"as the jar tool writes it", [](const Bytes& j) { return j; }},
        {"after a stub, offsets from the archive", [](const Bytes& j) {
             Bytes b = test::BytesOf("MZ stub of a packed executable");
             AppendBytes(b, j);
             return b;
         }},
        {"after a stub, offsets from the file", [](const Bytes& j) {
             Bytes b(100, 'S');
             AppendBytes(b, j);
             const std::size_t end = b.size() - 22 - kComment.size();
             WriteU32(b, end + 16, ReadU32(b, end + 16) + 100);
             std::size_t at = ReadU32(b, end + 16);
             for (int i = 0; i < 2; ++i) {
                 WriteU32(b, at + 42, ReadU32(b, at + 42) + 100);
                 at += 46 + ReadU16(b, at + 28);
             }
             return b;
         }},
        {"with a signature after it", [](const Bytes& j) {
             Bytes b = j;
             b.resize(b.size() + 1500, 0x30);
             return b;
         }},
    };
    for (const ShapeCase& c : cases) {
        const Bytes prepared = PrepareArchive(c.shape(jar));
        EXPECT_EQ(prepared, jar) << c.name;
        ExpectConsistent(prepared);
    }
}

struct DamageCase {
    const char* name;
    std::function<void(Bytes&)> damage;
    const char* message;
};

TEST(PrepareArchive, RefusesWhatIsNotAnArchive) {
    const DamageCase cases[] = {
        {"empty", [](Bytes& z) { z.clear(); }, "not a ZIP archive"},
        {"a text", [](Bytes& z) { z = test::BytesOf("Main-Class: a.B\n"); }, "not a ZIP archive"},
        {"end record cut", [](Bytes& z) { z.resize(z.size() - 5); }, "not a ZIP archive"},
        {"directory offset past the file", [](Bytes& z) { WriteU32(z, z.size() - 6, 0x7FFFFFFF); },
         "central directory lies outside the file (the end record gives offset 2147483647, size 121)"},
        {"directory larger than the file", [](Bytes& z) { WriteU32(z, z.size() - 10, 0x10000); },
         "central directory lies outside the file (the end record gives offset 116, size 65536)"},
        {"entry count too large", [](Bytes& z) {
             WriteU16(z, z.size() - 12, 3);
             WriteU16(z, z.size() - 14, 3);
         }, "central directory is malformed"},
        {"local header missing", [](Bytes& z) { WriteU32(z, 0, 0); }, "no local header"},
        {"no entries", [](Bytes& z) { z = test::ZipFile({}); }, "no entries"},
        {"ZIP64", [](Bytes& z) { WriteU32(z, z.size() - 6, 0xFFFFFFFF); }, "ZIP64"},
        {"split", [](Bytes& z) { WriteU16(z, z.size() - 18, 1); }, "several disks"},
    };
    for (const DamageCase& c : cases) {
        Bytes zip = test::ZipFile(kEntries);
        c.damage(zip);
        try {
            PrepareArchive(zip);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const PackError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.name << ": " << error.what();
        }
    }
}

}  // namespace
}  // namespace orvo::pack
