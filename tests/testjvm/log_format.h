#pragma once
// The line format of testjvm.log, shared by the test JVM library that writes it
// and the test helper that reads it. One event per line:
//     <event> <key>=<value> <key>=<value> ...
// Values never contain blanks: every byte outside 0x21..0x7E, and "%" itself, is
// written as %XX, so any byte string survives the round trip. Java strings are
// written a second time as the hexadecimal UTF-16 units (four digits per unit),
// which keeps unpaired surrogates exact.
#include <cstddef>
#include <string>
#include <string_view>

namespace orvo::testjvm {

inline std::string PercentEncode(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(bytes.size());
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && byte != '%') {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kDigits[byte >> 4];
            encoded += kDigits[byte & 0x0F];
        }
    }
    return encoded;
}

inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Undoes PercentEncode; a "%" not followed by two hex digits stays as it is.
inline std::string PercentDecode(std::string_view encoded) {
    std::string bytes;
    bytes.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size() && HexDigitValue(encoded[i + 1]) >= 0 &&
            HexDigitValue(encoded[i + 2]) >= 0) {
            bytes += static_cast<char>(HexDigitValue(encoded[i + 1]) * 16 + HexDigitValue(encoded[i + 2]));
            i += 2;
        } else {
            bytes += encoded[i];
        }
    }
    return bytes;
}

inline std::string HexUtf16(std::u16string_view units) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(units.size() * 4);
    for (char16_t unit : units)
        for (int shift = 12; shift >= 0; shift -= 4) hex += kDigits[(unit >> shift) & 0x0F];
    return hex;
}

// Undoes HexUtf16; a trailing group of fewer than four digits is dropped.
inline std::u16string Utf16FromHex(std::string_view hex) {
    std::u16string units;
    for (std::size_t i = 0; i + 4 <= hex.size(); i += 4) {
        unsigned value = 0;
        for (std::size_t k = 0; k < 4; ++k) value = value * 16 + static_cast<unsigned>(HexDigitValue(hex[i + k]) & 0x0F);
        units += static_cast<char16_t>(value);
    }
    return units;
}

// Standard UTF-8 of UTF-16 text; an unpaired surrogate becomes U+FFFD.
inline std::string Utf8FromUtf16(std::u16string_view units) {
    std::string bytes;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t code = units[i];
        bool high = code >= 0xD800 && code <= 0xDBFF;
        bool low = code >= 0xDC00 && code <= 0xDFFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00);
        } else if (high || low) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            bytes += static_cast<char>(code);
        } else if (code < 0x800) {
            bytes += static_cast<char>(0xC0 | (code >> 6));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes += static_cast<char>(0xE0 | (code >> 12));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (code >> 18));
            bytes += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return bytes;
}

}  // namespace orvo::testjvm
