#include "embedded_config_file.h"

#include <algorithm>

#include "config/config_overlay.h"
#include "config/embedded_config_text.h"
#include "foundation/line_ends.h"
#include "pack_error.h"
#include "utf8.h"

namespace orvo::pack {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kLineEnd = "\r\n";
constexpr char kEmbeddedJarLine[] = "Embedded Jar=Yes";

ResourceId EmbeddedConfigName() { return ResourceId::Name(kEmbeddedConfigResourceName); }

bool IsEmbeddedConfig(const ResourceLeaf& leaf) { return IsResource(leaf, kResourceRcData, EmbeddedConfigName()); }

std::string Utf8FromUtf16Le(ByteSpan bytes) {
    if (bytes.size() % 2 != 0) throw PackError("UTF-16 text with an odd number of bytes");
    std::u16string units;
    for (std::size_t i = 0; i < bytes.size(); i += 2) units += static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    return Utf8FromUtf16(units);
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    for (std::size_t end = text.find(kLineEnd);; end = text.find(kLineEnd)) {
        lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) return lines;
        text.remove_prefix(end + kLineEnd.size());
    }
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i != 0) text += kLineEnd;
        text += lines[i];
    }
    return text;
}

// The line's bytes as wide characters, one per byte: the overlay's syntax is ASCII,
// and every byte of a multi-byte UTF-8 character is above the blanks it skips.
std::wstring ByteWise(std::string_view line) {
    std::wstring wide;
    for (char c : line) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return wide;
}

bool OpensSection(const std::string& line) { return OverlaySectionName(ByteWise(line)).has_value(); }

bool OpensApplicationSection(const std::string& line) {
    const std::wstring wide = ByteWise(line);
    return OverlaySectionName(wide) == std::optional<std::wstring_view>(L"Application");
}

bool SetsEmbeddedJar(const std::string& line) {
    const std::wstring wide = ByteWise(line);
    return OverlayKey(wide) == std::optional<std::wstring_view>(L"Embedded Jar");
}

}  // namespace

std::string EmbeddableConfigText(ByteSpan file) {
    const std::string_view bytes(reinterpret_cast<const char*>(file.data()), file.size());
    std::string text;
    if (bytes.starts_with(kUtf16LeBom)) {
        text = Utf8FromUtf16Le(file.subspan(kUtf16LeBom.size()));
    } else {
        text = bytes.starts_with(kUtf8Bom) ? bytes.substr(kUtf8Bom.size()) : bytes;
        if (!IsValidUtf8(text)) throw PackError("neither UTF-8 nor UTF-16 text; save it as UTF-8");
    }
    return WithCrLfLineEnds<char>(text);
}

std::string WithEmbeddedJarOn(std::string_view text) {
    std::vector<std::string> lines = SplitLines(text);
    const auto section = std::find_if(lines.begin(), lines.end(), OpensApplicationSection);
    if (section == lines.end()) {
        std::string result(text);
        if (!result.empty() && !result.ends_with(kLineEnd)) result += kLineEnd;
        return result + "[Application]\r\n" + kEmbeddedJarLine + "\r\n";
    }
    const auto sectionEnd = std::find_if(section + 1, lines.end(), OpensSection);
    const auto key = std::find_if(section + 1, sectionEnd, SetsEmbeddedJar);
    if (key != sectionEnd) *key = kEmbeddedJarLine;
    else lines.insert(section + 1, kEmbeddedJarLine);
    return JoinLines(lines);
}

std::optional<std::string> FindEmbeddedConfig(const std::vector<ResourceLeaf>& leaves) {
    const auto found = std::find_if(leaves.begin(), leaves.end(), IsEmbeddedConfig);
    if (found == leaves.end()) return std::nullopt;
    return EmbeddableConfigText(found->data);
}

void ReplaceEmbeddedConfig(std::vector<ResourceLeaf>& leaves, std::string_view text) {
    Bytes data(kUtf8Bom.begin(), kUtf8Bom.end());
    data.insert(data.end(), text.begin(), text.end());
    if (data.size() > kMaxEmbeddedConfigBytes) throw PackError("the configuration is larger than the launcher reads (1 MiB)");
    RemoveResources(leaves, IsEmbeddedConfig);
    leaves.push_back({ResourceId::Number(kResourceRcData), EmbeddedConfigName(), 0, 0, std::move(data)});
    SortResourceLeaves(leaves);
}

}  // namespace orvo::pack
