#include "config/ini_encoding.h"

#include <windows.h>

namespace orvo {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

std::optional<std::wstring> FromCodePage(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return std::wstring();
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

std::optional<std::string> ToCodePage(UINT codePage, std::wstring_view text) {
    if (text.empty()) return std::string();
    const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

std::optional<std::string> Encode(IniEncoding encoding, std::wstring_view text) {
    switch (encoding) {
        case IniEncoding::kUtf16LeBom: {
            std::string bytes(kUtf16LeMark);
            for (const wchar_t unit : text) {
                bytes += static_cast<char>(unit & 0xFF);
                bytes += static_cast<char>((unit >> 8) & 0xFF);
            }
            return bytes;
        }
        case IniEncoding::kUtf8Bom: {
            std::optional<std::string> bytes = ToCodePage(CP_UTF8, text);
            return bytes ? std::optional<std::string>(std::string(kUtf8Mark) + *bytes) : std::nullopt;
        }
        case IniEncoding::kAnsi:
            return ToCodePage(CP_ACP, text);
    }
    return std::nullopt;
}

std::optional<IniText> Decode(std::string_view bytes) {
    if (bytes.starts_with(kUtf16LeMark)) {
        bytes.remove_prefix(kUtf16LeMark.size());
        if (bytes.size() % 2 != 0) return std::nullopt;
        std::wstring text(bytes.size() / 2, L'\0');
        for (std::size_t i = 0; i < text.size(); ++i) {
            text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                           (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
        }
        return IniText{IniEncoding::kUtf16LeBom, std::move(text)};
    }
    if (bytes.starts_with(kUtf16BeMark)) return std::nullopt;
    const bool utf8 = bytes.starts_with(kUtf8Mark);
    if (utf8) bytes.remove_prefix(kUtf8Mark.size());
    std::optional<std::wstring> text = FromCodePage(utf8 ? CP_UTF8 : CP_ACP, bytes);
    if (!text) return std::nullopt;
    return IniText{utf8 ? IniEncoding::kUtf8Bom : IniEncoding::kAnsi, std::move(*text)};
}

}  // namespace

// Both directions insist on a round trip: the conversions replace what they cannot
// map with a stand-in character and report nothing.
std::optional<IniText> DecodeIniText(std::string_view bytes) {
    std::optional<IniText> ini = Decode(bytes);
    if (!ini || Encode(ini->encoding, ini->text) != bytes) return std::nullopt;
    return ini;
}

std::optional<std::string> EncodeIniText(const IniText& ini) {
    std::optional<std::string> bytes = Encode(ini.encoding, ini.text);
    if (!bytes) return std::nullopt;
    const std::optional<IniText> back = Decode(*bytes);
    if (!back || back->text != ini.text) return std::nullopt;
    return bytes;
}

}  // namespace orvo
