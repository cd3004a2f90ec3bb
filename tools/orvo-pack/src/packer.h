#pragma once
// One pack: a copy of the launcher that carries the application's icon, version,
// configuration and archive. Pure: the caller reads and writes the files.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "byte_io.h"
#include "manifest_settings.h"
#include "version_resource.h"

namespace orvo::pack {

struct InputFile {
    std::string name;  // for messages
    Bytes bytes;
};

// The subsystem an executable is marked for: the launcher's kind.
enum class Subsystem : std::uint16_t { kWindows = 2, kConsole = 3 };

struct PackInputs {
    InputFile launcher;  // a plain or an already packed launcher
    std::optional<InputFile> icon;
    std::optional<VersionInfo> version;
    std::optional<InputFile> config;
    std::optional<InputFile> jar;
    bool requireAdministrator = false;
    WindowsSettingsChange windowsSettings;
    std::optional<Subsystem> subsystem;  // none: the launcher's kind is kept
};

struct PackResult {
    Bytes executable;
    std::vector<std::string> notes;  // things the user should know, one per line
};

// The launcher with each given part in place of what it carried: its main icon, its
// version resource, its embedded configuration (with "Embedded Jar" on whenever an
// archive is carried), its archive, its manifest's execution level and Windows
// settings (code page, long paths), its subsystem. What is not given
// is kept, an archive from an earlier pack included. Throws PackError whose message
// starts with the name of the input at fault.
PackResult Pack(const PackInputs& inputs);

}  // namespace orvo::pack
