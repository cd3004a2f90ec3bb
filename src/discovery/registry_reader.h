#pragma once
// Reading registry keys in a chosen view, where a missing key or value is an
// ordinary outcome rather than an error.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "foundation/unique_handle.h"

namespace orvo {

// Default reads the process's own view (the 32-bit one for a 32-bit process on
// 64-bit Windows); Wide64 reads the 64-bit view whatever the process is.
enum class RegistryView { Default, Wide64 };

// Opens parent\path with KEY_READ in `view`; nullopt when it is missing or cannot
// be opened.
std::optional<UniqueRegKey> OpenRegistryKey(HKEY parent, const std::wstring& path,
                                            RegistryView view);

// Names of the direct subkeys, in the order the registry enumerates them.
std::vector<std::wstring> RegistrySubkeyNames(HKEY key);

// The value's data, of whatever type (strings are not expanded), read as UTF-16
// text up to its first NUL or the end of the data; a trailing odd byte is not
// part of the text. Never reads past the data. nullopt when the value is missing,
// has no data or cannot be read.
std::optional<std::wstring> ReadRegistryText(HKEY key, const wchar_t* valueName);

// The same for a string value only (REG_SZ or REG_EXPAND_SZ, not expanded); nullopt
// for a value of any other type.
std::optional<std::wstring> ReadRegistryString(HKEY key, const wchar_t* valueName);

}  // namespace orvo
