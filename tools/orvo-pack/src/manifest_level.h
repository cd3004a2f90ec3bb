#pragma once
// The execution level an application manifest asks Windows for.
#include <string>
#include <string_view>
#include <vector>

#include "resource_tree.h"

namespace orvo::pack {

// The manifest with the level of its requestedExecutionLevel element set to
// "requireAdministrator", everything else as it was. Throws PackError when the
// manifest has no such element with a level.
std::string WithAdministratorLevel(std::string_view manifest);

// Applies WithAdministratorLevel to the executable's manifest (resource 1 of type 24),
// in every language. Throws PackError when the executable has none.
void RequireAdministrator(std::vector<ResourceLeaf>& leaves);

}  // namespace orvo::pack
