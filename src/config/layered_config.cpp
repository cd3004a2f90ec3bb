#include "config/layered_config.h"

#include "config/embedded_config.h"
#include "config/layered_lookup.h"
#include "foundation/trace.h"

namespace orvo {

CLayeredConfig::CLayeredConfig(std::wstring path)
    : file_(std::move(path)), overlay_(ConfigOverlay::Parse(ReadEmbeddedConfig())) {}

std::wstring CLayeredConfig::ReadString(const wchar_t* section, const wchar_t* key) const {
    TraceEmbeddedValue(section, key);
    return LayeredLookup(overlay_, file_, section, key);
}

std::wstring CLayeredConfig::ReadFileThenOverlay(const wchar_t* section, const wchar_t* key) const {
    TraceEmbeddedValue(section, key);
    std::wstring value = file_.ReadString(section, key);
    if (!value.empty()) return value;
    return overlay_.Find(section, key).value_or(std::wstring());
}

// The file's values are traced as the file is read; these are the ones the
// executable carries, which a non-empty value of the file outranks.
void CLayeredConfig::TraceEmbeddedValue(const wchar_t* section, const wchar_t* key) const {
    if (!TraceEnabled()) return;
    std::optional<std::wstring> embedded = overlay_.Find(section, key);
    if (embedded && !embedded->empty()) {
        Trace(L"config", std::wstring(L"embedded configuration [") + section + L"] " + key + L"=" + *embedded);
    }
}

}  // namespace orvo
