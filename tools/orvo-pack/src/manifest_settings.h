#pragma once
// The Windows settings an application manifest gives its process: the code page of
// its narrow text (activeCodePage) and whether its paths may be long (longPathAware).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "resource_tree.h"

namespace orvo::pack {

enum class CodePage {
    kUtf8,    // the process's narrow text is UTF-8 (Windows 10 1903 and later)
    kSystem,  // the system's code page for programs, as without the setting
};

struct WindowsSettingsChange {
    std::optional<CodePage> codePage;  // nullopt: left as the manifest has it
    bool longPaths = false;            // true: long paths on; false: left as it is

    bool any() const { return codePage.has_value() || longPaths; }
};

// The manifest with the change made inside its windowsSettings element, every other
// byte as it was. A setting that is changed loses each element of its name there (with
// its line when the element stands alone on one); a setting that is turned on then
// gets one new element, on a line of its own just before the closing tag (indented two
// spaces deeper than that tag, with the line end of the line before it) or, when the
// closing tag does not begin its line, right before it. The code page comes first.
// Throws PackError when the manifest has no windowsSettings element with content.
std::string WithWindowsSettings(std::string_view manifest, const WindowsSettingsChange& change);

// Applies WithWindowsSettings to the executable's manifest (resource 1 of type 24), in
// every language. Throws PackError when the executable has none.
void ChangeWindowsSettings(std::vector<ResourceLeaf>& leaves, const WindowsSettingsChange& change);

// "utf-8" or "system", in any letter case; nullopt for anything else.
std::optional<CodePage> ParseCodePage(std::string_view text);

}  // namespace orvo::pack
