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

constexpr std::size_t kOptional = kNt + 24;
constexpr std::size_t kFileAlignment = kOptional + 36;

std::size_t FixedOptionalSize(bool is64) { return is64 ? 112 : 96; }
std::size_t CountField(bool is64) { return kOptional + (is64 ? 108 : 92); }

// The headers of an executable alone, with 16 data directories and nothing after them.
std::string BuiltImage(bool is64) {
    const std::size_t optionalSize = FixedOptionalSize(is64) + 16 * 8;
    std::string image(kNt + 24 + optionalSize, '\0');
    Put16(image, 0, 0x5A4D);
    Put32(image, 0x3C, kNt);
    Put32(image, kNt, 0x00004550);
    Put16(image, kNt + 4, is64 ? 0x8664 : 0x014C);
    Put16(image, kNt + 20, static_cast<std::uint16_t>(optionalSize));
    Put16(image, kNt + 22, 0x0022);  // an executable image, large-address aware
    Put16(image, kOptional, is64 ? 0x20B : 0x10B);
    Put32(image, kOptional + 32, 0x1000);
    Put32(image, kFileAlignment, 0x200);
    Put32(image, CountField(is64), 16);
    return image;
}

PeHeaders Read(const std::string& image) {
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
        const PeHeaders headers = Read(image);
        ASSERT_TRUE(headers.headersRead) << variable;
        EXPECT_EQ(headers.fault, PeFault::kNone) << variable;
        EXPECT_TRUE(headers.machine == 0x014C || headers.machine == 0x8664) << variable;
        EXPECT_EQ(headers.is64, headers.machine == 0x8664) << variable;
        EXPECT_EQ(headers.dataDirectoriesOffset, headers.ntHeadersOffset + (headers.is64 ? 136u : 120u));
        EXPECT_EQ(headers.dataDirectoryCount, 16u) << variable;
        EXPECT_EQ(headers.fileAlignment, 0x200u) << variable;
        EXPECT_GT(headers.sectionCount, 1u) << variable;
    }
}

// A launcher cut at each boundary of its headers: nothing until the fixed part of
// the optional header is whole, then one more directory every eight bytes.
TEST(ReadPeHeaders, TruncatedLauncherGivesOnlyWhatIsWhole) {
    for (const wchar_t* variable : {L"ORVO_LAUNCHER", L"ORVO_PAIR_LAUNCHER"}) {
        const std::string image = LauncherBytes(variable);
        const PeHeaders whole = Read(image);
        ASSERT_TRUE(whole.headersRead) << variable;
        const std::size_t nt = whole.ntHeadersOffset;
        const std::size_t directories = whole.dataDirectoriesOffset;
        const struct {
            std::size_t length;
            PeFault fault;
            std::optional<std::uint32_t> count;  // nullopt: the headers were not read
        } cases[] = {
            {0, PeFault::kNoDosSignature, std::nullopt},   {1, PeFault::kNoDosSignature, std::nullopt},
            {2, PeFault::kTooShort, std::nullopt},         {0x3F, PeFault::kTooShort, std::nullopt},
            {0x40, PeFault::kNoPeSignature, std::nullopt}, {nt + 3, PeFault::kNoPeSignature, std::nullopt},
            {nt + 4, PeFault::kCutShort, std::nullopt},    {nt + 23, PeFault::kCutShort, std::nullopt},
            {nt + 24, PeFault::kCutShort, std::nullopt},   {nt + 25, PeFault::kCutShort, std::nullopt},
            {directories - 1, PeFault::kCutShort, std::nullopt}, {directories, PeFault::kCutShort, 0u},
            {directories + 7, PeFault::kCutShort, 0u},     {directories + 8, PeFault::kCutShort, 1u},
            {directories + 127, PeFault::kCutShort, 15u},  {directories + 128, PeFault::kNone, 16u},
        };
        for (const auto& c : cases) {
            const PeHeaders cut = Read(image.substr(0, c.length));
            EXPECT_EQ(cut.fault, c.fault) << variable << " cut at " << c.length;
            EXPECT_EQ(cut.headersRead, c.count.has_value()) << variable << " cut at " << c.length;
            if (cut.headersRead && c.count) {
                EXPECT_EQ(cut.dataDirectoryCount, *c.count) << variable << " cut at " << c.length;
            }
        }
    }
}

struct DamageCase {
    const char* what;
    bool is64;
    std::function<void(std::string&)> damage;
    PeFault fault;                        // the first one, as orvo-pack reports it
    std::optional<std::uint32_t> count;  // nullopt: the headers were not read
};

void ClearExecutableFlag(std::string& image) { Put16(image, kNt + 22, 0x0020); }

