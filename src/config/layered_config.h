#pragma once
// The layered configuration reader: an overlay document first, then the file's own
// section, then its "<section>+" continuation section.
#include <string>
#include <utility>
#include <string_view>

#include "config/config_file.h"
#include "config/config_overlay.h"

namespace orvo {

class CLayeredConfig {
public:
    // No overlay: values come from the file and its continuation sections only.
    explicit CLayeredConfig(std::wstring path) : file_(std::move(path)) {}
    // With an overlay parsed from `overlayText` (see ConfigOverlay::Parse).
    CLayeredConfig(std::wstring path, std::wstring_view overlayText)
        : file_(std::move(path)), overlay_(ConfigOverlay::Parse(overlayText)) {}

    // See LayeredLookup: a non-empty file value wins; otherwise overlay value plus the
    // continuation value with one blank in front.
    std::wstring ReadString(const std::wstring& section, const std::wstring& key) const;

private:
    CConfigFile file_;
    ConfigOverlay overlay_;
};

}  // namespace orvo
