// The overlay text: what it parses to, written back as overlay text, parses to the
// same sections and pairs; names, keys and values never span a line end.
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/config_overlay.h"
#include "fuzz_input.h"

namespace {

bool IsTrimmed(const std::wstring& text) {
    auto white = [](wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); };
    return text.empty() || (!white(text.front()) && !white(text.back()));
}

std::wstring Written(const orvo::ConfigOverlay& overlay) {
    std::wstring text;
    for (const orvo::ConfigOverlaySection& section : overlay.sections()) {
        text += L"[" + section.name + L"]\r\n";
        for (const auto& [key, value] : section.entries) text += key + L"=" + value + L"\r\n";
    }
    return text;
}

bool SameSections(const orvo::ConfigOverlay& a, const orvo::ConfigOverlay& b) {
    if (a.sections().size() != b.sections().size()) return false;
    for (std::size_t i = 0; i < a.sections().size(); ++i) {
        if (a.sections()[i].name != b.sections()[i].name) return false;
        if (a.sections()[i].entries != b.sections()[i].entries) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = orvo::fuzz::WideFromBytes({reinterpret_cast<const char*>(data), size});
    const orvo::ConfigOverlay overlay = orvo::ConfigOverlay::Parse(text);
    for (const orvo::ConfigOverlaySection& section : overlay.sections()) {
        ORVO_FUZZ_CHECK(section.name.find(L"\r\n") == std::wstring::npos);
        for (const auto& [key, value] : section.entries) {
            ORVO_FUZZ_CHECK(key.find(L'=') == std::wstring::npos);
            ORVO_FUZZ_CHECK(IsTrimmed(key) && IsTrimmed(value));
            ORVO_FUZZ_CHECK(value.find(L"\r\n") == std::wstring::npos);
        }
    }
    ORVO_FUZZ_CHECK(SameSections(orvo::ConfigOverlay::Parse(Written(overlay)), overlay));
    return 0;
}
