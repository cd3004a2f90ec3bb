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
    // The overlay is the configuration embedded in the launcher's own executable;
    // without one, values come from the file and its continuation sections only.
    explicit CLayeredConfig(std::wstring path);
    // With an overlay parsed from `overlayText` (see ConfigOverlay::Parse).
    CLayeredConfig(std::wstring path, std::wstring_view overlayText)
        : file_(std::move(path)), overlay_(ConfigOverlay::Parse(overlayText)) {}

    // See LayeredLookup: a non-empty file value wins; otherwise overlay value plus the
    // continuation value with one blank in front.
    std::wstring ReadString(const wchar_t* section, const wchar_t* key) const;

    // The file's own value; where that is empty, the overlay's. No continuation
    // section: for keys read as written, such as [Product Information].
    std::wstring ReadFileThenOverlay(const wchar_t* section, const wchar_t* key) const;

    // The file alone, for sections read as written without the overlay ([Display]).
    const CConfigFile& file() const noexcept { return file_; }

private:
    void TraceEmbeddedValue(const wchar_t* section, const wchar_t* key) const;

    CConfigFile file_;
    ConfigOverlay overlay_;
};

}  // namespace orvo
