#include "pe_image.h"

#include <gtest/gtest.h>

#include <functional>

#include "pack_error.h"
#include "test_files.h"

namespace orvo::pack {
namespace {

using test::LauncherLikePe;
using test::LauncherResources;

TEST(PeImage, ReadsTheLayoutOfBothKinds) {
    for (bool is64 : {false, true}) {
        const Bytes file = LauncherLikePe(LauncherResources(), is64);
        const PeImage image = PeImage::Parse(file);
        EXPECT_EQ(image.is64(), is64);
        ASSERT_EQ(image.sections().size(), 3u);
        EXPECT_EQ(image.sections()[1].name, ".rsrc");
        EXPECT_EQ(image.Directory(DataDirectory::kResource).address, image.sections()[1].virtualAddress);
        EXPECT_EQ(image.Directory(DataDirectory::kSecurity).size, 0u);
        EXPECT_EQ(image.SectionAt(image.sections()[2].virtualAddress + 4), 2u);
        EXPECT_EQ(image.ImageEnd(), file.size());
    }
}

struct DamageCase {
    const char* name;
    std::function<void(Bytes&)> damage;
    const char* message;
};

// The faults of the headers are the shared reader's (its table in the launcher's unit
// tests); the messages are compared with the Java packer's over pack_test_inputs.
TEST(PeImage, RefusesWhatIsNotAnExecutable) {
    constexpr std::uint32_t kOptional = 0x40 + 24;
    constexpr std::uint32_t kTable = kOptional + 240;
    const DamageCase cases[] = {
        {"text file", [](Bytes& f) { f = test::BytesOf("[Application]\r\n"); }, "no MZ header"},
        {"cut in the sections", [](Bytes& f) { f.resize(0x600); }, "lies outside the file"},
        {"no sections", [](Bytes& f) { WriteU16(f, 0x40 + 6, 0); }, "number of sections"},
        {"section beyond the file", [](Bytes& f) { WriteU32(f, kTable + 40 + 20, 0x7FFF0000); }, "outside the file"},
        {"sections overlap", [](Bytes& f) { WriteU32(f, kTable + 40 + 12, 0x1000); }, "overlap"},
    };
    for (const DamageCase& c : cases) {
        Bytes file = LauncherLikePe(LauncherResources());
        c.damage(file);
        try {
            PeImage::Parse(file);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const PackError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.name << ": " << error.what();
        }
    }
}

}  // namespace
}  // namespace orvo::pack
