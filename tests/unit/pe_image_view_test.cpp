#include "foundation/pe_image_view.h"

#include <gtest/gtest.h>

#include "support/file_tree.h"
#include "support/temp_folder.h"

namespace orvo {
namespace {

using test::TempFolder;
using test::TestEnv;


WORD ExpectedMachine(const std::wstring& arch) { return arch == L"x86_64" ? 0x8664 : 0x014C; }

TEST(PeImageView, ReadsBothLauncherExecutables) {
    std::wstring own = TestEnv(L"ORVO_LAUNCHER");
    std::wstring pair = TestEnv(L"ORVO_PAIR_LAUNCHER");
    ASSERT_FALSE(own.empty()) << "ORVO_LAUNCHER is not set by the test run";
    ASSERT_FALSE(pair.empty()) << "ORVO_PAIR_LAUNCHER is not set by the test run";
    std::wstring arch = TestEnv(L"ORVO_ARCH");
    std::wstring pairArch = arch == L"x86_64" ? L"i686" : L"x86_64";

    PeImageView ownView(own);
    ASSERT_TRUE(ownView.valid());
    EXPECT_EQ(ownView.machine(), ExpectedMachine(arch));
    EXPECT_EQ(ownView.is64(), arch == L"x86_64");
    EXPECT_NE(ownView.dataDirectories(), nullptr);

    PeImageView pairView(pair);
    ASSERT_TRUE(pairView.valid()) << "pair launcher not built?";
    EXPECT_EQ(pairView.machine(), ExpectedMachine(pairArch));
    EXPECT_EQ(pairView.is64(), pairArch == L"x86_64");
}

TEST(PeImageView, DataDirectoriesPointAtTheImportTable) {
    PeImageView view(TestEnv(L"ORVO_LAUNCHER"));
    ASSERT_TRUE(view.valid());
    ASSERT_EQ(view.dataDirectoryCount(), 16u);
    // Every launcher imports kernel32 at least, so its import directory is filled.
    EXPECT_GT(view.dataDirectories()[IMAGE_DIRECTORY_ENTRY_IMPORT].Size, 0u);
}

TEST(PeImageView, MissingAndNonPeFilesAreNotValid) {
    TempFolder dir;
    EXPECT_FALSE(PeImageView(dir / L"missing.dll").valid());
    test::WriteFileBytes(dir / L"empty.dll", "");
    EXPECT_FALSE(PeImageView(dir / L"empty.dll").valid());
    test::WriteFileBytes(dir / L"text.dll", "just some text, no executable");
    EXPECT_FALSE(PeImageView(dir / L"text.dll").valid());
    EXPECT_EQ(PeImageView(dir / L"text.dll").machine(), 0);
}

TEST(PeImageView, DamagedHeaderOffsetIsRejectedWithoutReadingPastTheFile) {
    TempFolder dir;
    std::string bytes(64, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[0x3C] = '\xF0';  // NT headers "at" 0x7FFFFFF0, far beyond the file
    bytes[0x3D] = '\xFF';
    bytes[0x3E] = '\xFF';
    bytes[0x3F] = '\x7F';
    test::WriteFileBytes(dir / L"damaged.dll", bytes);
    EXPECT_FALSE(PeImageView(dir / L"damaged.dll").valid());
    test::WriteFileBytes(dir / L"mz.dll", "MZ");
    EXPECT_FALSE(PeImageView(dir / L"mz.dll").valid());
}

TEST(PeImageView, TruncatedCopyOfARealExecutableIsNotValid) {
    TempFolder dir;
    std::string image = test::ReadFileBytes(TestEnv(L"ORVO_LAUNCHER")).value_or("");
    ASSERT_GT(image.size(), 512u);
    std::size_t ntOffset = static_cast<unsigned char>(image[0x3C]) | (static_cast<unsigned char>(image[0x3D]) << 8);
    test::WriteFileBytes(dir / L"cut.dll", image.substr(0, ntOffset + 8));
    EXPECT_FALSE(PeImageView(dir / L"cut.dll").valid());
}

}  // namespace
}  // namespace orvo
