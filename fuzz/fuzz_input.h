#pragma once
// What the fuzz targets share: the input read as the UTF-16 text the Windows build
// holds in wchar_t, and invariant checks that end the run the way a crash does.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace orvo::fuzz {

// wchar_t has 16 bits on Windows and 32 here; the text built here never holds a
// value above 0xFFFF, as on Windows. A byte below 0x80 is that unit, so ASCII input
// stays readable; any other byte takes the next two bytes as one unit,
// little-endian, so that every unit, an unpaired surrogate too, can occur; such a
// byte with fewer than two bytes after it is its own unit.
inline std::wstring WideFromBytes(std::string_view bytes) {
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80 || bytes.size() - i < 3) {
            text += static_cast<wchar_t>(lead);
            continue;
        }
        auto low = static_cast<unsigned char>(bytes[i + 1]);
        auto high = static_cast<unsigned char>(bytes[i + 2]);
        text += static_cast<wchar_t>(low | high << 8);
        i += 2;
    }
    return text;
}

[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "invariant broken at %s:%d: %s\n", file, line, condition);
    std::abort();
}

}  // namespace orvo::fuzz

#define ORVO_FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::orvo::fuzz::Fail(#condition, __FILE__, __LINE__))
