#pragma once
// Access to the string table, the only source of user-visible text.
#include <string>

#include "resources/resource_ids.h"

namespace orvo {

// The string resource with that id, whole (line feeds included); empty when missing.
std::wstring LoadMessage(unsigned id);

}  // namespace orvo
