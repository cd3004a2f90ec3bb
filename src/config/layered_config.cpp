#include "config/layered_config.h"

#include "config/layered_lookup.h"

namespace orvo {

std::wstring CLayeredConfig::ReadString(const std::wstring& section, const std::wstring& key) const {
    return LayeredLookup(overlay_, file_, section, key);
}

}  // namespace orvo
