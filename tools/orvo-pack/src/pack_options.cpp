#include "pack_options.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "pack_error.h"

namespace orvo::pack {

const char kPackUsage[] =
    "usage: orvo-pack --launcher orvo64.exe --out MyApp.exe [options]\n"
    "\n"
    "Makes a copy of an Orvo launcher that carries the application's own icon,\n"
    "version information, configuration and jar.\n"
    "\n"
    "  --launcher FILE       the launcher to start from (orvo.exe, orvo64.exe, orvoc.exe,\n"
    "                        orvoc64.exe, or an executable packed before: what it carries\n"
    "                        is replaced)\n"
    "  --out FILE            the executable to write: a new file, or a regular file it\n"
    "                        replaces (a link, folder, device or read-only file is refused)\n"
    "  --icon FILE.ico       the application's icon, every size in the file\n"
    "  --version 1.4.2.0     file and product version (needed with the fields below)\n"
    "  --product-name TEXT   --company TEXT   --description TEXT   --copyright TEXT\n"
    "                        version texts (the description defaults to the product name)\n"
    "  --config FILE.ini     the configuration, carried inside the executable\n"
    "  --jar FILE.jar        the application's jar, appended; turns Embedded Jar on\n"
    "  --require-admin       the manifest asks Windows for elevation\n"
    "  --code-page utf-8     the process's code page is UTF-8: paths and options in any\n"
    "                        script reach the runtime intact (Windows 10 1903 or later,\n"
    "                        Java 17.0.7 or later, not 18); --code-page system undoes it\n"
    "  --long-paths          the process may use paths of more than 260 characters\n"
    "                        (Windows 10 1607 or later, with long paths enabled)\n"
    "  --console             a console program, as java.exe: the caller waits for it, its\n"
    "                        messages go to standard error (orvoc.exe, orvoc64.exe)\n"
    "  --windows             a windowed program, as javaw.exe (orvo.exe, orvo64.exe)\n"
    "  --help                this text\n"
    "\n"
    "Exit status: 0 done, 1 an input is not what it should be, 2 wrong command line,\n"
    "3 a file cannot be read or the output cannot be written.\n";

namespace {

PackError UsageError(const std::string& message) { return PackError(message, ExitStatus::kUsage); }

std::optional<std::string>* TextOption(PackOptions& options, std::string_view name) {
    const std::array<std::pair<std::string_view, std::optional<std::string>*>, 9> table{{
        {"--icon", &options.icon}, {"--config", &options.config}, {"--jar", &options.jar},
        {"--product-name", &options.productName}, {"--version", &options.version}, {"--company", &options.company},
        {"--description", &options.description}, {"--copyright", &options.copyright},
        {"--code-page", &options.codePage},
    }};
    const auto found = std::find_if(table.begin(), table.end(), [&](const auto& entry) { return entry.first == name; });
    return found == table.end() ? nullptr : found->second;
}

void SetOnce(std::optional<std::string>& field, std::string_view name, std::string value) {
    if (field) throw UsageError(std::string(name) + " is given twice");
    field = std::move(value);
}

}  // namespace

PackOptions ParsePackOptions(const std::vector<std::string>& arguments) {
    PackOptions options;
    std::optional<std::string> launcher;
    std::optional<std::string> out;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (name == "--help") { options.help = true; continue; }
        if (name == "--require-admin" && equals == std::string::npos) { options.requireAdministrator = true; continue; }
        if (name == "--long-paths" && equals == std::string::npos) { options.longPaths = true; continue; }
        if (name == "--console" && equals == std::string::npos) { options.console = true; continue; }
        if (name == "--windows" && equals == std::string::npos) { options.windows = true; continue; }
        std::optional<std::string>* field = name == "--launcher" ? &launcher : name == "--out" ? &out : TextOption(options, name);
        if (!field) throw UsageError("unknown option " + argument);
        if (equals != std::string::npos) SetOnce(*field, name, argument.substr(equals + 1));
        else if (i + 1 < arguments.size()) SetOnce(*field, name, arguments[++i]);
        else throw UsageError(name + " needs a value");
    }
    if (options.help) return options;
    if (!launcher || !out) throw UsageError("--launcher and --out are required (see --help)");
    if (options.HasVersionFields() && !options.version) throw UsageError("--version is needed with the version texts");
    if (options.console && options.windows) throw UsageError("--console and --windows exclude each other");
    options.launcher = *launcher;
    options.out = *out;
    return options;
}

}  // namespace orvo::pack
