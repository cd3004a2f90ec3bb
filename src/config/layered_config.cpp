#include "config/layered_config.h"

#include "config/embedded_config.h"
#include "config/layered_lookup.h"

namespace orvo {

CLayeredConfig::CLayeredConfig(std::wstring path)
    : file_(std::move(path)), overlay_(ConfigOverlay::Parse(ReadEmbeddedConfig())) {}

std::wstring CLayeredConfig::ReadString(const std::wstring& section, const std::wstring& key) const {
    return LayeredLookup(overlay_, file_, section, key);
}

std::wstring CLayeredConfig::ReadFileThenOverlay(const std::wstring& section, const std::wstring& key) const {
    std::wstring value = file_.ReadString(section, key);
    if (!value.empty()) return value;
    return overlay_.Find(section, key).value_or(std::wstring());
}

}  // namespace orvo
