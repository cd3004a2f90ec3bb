#pragma once
// How the test VM judges an option string, as a real VM does when
// ignoreUnrecognized is false: "-X" options it does not know are unrecognised,
// heap and stack sizes that are not a number with an optional k/m/g/t unit are
// invalid, and the test may declare further options unknown.
#include <string>
#include <string_view>
#include <vector>

namespace orvo::testjvm {

enum class OptionVerdict { kAccepted, kUnrecognized, kInvalid };

// `unknownOptions` entries match exactly, or as a prefix when they end with "*".
OptionVerdict CheckOption(std::string_view option, const std::vector<std::string>& unknownOptions);

}  // namespace orvo::testjvm