TEST(ReadPeHeaders, DamagedHeaders) {
    const DamageCase cases[] = {
        {"intact PE32", false, [](std::string&) {}, PeFault::kNone, 16u},
        {"intact PE32+", true, [](std::string&) {}, PeFault::kNone, 16u},
        {"no MZ", false, [](std::string& i) { i[0] = 'Z'; }, PeFault::kNoDosSignature, std::nullopt},
        {"no PE signature", false, [](std::string& i) { i[kNt + 3] = 1; }, PeFault::kNoPeSignature, std::nullopt},
        {"e_lfanew negative", false, [](std::string& i) { Put32(i, 0x3C, 0xFFFFFFF0); }, PeFault::kNoPeSignature,
         std::nullopt},
        {"e_lfanew most negative", true, [](std::string& i) { Put32(i, 0x3C, 0x80000000); }, PeFault::kNoPeSignature,
         std::nullopt},
        {"e_lfanew huge", true, [](std::string& i) { Put32(i, 0x3C, 0x7FFFFFFF); }, PeFault::kNoPeSignature,
         std::nullopt},
        {"e_lfanew at the very end", false,
         [](std::string& i) { Put32(i, 0x3C, static_cast<std::uint32_t>(i.size() - 2)); }, PeFault::kNoPeSignature,
         std::nullopt},
        {"e_lfanew at the DOS header", false, [](std::string& i) { Put32(i, 0x3C, 0); }, PeFault::kNoPeSignature,
         std::nullopt},
        {"unknown optional-header magic", false, [](std::string& i) { Put16(i, kOptional, 0x107); },
         PeFault::kUnknownOptionalHeader, std::nullopt},
        {"PE32+ optional header cut short", true, [](std::string& i) { i.resize(kOptional + 111); },
         PeFault::kCutShort, std::nullopt},
        {"PE32 optional header cut short", false, [](std::string& i) { i.resize(kOptional + 95); },
         PeFault::kCutShort, std::nullopt},
        {"declared optional size below its fixed part", true, [](std::string& i) { Put16(i, kNt + 20, 111); },
         PeFault::kOptionalHeaderTooSmall, std::nullopt},
        {"optional header too small before cut short", true,
         [](std::string& i) {
             Put16(i, kNt + 20, 111);
             i.resize(kOptional + 50);
         },
         PeFault::kOptionalHeaderTooSmall, std::nullopt},
        // Faults that leave the headers readable: the launcher takes them, orvo-pack does not.
        {"object file", true, ClearExecutableFlag, PeFault::kNotExecutable, 16u},
        {"object file with an unknown magic", true,
         [](std::string& i) {
             ClearExecutableFlag(i);
             Put16(i, kOptional, 0x107);
         },
         PeFault::kNotExecutable, std::nullopt},
        {"count larger than the bytes left", true,
         [](std::string& i) {
             Put32(i, CountField(true), 0xFFFFFFFF);
             i.resize(kOptional + 112 + 3 * 8 + 5);
         },
         PeFault::kDirectoriesDoNotFit, 3u},
        {"directories cut short", true, [](std::string& i) { i.resize(kOptional + 112 + 5 * 8 + 3); },
         PeFault::kCutShort, 5u},
        {"count larger than the declared optional size", false,
         [](std::string& i) { Put16(i, kNt + 20, 96 + 2 * 8 + 7); }, PeFault::kDirectoriesDoNotFit, 2u},
        {"count above sixteen", true, [](std::string& i) { Put32(i, CountField(true), 17); },
         PeFault::kDirectoriesDoNotFit, 16u},
        {"count below sixteen", false, [](std::string& i) { Put32(i, CountField(false), 5); }, PeFault::kNone, 5u},
        {"no directories", true, [](std::string& i) { Put32(i, CountField(true), 0); }, PeFault::kNone, 0u},
        {"file alignment not a power of two", false, [](std::string& i) { Put32(i, kFileAlignment, 0x300); },
         PeFault::kBadAlignment, 16u},
        {"file alignment above 64 KiB", true,
         [](std::string& i) {
             Put32(i, kFileAlignment, 0x20000);
             Put32(i, kOptional + 32, 0x20000);
         },
         PeFault::kBadAlignment, 16u},
        {"section alignment below the file alignment", true, [](std::string& i) { Put32(i, kOptional + 32, 0x100); },
         PeFault::kBadAlignment, 16u},
        {"largest file alignment", true,
         [](std::string& i) {
             Put32(i, kFileAlignment, 0x10000);
             Put32(i, kOptional + 32, 0x10000);
         },
         PeFault::kNone, 16u},
        {"bad alignment after too many directories", false,
         [](std::string& i) {
             Put32(i, CountField(false), 17);
             Put32(i, kFileAlignment, 0);
         },
         PeFault::kDirectoriesDoNotFit, 16u},
    };
    for (const DamageCase& c : cases) {
        std::string image = BuiltImage(c.is64);
        c.damage(image);
        const PeHeaders headers = Read(image);
        EXPECT_EQ(headers.fault, c.fault) << c.what;
        ASSERT_EQ(headers.headersRead, c.count.has_value()) << c.what;
        if (!headers.headersRead) continue;
        EXPECT_EQ(headers.dataDirectoryCount, *c.count) << c.what;
        EXPECT_EQ(headers.is64, c.is64) << c.what;
        EXPECT_EQ(headers.machine, c.is64 ? 0x8664 : 0x014C) << c.what;
        EXPECT_LE(headers.dataDirectoriesOffset + headers.dataDirectoryCount * 8u, image.size()) << c.what;
    }
}

}  // namespace
}  // namespace orvo
