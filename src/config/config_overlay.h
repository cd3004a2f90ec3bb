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
