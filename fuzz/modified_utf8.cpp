// Modified UTF-8: any UTF-16 text, encoded the JNI way (each surrogate on its own)
// or with four-byte sequences for its pairs, decodes back to itself. Any bytes give
// no more units than bytes, and a low surrogate only after a high one unless the
// bytes encode a lone low surrogate themselves.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "foundation/modified_utf8.h"

namespace {

bool IsHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUnit(std::string& bytes, char32_t code) {
    if (code != 0 && code < 0x80) {
        bytes += static_cast<char>(code);
    } else if (code < 0x800) {
        bytes += static_cast<char>(0xC0 | code >> 6);
        bytes += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        bytes += static_cast<char>(0xE0 | code >> 12);
        bytes += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        bytes += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | code >> 18);
        bytes += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        bytes += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        bytes += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string Encoded(const std::u16string& units, bool pairsAsFourBytes) {
    std::string bytes;
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (pairsAsFourBytes && IsHigh(units[i]) && i + 1 < units.size() && IsLow(units[i + 1])) {
            AppendUnit(bytes, 0x10000 + ((units[i] - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            AppendUnit(bytes, units[i]);
        }
    }
    return bytes;
}

// ED A0..BF is the three-byte form of a surrogate; B0..BF of a low one.
bool MayEncodeLoneLowSurrogate(const std::string& bytes) {
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        auto next = static_cast<unsigned char>(bytes[i + 1]);
        if (static_cast<unsigned char>(bytes[i]) == 0xED && next >= 0xB0 && next <= 0xBF) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string decoded = orvo::Utf16FromModifiedUtf8(bytes);
    ORVO_FUZZ_CHECK(decoded.size() <= bytes.size());
    if (!MayEncodeLoneLowSurrogate(bytes)) {
        for (std::size_t i = 0; i < decoded.size(); ++i)
            ORVO_FUZZ_CHECK(!IsLow(decoded[i]) || (i > 0 && IsHigh(decoded[i - 1])));
    }

    std::u16string units;
    for (wchar_t unit : orvo::fuzz::WideFromBytes(bytes)) units += static_cast<char16_t>(unit);
    ORVO_FUZZ_CHECK(orvo::Utf16FromModifiedUtf8(Encoded(units, false)) == units);
    ORVO_FUZZ_CHECK(orvo::Utf16FromModifiedUtf8(Encoded(units, true)) == units);
    return 0;
}
