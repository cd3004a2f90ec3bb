#include "foundation/pe_headers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "support/file_tree.h"
#include "support/test_environment.h"

namespace orvo {
namespace {

constexpr std::size_t kNt = 0x40;  // e_lfanew of the images built here

void Put16(std::string& image, std::size_t offset, std::uint16_t value) {
    image[offset] = static_cast<char>(value & 0xFF);
    image[offset + 1] = static_cast<char>(value >> 8);
}

void Put32(std::string& image, std::size_t offset, std::uint32_t value) {
    Put16(image, offset, static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(image, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::size_t FixedOptionalSize(bool is64) { return is64 ? 112 : 96; }
std::size_t CountField(bool is64) { return kNt + 24 + (is64 ? 108 : 92); }

// The headers alone, with 16 data directories and nothing after them.
std::string BuiltImage(bool is64) {
    const std::size_t optionalSize = FixedOptionalSize(is64) + 16 * 8;
    std::string image(kNt + 24 + optionalSize, '\0');
    Put16(image, 0, 0x5A4D);
    Put32(image, 0x3C, kNt);
    Put32(image, kNt, 0x00004550);
    Put16(image, kNt + 4, is64 ? 0x8664 : 0x014C);
    Put16(image, kNt + 20, static_cast<std::uint16_t>(optionalSize));
    Put16(image, kNt + 24, is64 ? 0x20B : 0x10B);
    Put32(image, CountField(is64), 16);
    return image;
}

std::optional<PeHeaders> Read(const std::string& image) {
    return ReadPeHeaders({reinterpret_cast<const unsigned char*>(image.data()), image.size()});
}

std::string LauncherBytes(const wchar_t* variable) {
    std::optional<std::string> bytes = test::ReadFileBytes(test::RequiredEnvironment(variable));
    EXPECT_TRUE(bytes.has_value()) << "cannot read the launcher named by " << variable;
    return bytes.value_or("");
}

TEST(ReadPeHeaders, ReadsBothLaunchers) {
    for (const wchar_t* variable : {L"ORVO_LAUNCHER", L"ORVO_PAIR_LAUNCHER"}) {
        std::string image = LauncherBytes(variable);
        std::optional<PeHeaders> headers = Read(image);
        ASSERT_TRUE(headers.has_value()) << variable;
        EXPECT_TRUE(headers->machine == 0x014C || headers->machine == 0x8664) << variable;
        EXPECT_EQ(headers->is64, headers->machine == 0x8664) << variable;
        EXPECT_EQ(headers->dataDirectoriesOffset, headers->ntHeadersOffset + (headers->is64 ? 136u : 120u));
        EXPECT_EQ(headers->dataDirectoryCount, 16u) << variable;
    }
}

// A launcher cut at each boundary of its headers: nothing until the fixed part of
// the optional header is whole, then one more directory every eight bytes.
TEST(ReadPeHeaders, TruncatedLauncherGivesOnlyWhatIsWhole) {
    for (const wchar_t* variable : {L"ORVO_LAUNCHER", L"ORVO_PAIR_LAUNCHER"}) {
        const std::string image = LauncherBytes(variable);
        const std::optional<PeHeaders> whole = Read(image);
        ASSERT_TRUE(whole.has_value()) << variable;
        const std::size_t nt = whole->ntHeadersOffset;
        const std::size_t directories = whole->dataDirectoriesOffset;
        const struct {
            std::size_t length;
            std::optional<std::uint32_t> count;
        } cases[] = {
            {0, std::nullopt}, {1, std::nullopt}, {0x3F, std::nullopt}, {0x40, std::nullopt},
            {nt + 3, std::nullopt}, {nt + 4, std::nullopt}, {nt + 5, std::nullopt},
            {nt + 21, std::nullopt}, {nt + 24, std::nullopt}, {nt + 25, std::nullopt},
            {directories - 1, std::nullopt}, {directories, 0u}, {directories + 7, 0u},
            {directories + 8, 1u}, {directories + 127, 15u}, {directories + 128, 16u},
        };
        for (const auto& c : cases) {
            std::optional<PeHeaders> cut = Read(image.substr(0, c.length));
            EXPECT_EQ(cut.has_value(), c.count.has_value()) << variable << " cut at " << c.length;
            if (cut && c.count) {
                EXPECT_EQ(cut->dataDirectoryCount, *c.count) << variable << " cut at " << c.length;
            }
        }
    }
}

struct DamageCase {
    const char* what;
    bool is64;
    std::function<void(std::string&)> damage;
    std::optional<std::uint32_t> count;  // nullopt: no headers at all
};

TEST(ReadPeHeaders, DamagedHeaders) {
    const DamageCase cases[] = {
        {"intact PE32", false, [](std::string&) {}, 16u},
        {"intact PE32+", true, [](std::string&) {}, 16u},
        {"no MZ", false, [](std::string& i) { i[0] = 'Z'; }, std::nullopt},
        {"no PE signature", false, [](std::string& i) { i[kNt + 3] = 1; }, std::nullopt},
        {"e_lfanew negative", false, [](std::string& i) { Put32(i, 0x3C, 0xFFFFFFF0); }, std::nullopt},
        {"e_lfanew most negative", true, [](std::string& i) { Put32(i, 0x3C, 0x80000000); }, std::nullopt},
        {"e_lfanew huge", true, [](std::string& i) { Put32(i, 0x3C, 0x7FFFFFFF); }, std::nullopt},
        {"e_lfanew at the very end", false,
         [](std::string& i) { Put32(i, 0x3C, static_cast<std::uint32_t>(i.size() - 2)); }, std::nullopt},
        {"e_lfanew at the DOS header", false, [](std::string& i) { Put32(i, 0x3C, 0); }, std::nullopt},
        {"unknown optional-header magic", false, [](std::string& i) { Put16(i, kNt + 24, 0x107); }, std::nullopt},
        {"PE32+ optional header cut short", true, [](std::string& i) { i.resize(kNt + 24 + 111); }, std::nullopt},
        {"PE32 optional header cut short", false, [](std::string& i) { i.resize(kNt + 24 + 95); }, std::nullopt},
        {"declared optional size below its fixed part", true, [](std::string& i) { Put16(i, kNt + 20, 111); },
         std::nullopt},
        {"count larger than the bytes left", true,
         [](std::string& i) {
             Put32(i, CountField(true), 0xFFFFFFFF);
             i.resize(kNt + 24 + 112 + 3 * 8 + 5);
         },
         3u},
        {"count larger than the declared optional size", false,
         [](std::string& i) { Put16(i, kNt + 20, 96 + 2 * 8 + 7); }, 2u},
        {"count above sixteen", true, [](std::string& i) { Put32(i, CountField(true), 17); }, 16u},
        {"count below sixteen", false, [](std::string& i) { Put32(i, CountField(false), 5); }, 5u},
        {"no directories", true, [](std::string& i) { Put32(i, CountField(true), 0); }, 0u},
    };
    for (const DamageCase& c : cases) {
        std::string image = BuiltImage(c.is64);
        c.damage(image);
        std::optional<PeHeaders> headers = Read(image);
        ASSERT_EQ(headers.has_value(), c.count.has_value()) << c.what;
        if (!headers) continue;
        EXPECT_EQ(headers->dataDirectoryCount, *c.count) << c.what;
        EXPECT_EQ(headers->is64, c.is64) << c.what;
        EXPECT_EQ(headers->machine, c.is64 ? 0x8664 : 0x014C) << c.what;
        EXPECT_LE(headers->dataDirectoriesOffset + headers->dataDirectoryCount * 8u, image.size()) << c.what;
    }
}

}  // namespace
}  // namespace orvo
