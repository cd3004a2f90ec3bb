#include "single_instance/single_instance_block.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace orvo {
namespace {

using Arguments = std::vector<std::wstring>;
using Area = std::array<std::byte, kArgumentAreaBytes>;

Area FilledArea(std::byte fill) {
    Area area;
    area.fill(fill);
    return area;
}

TEST(SingleInstanceNames, OnlyBackslashesChangeAndTheObjectsLieInTheSessionNamespace) {
    const SingleInstanceNames names = NamesFor(L"\\\\?\\C:\\APPS\\MY TOOL\\RUN.EXE");
    EXPECT_EQ(names.message, L"__?_C:_APPS_MY TOOL_RUN.EXE");
    EXPECT_EQ(names.section, L"Local\\__?_C:_APPS_MY TOOL_RUN.EXE");
    EXPECT_EQ(names.readyEvent, L"Local\\__?_C:_APPS_MY TOOL_RUN.EXE_upr_evt");
    EXPECT_EQ(names.forwardMutex, L"Local\\__?_C:_APPS_MY TOOL_RUN.EXE_fwd_mtx");
}

TEST(SingleInstanceBlockHeader, RequestSequenceSitsInTheLastFourBytesPastAnyForwardedList) {
    std::array<std::byte, kBlockBytes> block{};
    WriteRequestSequence(block, 0x0A0B0C0D);
    EXPECT_EQ(block[kBlockBytes - 4], std::byte{0x0D});
    EXPECT_EQ(block[kBlockBytes - 1], std::byte{0x0A});
    EXPECT_EQ(ReadRequestSequence(block), 0x0A0B0C0Du);
    EXPECT_GE(kRequestSequenceOffset, kArgumentAreaOffset + kForwardedArgumentBytes);
}

TEST(SingleInstanceBlockHeader, LittleEndianFieldsAtTheirOffsets) {
    std::array<std::byte, kBlockBytes> block{};
    WriteBlockHeader(block, {0x01020304, 0xA0B0C0D0, 0xC123});
    EXPECT_EQ(block[0], std::byte{0x04});
    EXPECT_EQ(block[3], std::byte{0x01});
    EXPECT_EQ(block[4], std::byte{0xD0});
    EXPECT_EQ(block[8], std::byte{0x23});
    EXPECT_EQ(block[9], std::byte{0xC1});
    EXPECT_EQ(block[12], std::byte{0});
    const BlockHeader read = ReadBlockHeader(block);
    EXPECT_EQ(read.listenerThreadId, 0x01020304u);
    EXPECT_EQ(read.primaryProcessId, 0xA0B0C0D0u);
    EXPECT_EQ(read.messageId, 0xC123u);
}

// What the running instance's secondaryMain receives for the arguments of a later start.
TEST(SingleInstanceArguments, PackedListsReadBackAsTheRunningInstanceSeesThem) {
    struct Case {
        Arguments sent;
        Arguments received;
    };
    const Case cases[] = {
        {{}, {L""}},
        {{L""}, {L""}},
        {{L"a", L"", L"b"}, {L"a"}},
        {{L"", L"b"}, {L"", L"b"}},
        {{L"one", L"two words", L"x"}, {L"one", L"two words", L"x"}},
        {{L"Gr\u00FC\u00DFe", L"\u65E5\u672C\u8A9E", L"\U0001F600"}, {L"Gr\u00FC\u00DFe", L"\u65E5\u672C\u8A9E", L"\U0001F600"}},
        {{std::wstring(518, L'x')}, {std::wstring(518, L'x')}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.sent));
        // A full area left over from an earlier, longer request must not leak into this one.
        Area area = FilledArea(std::byte{0x41});
        ASSERT_TRUE(PackArguments(c.sent, area));
        EXPECT_EQ(UnpackArguments(area), c.received);
    }
}

TEST(SingleInstanceArguments, LimitIsTheFirstHalfOfTheArea) {
    struct Case {
        Arguments sent;
        std::size_t bytes;
        bool fits;
    };
    const Case cases[] = {
        {{}, 2, true},
        {{std::wstring(518, L'x')}, 1040, true},
        {{std::wstring(519, L'x')}, 1042, false},
        {{std::wstring(258, L'x'), std::wstring(259, L'y')}, 1040, true},
        {{std::wstring(258, L'x'), std::wstring(259, L'y'), L""}, 1042, false},
        {{std::wstring(258, L'\u00FC'), std::wstring(257, L'y') + L"\U0001F600"}, 1040, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(PackedArgumentBytes(c.sent), c.bytes);
        Area area = FilledArea(std::byte{0x41});
        EXPECT_EQ(PackArguments(c.sent, area), c.fits);
        if (c.fits) {
            EXPECT_EQ(area[kForwardedArgumentBytes], std::byte{0x41}) << "only the first half is written";
        } else {
            EXPECT_EQ(area, FilledArea(std::byte{0x41})) << "a refused list must leave the area alone";
        }
    }
    std::array<std::byte, kForwardedArgumentBytes - 2> tooSmall{};
    EXPECT_FALSE(PackArguments({}, tooSmall));
}

// Whatever another process left in the area, reading it stays inside it.
TEST(SingleInstanceArguments, ReadingStopsAtTheEndOfTheArea) {
    struct Case {
        std::vector<unsigned char> bytes;
        Arguments read;
    };
    const Case cases[] = {
        {{}, {}},
        {{'a', 0}, {}},                                    // unfinished string dropped
        {{'a', 0, 0, 0}, {L"a"}},                          // ends with the area
        {{'a', 0, 0, 0, 'b', 0}, {L"a"}},                  // "b" unfinished
        {{'a', 0, 0, 0, 'b', 0, 0, 0}, {L"a", L"b"}},
        {{'a', 0, 0}, {}},                                 // odd byte ignored
        {{0xFC, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0, 0, 0, 0}, {L"\u00FC\U0001F600"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        std::vector<std::byte> area;
        for (unsigned char b : c.bytes) area.push_back(static_cast<std::byte>(b));
        EXPECT_EQ(UnpackArguments(area), c.read);
    }
    Area full = FilledArea(std::byte{0x41});
    EXPECT_TRUE(UnpackArguments(full).empty());
}

}  // namespace
}  // namespace orvo
