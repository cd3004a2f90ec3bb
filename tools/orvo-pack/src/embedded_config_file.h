#pragma once
// The configuration orvo-pack carries inside the executable: the text of a
// configuration file, stored as the resource the launcher reads as its overlay.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "byte_io.h"
#include "resource_tree.h"

namespace orvo::pack {

// A configuration file's bytes as UTF-8 text with "\r\n" line ends. Accepts UTF-8
// (with or without a byte-order mark) and UTF-16LE with one. Throws PackError for
// other bytes: the launcher would read them differently from the file's editor.
std::string EmbeddableConfigText(ByteSpan file);

// The text with "Embedded Jar" set to "Yes" where the launcher looks first: the first
// such key of the first [Application] section; the key is added at the section's start
// and the section at the end of the text when missing.
std::string WithEmbeddedJarOn(std::string_view text);

// The embedded configuration's text; nullopt when the executable carries none.
std::optional<std::string> FindEmbeddedConfig(const std::vector<ResourceLeaf>& leaves);

// Stores the text (UTF-8 with a byte-order mark) as the embedded configuration,
// replacing any earlier one. Throws PackError when it is larger than the launcher reads.
void ReplaceEmbeddedConfig(std::vector<ResourceLeaf>& leaves, std::string_view text);

}  // namespace orvo::pack
