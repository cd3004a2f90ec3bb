#pragma once
// The environment a launcher is started with: the test program's own, with some
// variables set or removed (JAVA_HOME, APPDATA, ...).
#include <optional>
#include <string>
#include <vector>

namespace orvo::test {

struct EnvironmentChange {
    std::wstring name;
    std::optional<std::wstring> value;  // nullopt removes the variable
};

// A Unicode environment block for CreateProcessW: the current environment with
// the changes applied (names compared without regard to letter case).
std::wstring EnvironmentBlockWith(const std::vector<EnvironmentChange>& changes);

}  // namespace orvo::test
