// orvo-pack's editing of the manifest's Windows settings: whatever the manifest, it is
// refused with a message or changed so that packing again with the same options
// changes nothing more, and taking UTF-8 out leaves no code page element behind.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "manifest_settings.h"
#include "pack_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace pack = orvo::pack;
    const std::string_view manifest(reinterpret_cast<const char*>(data), size);
    const pack::WindowsSettingsChange both{pack::CodePage::kUtf8, true};
    const pack::WindowsSettingsChange system{pack::CodePage::kSystem, false};
    try {
        const std::string once = pack::WithWindowsSettings(manifest, both);
        ORVO_FUZZ_CHECK(pack::WithWindowsSettings(once, both) == once);
        const std::string back = pack::WithWindowsSettings(once, system);
        ORVO_FUZZ_CHECK(pack::WithWindowsSettings(back, system) == back);
        ORVO_FUZZ_CHECK(back.find(">UTF-8</activeCodePage>") == std::string::npos ||
                        manifest.find(">UTF-8</activeCodePage>") != std::string_view::npos);
    } catch (const pack::PackError&) {
        // Refused with a message: the outcome for most inputs.
    }
    return 0;
}
