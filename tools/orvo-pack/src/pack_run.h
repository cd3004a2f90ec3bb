#pragma once
// orvo-pack from its command line to its exit status.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::pack {

struct PackConsole {
    std::function<void(std::string_view)> out;    // --help
    std::function<void(std::string_view)> error;  // failures and notes, one line each
};

// Reads the inputs named by the arguments (without the program's name), packs them and
// writes the output, never in part. Returns the exit status (see kPackUsage) after
// saying what went wrong on `console.error`.
int RunOrvoPack(const std::vector<std::string>& arguments, const PackConsole& console);

// The file name at the end of a path, with "/" or "\" as separators.
std::string FileNameOf(const std::string& path);

}  // namespace orvo::pack
