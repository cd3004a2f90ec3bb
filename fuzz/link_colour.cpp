// Link colours: "R,G,B" made from any three integers (with blanks and signs, as a C
// reader takes them) reads back as their low bytes while it fits in 11 characters;
// any text that reads at all has two commas and at most 11 characters.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "discovery/link_colour.h"
#include "fuzz_input.h"

namespace {

std::wstring Part(FuzzedDataProvider& input, std::int32_t value) {
    std::wstring text(input.ConsumeIntegralInRange<int>(0, 2), L' ');
    if (value >= 0 && input.ConsumeBool()) text += L'+';
    return text + std::to_wstring(value);
}

std::uint8_t LowByte(std::int32_t value) { return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFF); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::int32_t red = input.ConsumeIntegral<std::int32_t>();
    const std::int32_t green = input.ConsumeIntegral<std::int32_t>();
    const std::int32_t blue = input.ConsumeIntegral<std::int32_t>();
    const std::wstring made = Part(input, red) + L"," + Part(input, green) + L"," + Part(input, blue);
    const auto colour = orvo::ParseLinkColour(made);
    ORVO_FUZZ_CHECK(colour.has_value() == (made.size() <= 11));
    if (colour) ORVO_FUZZ_CHECK((*colour == orvo::RgbColour{LowByte(red), LowByte(green), LowByte(blue)}));

    const std::wstring text = orvo::fuzz::WideFromBytes(input.ConsumeRemainingBytesAsString());
    if (orvo::ParseLinkColour(text)) {
        ORVO_FUZZ_CHECK(text.size() <= 11);
        ORVO_FUZZ_CHECK(text.find(L',', text.find(L',') + 1) != std::wstring::npos);
    }
    return 0;
}
