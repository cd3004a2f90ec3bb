#include "packer.h"

#include <gtest/gtest.h>

#include "config/config_overlay.h"
#include "embedded_config_file.h"
#include "icon_file.h"
#include "pack_error.h"
#include "pe_image.h"
#include "pe_writer.h"
#include "resource_tree.h"
#include "test_files.h"
#include "zip_archive.h"

namespace orvo::pack {
namespace {

struct Unpacked {
    PeImage image;
    std::vector<ResourceLeaf> resources;
    ByteSpan carried;
};

Unpacked Unpack(const Bytes& executable) {
    PeImage image = PeImage::Parse(executable);
    const PeSection& section = image.sections()[ResourceSectionIndex(image)];
    std::vector<ResourceLeaf> resources =
        ParseResourceDirectory(SubSpan(executable, section.rawOffset, section.rawSize), section.virtualAddress);
    const ByteSpan carried = CarriedData(executable, image);
    return {std::move(image), std::move(resources), carried};
}

std::optional<std::wstring> EmbeddedValue(const std::vector<ResourceLeaf>& leaves, const wchar_t* section, const wchar_t* key) {
    const std::optional<std::string> text = FindEmbeddedConfig(leaves);
    if (!text) return std::nullopt;
    return ConfigOverlay::Parse(std::wstring(text->begin(), text->end())).Find(section, key);
}

TEST(Pack, CarriesEveryPartInAWellFormedExecutable) {
    const Bytes launcher = test::LauncherLikePe(test::LauncherResources());
    const PackInputs inputs = test::EveryPackInput(launcher);
    const PackResult result = Pack(inputs);
    const Unpacked packed = Unpack(result.executable);
    EXPECT_TRUE(result.notes.empty());
    EXPECT_EQ(ReadU32(result.executable, packed.image.ChecksumOffset()),
              PeChecksum(result.executable, packed.image.ChecksumOffset()));
    EXPECT_EQ(test::TextOf(packed.carried), test::TextOf(inputs.jar->bytes));
    EXPECT_EQ(EmbeddedValue(packed.resources, L"Java Runtime Environment", L"Main Class"), L"app.Main");
    EXPECT_EQ(EmbeddedValue(packed.resources, L"Application", L"Embedded Jar"), L"Yes");
    int icons = 0;
    for (const ResourceLeaf& leaf : packed.resources) {
        if (IsResource(leaf, kResourceIcon)) ++icons;
        if (IsResource(leaf, kResourceManifest)) {
            EXPECT_NE(test::TextOf(leaf.data).find("requireAdministrator"), std::string::npos);
        }
        if (IsResource(leaf, kResourceVersion)) {
            EXPECT_EQ(ReadU16(leaf.data, 0), leaf.data.size());
        }
        if (IsResource(leaf, 6)) {
            EXPECT_EQ(leaf.data, Bytes(64, 4));  // the string table is untouched
        }
    }
    EXPECT_EQ(icons, 4);
}

// A packed executable packed again carries only the new parts: what it carried before
// is replaced, a signature dropped, and the archive kept when no new one is given.
TEST(Pack, PackingAgainReplacesAndNothingPilesUp) {
    const Bytes launcher = test::LauncherLikePe(test::LauncherResources());
    const Bytes once = Pack(test::EveryPackInput(launcher)).executable;
    Bytes signedOnce = once;
    PadTo(signedOnce, 8);
    const auto signatureAt = static_cast<std::uint32_t>(signedOnce.size());
    signedOnce.resize(signedOnce.size() + 2048, 0x30);
    const PeImage image = PeImage::Parse(signedOnce);
    WriteU32(signedOnce, *image.DirectoryEntryOffset(DataDirectory::kSecurity), signatureAt);
    WriteU32(signedOnce, *image.DirectoryEntryOffset(DataDirectory::kSecurity) + 4, 2048);

    EXPECT_EQ(Pack(test::EveryPackInput(signedOnce)).executable, once);

    PackInputs configOnly;
    configOnly.launcher = {"packed.exe", signedOnce};
    configOnly.config = InputFile{"new.ini", test::BytesOf("[Java Runtime Environment]\r\nMain Class=other.Main\r\n")};
    const Unpacked repacked = Unpack(Pack(configOnly).executable);
    EXPECT_EQ(test::TextOf(repacked.carried), test::TextOf(test::ZipFile({{"app/Main.class", "cafebabe"}})));
    EXPECT_EQ(EmbeddedValue(repacked.resources, L"Java Runtime Environment", L"Main Class"), L"other.Main");
    EXPECT_EQ(EmbeddedValue(repacked.resources, L"Application", L"Embedded Jar"), L"Yes");
}

TEST(Pack, LeavesOutDataAfterTheImageThatIsNoArchive) {
    test::SyntheticPe pe;
    pe.sections = {{".rsrc", [](std::uint32_t rva) { return BuildResourceDirectory(test::LauncherResources(), rva); }}};
    pe.resourceSection = 0;
    pe.trailing = test::BytesOf("symbols of a debug build");
    PackInputs inputs;
    inputs.launcher = {"debug.exe", test::BuildSyntheticPe(pe)};
    const PackResult result = Pack(inputs);
    ASSERT_EQ(result.notes.size(), 1u);
    EXPECT_NE(result.notes[0].find("24 bytes"), std::string::npos) << result.notes[0];
    EXPECT_TRUE(Unpack(result.executable).carried.empty());
    EXPECT_EQ(FindEmbeddedConfig(Unpack(result.executable).resources), std::nullopt);
}

// The kind is the subsystem field alone: a launcher turned into the other kind differs
// from it in that field and the checksum, and turns back; with other parts it is set too.
TEST(Pack, TurnsTheKindEitherWayAndChangesNothingElse) {
    const Bytes windowed = test::LauncherLikePe(test::LauncherResources());
    const PeImage image = PeImage::Parse(windowed);
    PackInputs toConsole;
    toConsole.launcher = {"orvo.exe", windowed};
    toConsole.subsystem = Subsystem::kConsole;
    const Bytes console = Pack(toConsole).executable;
    ASSERT_EQ(console.size(), windowed.size());
    EXPECT_EQ(ReadU16(console, image.SubsystemOffset()), 3);
    EXPECT_EQ(ReadU32(console, image.ChecksumOffset()), PeChecksum(console, image.ChecksumOffset()));
    for (std::size_t i = 0; i < windowed.size(); ++i) {
        const bool inFields = (i >= image.ChecksumOffset() && i < image.ChecksumOffset() + 4) ||
                              i == image.SubsystemOffset() || i == image.SubsystemOffset() + 1u;
        if (!inFields) ASSERT_EQ(windowed[i], console[i]) << "byte " << i;
    }
    PackInputs back;
    back.launcher = {"orvoc.exe", console};
    back.subsystem = Subsystem::kWindows;
    EXPECT_EQ(ReadU16(Pack(back).executable, image.SubsystemOffset()), 2);
    PackInputs everything = test::EveryPackInput(console);
    EXPECT_EQ(ReadU16(Pack(everything).executable, image.SubsystemOffset()), 3);
}

TEST(Pack, NamesTheInputAtFault) {
    const Bytes launcher = test::LauncherLikePe(test::LauncherResources());
    struct Case {
        const char* name;
        std::function<void(PackInputs&)> spoil;
        const char* message;
    };
    const Case cases[] = {
        {"launcher", [](PackInputs& in) { in.launcher.bytes.resize(0x300); }, "orvo64.exe: "},
        {"icon", [](PackInputs& in) { in.icon->bytes = test::BytesOf("GIF89a"); }, "app.ico: not an icon file"},
        {"jar", [](PackInputs& in) { in.jar->bytes = test::BytesOf("not a jar"); }, "app.jar: not a ZIP archive"},
        {"config", [](PackInputs& in) { in.config->bytes = test::BytesOf("k=\xFF"); }, "app.ini: neither UTF-8"},
    };
    for (const Case& c : cases) {
        PackInputs inputs = test::EveryPackInput(launcher);
        c.spoil(inputs);
        try {
            Pack(inputs);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const PackError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << c.name << ": " << error.what();
        }
    }
}

}  // namespace
}  // namespace orvo::pack
