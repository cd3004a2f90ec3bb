#include "pack_run.h"

#include <new>

#include "file_io.h"
#include "manifest_settings.h"
#include "pack_error.h"
#include "pack_options.h"
#include "packer.h"
#include "utf8.h"
#include "version_resource.h"

namespace orvo::pack {
namespace {

std::optional<InputFile> ReadOptional(const std::optional<std::string>& path) {
    if (!path) return std::nullopt;
    return InputFile{*path, ReadWholeFile(*path)};
}

std::string WithoutExtension(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

VersionNumber ParsedVersion(const std::string& text) {
    const std::optional<VersionNumber> number = ParseVersionNumber(text);
    if (!number) throw PackError("--version " + text + ": not a version such as 1.4.2.0", ExitStatus::kUsage);
    return *number;
}

CodePage ParsedCodePage(const std::string& text) {
    const std::optional<CodePage> codePage = ParseCodePage(text);
    if (!codePage) throw PackError("--code-page " + text + ": neither utf-8 nor system", ExitStatus::kUsage);
    return *codePage;
}

// The texts Explorer shows; the Task Manager names the process by its description.
VersionInfo VersionFrom(const PackOptions& options) {
    VersionInfo info;
    info.number = ParsedVersion(*options.version);
    const std::string fileName = FileNameOf(options.out);
    const auto add = [&](const char16_t* name, const std::optional<std::string>& value) {
        if (value) info.strings.emplace_back(name, Utf16FromUtf8(*value, "a version text"));
    };
    add(u"CompanyName", options.company);
    add(u"FileDescription", options.description ? options.description : options.productName);
    add(u"FileVersion", options.version);
    add(u"InternalName", WithoutExtension(fileName));
    add(u"LegalCopyright", options.copyright);
    add(u"OriginalFilename", fileName);
    add(u"ProductName", options.productName);
    add(u"ProductVersion", options.version);
    return info;
}

PackInputs ReadInputs(const PackOptions& options) {
    PackInputs inputs;
    inputs.launcher = {options.launcher, ReadWholeFile(options.launcher)};
    inputs.icon = ReadOptional(options.icon);
    inputs.config = ReadOptional(options.config);
    inputs.jar = ReadOptional(options.jar);
    if (options.HasVersionFields()) inputs.version = VersionFrom(options);
    inputs.requireAdministrator = options.requireAdministrator;
    if (options.codePage) inputs.windowsSettings.codePage = ParsedCodePage(*options.codePage);
    inputs.windowsSettings.longPaths = options.longPaths;
    if (options.console) inputs.subsystem = Subsystem::kConsole;
    if (options.windows) inputs.subsystem = Subsystem::kWindows;
    return inputs;
}

int PackAndWrite(const std::vector<std::string>& arguments, const PackConsole& console) {
    const PackOptions options = ParsePackOptions(arguments);
    if (options.help) {
        console.out(kPackUsage);
        return static_cast<int>(ExitStatus::kSuccess);
    }
    const PackResult result = Pack(ReadInputs(options));
    for (const std::string& note : result.notes) console.error("orvo-pack: note: " + note + "\n");
    WriteFileReplacing(options.out, result.executable);
    return static_cast<int>(ExitStatus::kSuccess);
}

}  // namespace

std::string FileNameOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

int RunOrvoPack(const std::vector<std::string>& arguments, const PackConsole& console) {
    try {
        return PackAndWrite(arguments, console);
    } catch (const PackError& error) {
        console.error(std::string("orvo-pack: ") + error.what() + "\n");
        return static_cast<int>(error.status());
    } catch (const std::bad_alloc&) {
        console.error("orvo-pack: out of memory\n");
        return static_cast<int>(ExitStatus::kFileAccess);
    }
}

}  // namespace orvo::pack
