#pragma once
// The "release" file in a Java runtime's folder, which names its version in lines
// such as JAVA_VERSION="17.0.9". Pure.
#include <optional>
#include <string>
#include <string_view>

namespace orvo {

// The value of the first line that sets JAVA_VERSION, without its double quotes and
// with each byte taken as one character; nullopt when no line sets it.
std::optional<std::wstring> JavaVersionInRelease(std::string_view text);

}  // namespace orvo
