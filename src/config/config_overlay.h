#pragma once
// An in-memory configuration document that the layered reader consults before the
// configuration file. Pure: no Windows calls.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvo {

struct ConfigOverlaySection {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> entries;  // (key, value), in text order
};

// How the overlay reads one line (without its line end), for tools that edit overlay
// text line by line. The section name of a "[name]" line, nullopt for other lines:
std::optional<std::wstring_view> OverlaySectionName(std::wstring_view line);
// The key of a "key = value" line, trimmed; nullopt for a line without "=".
std::optional<std::wstring_view> OverlayKey(std::wstring_view line);

class ConfigOverlay {
public:
    ConfigOverlay() = default;

    // Parses the overlay text: lines end at "\r\n"; a leading U+FEFF is dropped;
    // "[name]" lines open sections (duplicates stay separate); "key = value" lines
    // inside a section add a pair with both sides trimmed; everything else is ignored.
    static ConfigOverlay Parse(std::wstring_view text);

    // Value of the first key named `key` in the first section named `section`
    // (both case-sensitive); nullopt when either is absent.
    std::optional<std::wstring> Find(std::wstring_view section, std::wstring_view key) const;

    const std::vector<ConfigOverlaySection>& sections() const noexcept { return sections_; }

private:
    void AddLine(std::wstring_view line);

    std::vector<ConfigOverlaySection> sections_;
};

}  // namespace orvo
