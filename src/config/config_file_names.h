#pragma once
// Where the configuration files of a launcher lie, computed from paths alone.
// Pure: no Windows calls; paths use "\" as separator.
#include <optional>
#include <string>
#include <string_view>

namespace orvo {

// The configuration file beside an executable: the text after the last "." of its
// file name replaced by "ini" (C:\Apps\My.Tool.exe gives C:\Apps\My.Tool.ini).
// nullopt when the file name has no "." (a "." in a folder name does not count).
std::optional<std::wstring> ConfigPathFor(std::wstring_view executablePath);

// File name of the per-user copy for an executable: the file name without the part
// from its last "." on, plus ".ini" (C:\Apps\run.exe gives run.ini).
std::wstring UserConfigFileName(std::wstring_view sourcePath);

// A configuration text (the product name or code) made into the name of one folder
// that stays directly inside its parent: each of \ ? " | > < : / * and every control
// character removed; trailing dots and blanks removed (the system would drop them,
// and ".." would name the parent); a device name (CON, PRN, AUX, NUL, COM0-9,
// LPT0-9, CONIN$, CONOUT$, in any case, also with an extension) gets "_" after its
// base name, so that it names a folder and not the device. May be empty.
std::wstring SafeFolderName(std::wstring_view text);

// The two folders of the per-user copy and the copy itself, under appData:
// appData\<safe product name>\<safe product code>\<file name>.
struct UserConfigLocation {
    std::wstring productFolder;
    std::wstring codeFolder;
    std::wstring file;
};
UserConfigLocation UserConfigLocationFor(std::wstring_view appData, std::wstring_view productName,
                                         std::wstring_view productCode, std::wstring_view sourcePath);

// The name a service reports under in the event log: the product name, or, when it
// is empty, the executable's file name without its extension.
std::wstring ServiceEventSource(std::wstring_view productName, std::wstring_view executablePath);

}  // namespace orvo
