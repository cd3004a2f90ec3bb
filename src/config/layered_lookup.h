#pragma once
// The lookup rule of the layered configuration reader, independent of where the
// file values come from.
#include <string>

#include "config/config_overlay.h"
#include "config/config_source.h"

namespace orvo {

// A non-empty value in the file's own section wins. Otherwise the result is the
// overlay's value (empty without one) followed by the value from the continuation
// section "<section>+", which gets one blank in front unless it starts with one.
std::wstring LayeredLookup(const ConfigOverlay& overlay, const ConfigSource& file,
                           const wchar_t* section, const wchar_t* key);

}  // namespace orvo
