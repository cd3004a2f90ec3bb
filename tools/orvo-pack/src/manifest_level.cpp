#include "manifest_level.h"

#include "pack_error.h"

namespace orvo::pack {
namespace {

constexpr std::string_view kElement = "requestedExecutionLevel";
constexpr std::string_view kAttribute = "level";

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Offset of the element's start tag name, after "<" or "<prefix:" (with a "<" somewhere
// before it). Each occurrence is looked at once: time linear in the manifest's size.
std::size_t FindElement(std::string_view xml) {
    const std::size_t firstOpen = xml.find('<');
    for (std::size_t at = xml.find(kElement); at != std::string_view::npos; at = xml.find(kElement, at + 1)) {
        const std::size_t after = at + kElement.size();
        const bool nameEnds = after < xml.size() && (IsXmlSpace(xml[after]) || xml[after] == '/' || xml[after] == '>');
        if (firstOpen < at && nameEnds && (xml[at - 1] == '<' || xml[at - 1] == ':')) return at;
    }
    throw PackError("the manifest requests no execution level");
}

// [begin, end) of the level attribute's value inside the start tag [tag, tagEnd).
std::pair<std::size_t, std::size_t> FindLevelValue(std::string_view xml, std::size_t tag, std::size_t tagEnd) {
    for (std::size_t at = xml.find(kAttribute, tag); at < tagEnd; at = xml.find(kAttribute, at + 1)) {
        if (!IsXmlSpace(xml[at - 1])) continue;
        std::size_t i = at + kAttribute.size();
        while (i < tagEnd && IsXmlSpace(xml[i])) ++i;
        if (i >= tagEnd || xml[i] != '=') continue;
        ++i;
        while (i < tagEnd && IsXmlSpace(xml[i])) ++i;
        if (i >= tagEnd || (xml[i] != '"' && xml[i] != '\'')) continue;
        const std::size_t close = xml.find(xml[i], i + 1);
        if (close < tagEnd) return {i + 1, close};
    }
    throw PackError("the manifest's execution level has no level");
}

}  // namespace

std::string WithAdministratorLevel(std::string_view manifest) {
    const std::size_t tag = FindElement(manifest);
    const std::size_t tagEnd = manifest.find('>', tag);
    if (tagEnd == std::string_view::npos) throw PackError("the manifest ends inside a tag");
    const auto [begin, end] = FindLevelValue(manifest, tag, tagEnd);
    std::string result(manifest.substr(0, begin));
    result += "requireAdministrator";
    result += manifest.substr(end);
    return result;
}

void RequireAdministrator(std::vector<ResourceLeaf>& leaves) {
    bool found = false;
    for (ResourceLeaf& leaf : leaves) {
        if (!IsResource(leaf, kResourceManifest, ResourceId::Number(1))) continue;
        const std::string text = WithAdministratorLevel(std::string(leaf.data.begin(), leaf.data.end()));
        leaf.data.assign(text.begin(), text.end());
        found = true;
    }
    if (!found) throw PackError("the launcher has no application manifest");
}

}  // namespace orvo::pack
