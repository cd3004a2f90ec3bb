#pragma once
// The configuration carried inside the launcher's own executable (see
// embedded_config_text.h), as the layered reader's overlay.
#include <string>

namespace orvo {

// The embedded configuration's text; empty when the executable carries none or one
// that is too large to be ours.
std::wstring ReadEmbeddedConfig();

}  // namespace orvo
