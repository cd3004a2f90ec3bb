#pragma once
// orvo-pack's command line.
#include <optional>
#include <string>
#include <vector>

namespace orvo::pack {

struct PackOptions {
    bool help = false;
    std::string launcher;
    std::string out;
    std::optional<std::string> icon;
    std::optional<std::string> config;
    std::optional<std::string> jar;
    std::optional<std::string> productName;
    std::optional<std::string> version;
    std::optional<std::string> company;
    std::optional<std::string> description;
    std::optional<std::string> copyright;
    bool requireAdministrator = false;
    std::optional<std::string> codePage;  // "utf-8" or "system"
    bool longPaths = false;
    bool console = false;  // --console
    bool windows = false;  // --windows

    bool HasVersionFields() const { return productName || version || company || description || copyright; }
};

// The options in `arguments` (without the program's name), as "--name value" or
// "--name=value". Throws PackError with the usage status for an unknown or repeated
// option, a missing value, or a missing --launcher or --out (unless --help is given).
PackOptions ParsePackOptions(const std::vector<std::string>& arguments);

// What --help prints.
extern const char kPackUsage[];

}  // namespace orvo::pack
