#include "manifest_settings.h"

#include "pack_error.h"

namespace orvo::pack {
namespace {

constexpr std::string_view kSettingsElement = "windowsSettings";

struct Setting {
    std::string_view name;
    std::string_view element;  // the whole element that turns the setting on
};

constexpr Setting kCodePage{
    "activeCodePage",
    R"(<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">UTF-8</activeCodePage>)"};
constexpr Setting kLongPaths{
    "longPathAware",
    R"(<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true</longPathAware>)"};

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsPrefixChar(char c) { return !IsXmlSpace(c) && c != '<' && c != '>' && c != '/'; }

// Offset of the "<" of a start tag named `name`, with or without a namespace prefix,
// at or after `from` and before `limit`; npos when there is none. A name is looked at
// once, and the prefixes walked back over never overlap (each name that is looked
// further at is followed by a character that ends a prefix): linear time.
std::size_t FindStartTag(std::string_view xml, std::string_view name, std::size_t from, std::size_t limit) {
    for (std::size_t at = xml.find(name, from); at < limit && at != std::string_view::npos;
         at = xml.find(name, at + 1)) {
        const std::size_t after = at + name.size();
        if (after >= xml.size() || !(IsXmlSpace(xml[after]) || xml[after] == '>' || xml[after] == '/')) continue;
        std::size_t open = at;
        if (open > 0 && xml[open - 1] == ':') {
            --open;
            while (open > 0 && IsPrefixChar(xml[open - 1])) --open;
            if (open + 1 == at) continue;  // ":name" without a prefix
        }
        if (open > from && xml[open - 1] == '<') return open - 1;
    }
    return std::string_view::npos;
}

// Where the tag that begins at `open` ends (just after its ">"). A "<" before that ">"
// means the tag is not closed: nothing could be inserted after it safely.
std::size_t TagEnd(std::string_view xml, std::size_t open) {
    const std::size_t close = xml.find_first_of("<>", open + 1);
    if (close == std::string_view::npos || xml[close] != '>') throw PackError("the manifest has a tag without its end");
    return close + 1;
}

// The tag's name with its prefix: from after "<" to the first blank, "/" or ">".
std::string_view QualifiedName(std::string_view xml, std::size_t open) {
    std::size_t end = open + 1;
    while (end < xml.size() && !IsXmlSpace(xml[end]) && xml[end] != '>' && xml[end] != '/') ++end;
    return xml.substr(open + 1, end - open - 1);
}

// The content of the windowsSettings element: [begin, end), end at its closing tag.
struct Content {
    std::size_t begin;
    std::size_t end;
};

Content FindSettingsContent(std::string_view xml) {
    const std::size_t open = FindStartTag(xml, kSettingsElement, 0, xml.size());
    if (open == std::string_view::npos) throw PackError("the manifest has no windowsSettings element");
    const std::size_t begin = TagEnd(xml, open);
    if (xml[begin - 2] == '/') throw PackError("the manifest's windowsSettings element is empty");
    const std::string closing = "</" + std::string(QualifiedName(xml, open)) + ">";
    const std::size_t end = xml.find(closing, begin);
    if (end == std::string_view::npos) throw PackError("the manifest's windowsSettings element is not closed");
    // Every tag inside ends before the next begins: then taking an element out or
    // putting one in cannot join what is left into a tag that was not there.
    for (std::size_t at = xml.find('<', begin); at < end; at = xml.find('<', at + 1)) TagEnd(xml, at);
    return {begin, end};
}

// [open, end) of the element that begins at `open`: up to its "/>", or up to the ">"
// of the first closing tag after it, which must be its own (a setting holds text).
std::size_t ElementEnd(std::string_view xml, std::size_t open) {
    const std::size_t tagEnd = TagEnd(xml, open);
    if (xml[tagEnd - 2] == '/') return tagEnd;
    const std::size_t closing = xml.find("</", tagEnd);
    if (closing == std::string_view::npos || QualifiedName(xml, closing + 1) != QualifiedName(xml, open)) {
        throw PackError("the manifest's " + std::string(QualifiedName(xml, open)) + " element is not closed");
    }
    return TagEnd(xml, closing);
}

// The part of `xml` an element [open, end) takes with it: the element alone, or its
// whole line (blanks and line end included) when it stands alone on one. Nothing before
// `kept` (the end of what was taken before) is looked at.
std::pair<std::size_t, std::size_t> TakenWith(std::string_view xml, std::size_t kept, std::size_t open,
                                              std::size_t end) {
    std::size_t lineStart = open;
    while (lineStart > kept && IsBlank(xml[lineStart - 1])) --lineStart;
    std::size_t lineEnd = end;
    while (lineEnd < xml.size() && IsBlank(xml[lineEnd])) ++lineEnd;
    const bool aloneFromStart = lineStart == 0 || xml[lineStart - 1] == '\n';
    if (aloneFromStart && lineEnd < xml.size() && xml[lineEnd] == '\n') return {lineStart, lineEnd + 1};
    if (aloneFromStart && lineEnd + 1 < xml.size() && xml[lineEnd] == '\r' && xml[lineEnd + 1] == '\n') {
        return {lineStart, lineEnd + 2};
    }
    return {open, end};
}

// Every element of the setting's name inside windowsSettings goes, in one pass.
void RemoveSetting(std::string& xml, const Setting& setting) {
    const Content content = FindSettingsContent(xml);
    std::string result;
    std::size_t kept = 0;
    for (std::size_t open = FindStartTag(xml, setting.name, content.begin, content.end);
         open != std::string::npos; open = FindStartTag(xml, setting.name, kept, content.end)) {
        const std::size_t end = ElementEnd(xml, open);
        if (end > content.end) throw PackError("the manifest's windowsSettings element is not closed");
        const auto [takenFrom, takenTo] = TakenWith(xml, kept, open, end);
        result.append(xml, kept, takenFrom - kept);
        kept = takenTo;
    }
    if (kept == 0) return;
    result.append(xml, kept, std::string::npos);
    xml = std::move(result);
}

void InsertSetting(std::string& xml, const Setting& setting) {
    const Content content = FindSettingsContent(xml);
    std::size_t lineStart = content.end;
    while (lineStart > content.begin && IsBlank(xml[lineStart - 1])) --lineStart;
    if (xml[lineStart - 1] != '\n') {
        xml.insert(content.end, setting.element);
        return;
    }
    const bool crlf = lineStart >= 2 && xml[lineStart - 2] == '\r';
    std::string line = xml.substr(lineStart, content.end - lineStart) + "  ";
    line += setting.element;
    line += crlf ? "\r\n" : "\n";
    xml.insert(lineStart, line);
}

void ChangeSetting(std::string& xml, const Setting& setting, bool on) {
    RemoveSetting(xml, setting);
    if (on) InsertSetting(xml, setting);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsAnyCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (Lower(text[i]) != lower[i]) return false;
    }
    return true;
}

}  // namespace

std::string WithWindowsSettings(std::string_view manifest, const WindowsSettingsChange& change) {
    std::string xml(manifest);
    FindSettingsContent(xml);  // a manifest without the element is refused even for no change
    if (change.codePage) ChangeSetting(xml, kCodePage, *change.codePage == CodePage::kUtf8);
    if (change.longPaths) ChangeSetting(xml, kLongPaths, true);
    return xml;
}

void ChangeWindowsSettings(std::vector<ResourceLeaf>& leaves, const WindowsSettingsChange& change) {
    bool found = false;
    for (ResourceLeaf& leaf : leaves) {
        if (!IsResource(leaf, kResourceManifest, ResourceId::Number(1))) continue;
        const std::string text = WithWindowsSettings(std::string(leaf.data.begin(), leaf.data.end()), change);
        leaf.data.assign(text.begin(), text.end());
        found = true;
    }
    if (!found) throw PackError("the launcher has no application manifest");
}

std::optional<CodePage> ParseCodePage(std::string_view text) {
    if (EqualsAnyCase(text, "utf-8")) return CodePage::kUtf8;
    if (EqualsAnyCase(text, "system")) return CodePage::kSystem;
    return std::nullopt;
}

}  // namespace orvo::pack
