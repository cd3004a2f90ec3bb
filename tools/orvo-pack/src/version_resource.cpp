#include "version_resource.h"

#include "pack_error.h"

namespace orvo::pack {
namespace {

constexpr std::uint16_t kBinaryValue = 0;
constexpr std::uint16_t kTextValue = 1;
constexpr std::uint16_t kUsEnglish = 0x0409;
constexpr std::uint16_t kUnicodeCodePage = 1200;
constexpr char16_t kStringTableKey[] = u"040904b0";  // US English, Unicode

Bytes Utf16WithNul(std::u16string_view text) {
    Bytes bytes;
    for (char16_t unit : text) AppendU16(bytes, unit);
    AppendU16(bytes, 0);
    return bytes;
}

// One block of the version tree: length, value length, type, key, the value and the
// children, each starting on a 32-bit boundary.
Bytes VersionNode(std::u16string_view key, std::uint16_t type, const Bytes& value, std::uint16_t valueLength,
                  const std::vector<Bytes>& children = {}) {
    Bytes node;
    AppendU16(node, 0);
    AppendU16(node, valueLength);
    AppendU16(node, type);
    AppendBytes(node, Utf16WithNul(key));
    PadTo(node, 4);
    AppendBytes(node, value);
    for (const Bytes& child : children) {
        PadTo(node, 4);
        AppendBytes(node, child);
    }
    if (node.size() > 0xFFFF) throw PackError("the version information is too long");
    WriteU16(node, 0, static_cast<std::uint16_t>(node.size()));
    return node;
}

Bytes FixedFileInfo(const VersionNumber& number) {
    const std::uint32_t high = (std::uint32_t{number[0]} << 16) | number[1];
    const std::uint32_t low = (std::uint32_t{number[2]} << 16) | number[3];
    Bytes info;
    for (std::uint32_t field : {0xFEEF04BDu, 0x00010000u, high, low, high, low,
                                0x3Fu,         // every flag is meaningful
                                0u,            // none set: a release build
                                0x00040004u,   // Windows NT, 32-bit API
                                0x1u,          // an application
                                0u, 0u, 0u}) {
        AppendU32(info, field);
    }
    return info;
}

Bytes StringValue(const std::u16string& name, const std::u16string& value) {
    if (value.size() >= 0xFFFF) throw PackError("a version text is too long");
    return VersionNode(name, kTextValue, Utf16WithNul(value), static_cast<std::uint16_t>(value.size() + 1));
}

std::optional<std::uint16_t> ParseVersionPart(std::string_view part) {
    if (part.empty() || part.size() > 5) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : part) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (value > 0xFFFF) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<VersionNumber> ParseVersionNumber(std::string_view text) {
    VersionNumber number{};
    for (std::size_t index = 0; index < number.size(); ++index) {
        const std::size_t dot = text.find('.');
        const std::optional<std::uint16_t> part = ParseVersionPart(text.substr(0, dot));
        if (!part) return std::nullopt;
        number[index] = *part;
        if (dot == std::string_view::npos) return number;
        text.remove_prefix(dot + 1);
    }
    return std::nullopt;  // a fifth part
}

Bytes BuildVersionResource(const VersionInfo& info) {
    std::vector<Bytes> strings;
    for (const auto& [name, value] : info.strings) strings.push_back(StringValue(name, value));
    Bytes translation;
    AppendU16(translation, kUsEnglish);
    AppendU16(translation, kUnicodeCodePage);
    const Bytes stringFileInfo =
        VersionNode(u"StringFileInfo", kTextValue, {}, 0, {VersionNode(kStringTableKey, kTextValue, {}, 0, strings)});
    const Bytes varFileInfo =
        VersionNode(u"VarFileInfo", kTextValue, {}, 0, {VersionNode(u"Translation", kBinaryValue, translation, 4)});
    const Bytes fixed = FixedFileInfo(info.number);
    return VersionNode(u"VS_VERSION_INFO", kBinaryValue, fixed, static_cast<std::uint16_t>(fixed.size()),
                       {stringFileInfo, varFileInfo});
}

void ReplaceVersionResource(std::vector<ResourceLeaf>& leaves, Bytes resource) {
    const std::optional<std::uint16_t> language =
        RemoveResources(leaves, [](const ResourceLeaf& leaf) { return IsResource(leaf, kResourceVersion); });
    leaves.push_back({ResourceId::Number(kResourceVersion), ResourceId::Number(1), language.value_or(kUsEnglish), 0,
                      std::move(resource)});
    SortResourceLeaves(leaves);
}

}  // namespace orvo::pack
