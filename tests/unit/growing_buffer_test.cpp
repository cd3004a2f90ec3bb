#include "foundation/growing_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace orvo {
namespace {

// (An empty text cannot be told from a failure: both come back as 0.)
enum class Answer {
    kSizeWithNul,     // a short buffer gets the size the text needs, NUL included
    kLengthOnly,      // a short buffer gets the text's length alone
    kAlwaysTooSmall,  // whatever the buffer, it asks for exactly that size again
    kFails,
};

// A system call that fills the buffer with `text` (and a NUL) when it has room.
struct FakeCall {
    std::wstring text;
    Answer answer;
    int calls = 0;

    std::uint32_t operator()(wchar_t* buffer, std::uint32_t size) {
        ++calls;
        const auto length = static_cast<std::uint32_t>(text.size());
        if (answer == Answer::kFails) return 0;
        if (answer == Answer::kAlwaysTooSmall) return size;
        if (size > length) {
            text.copy(buffer, length);
            buffer[length] = L'\0';
            return length;
        }
        return answer == Answer::kSizeWithNul ? length + 1 : length;
    }
};

TEST(ReadGrowingText, ReadsTextsOfEveryLengthAroundTheBufferSizes) {
    // The length-only answer at exactly the buffer's size asked for the same buffer
    // again and again.
    for (Answer answer : {Answer::kSizeWithNul, Answer::kLengthOnly}) {
        for (std::size_t length : {1u, 259u, 260u, 261u, 519u, 520u, 521u, 32000u}) {
            FakeCall call{std::wstring(length - 1, L'p') + L"z", answer};
            EXPECT_EQ(ReadGrowingText(std::ref(call), 260, 40000), call.text)
                << "length " << length << (answer == Answer::kLengthOnly ? ", length only" : "");
        }
    }
}

TEST(ReadGrowingText, GivesUpPastTheLimitAndOnFailure) {
    FakeCall growing{L"", Answer::kAlwaysTooSmall};
    EXPECT_FALSE(ReadGrowingText(std::ref(growing), 260, 40000));
    EXPECT_LE(growing.calls, 10) << "each retry at least doubles the buffer";
    FakeCall tooLong{std::wstring(50000, L'x'), Answer::kSizeWithNul};
    EXPECT_FALSE(ReadGrowingText(std::ref(tooLong), 260, 40000));
    FakeCall failing{L"x", Answer::kFails};
    EXPECT_FALSE(ReadGrowingText(std::ref(failing), 260, 40000));
}

}  // namespace
}  // namespace orvo
