#pragma once
// The libraries an executable of the test program's own architecture imports, read
// from its import directory.
#include <string>
#include <vector>

namespace orvo::test {

// The DLL names the import directory binds at start, lower-cased ("kernel32.dll"),
// in order. (Delay-loaded libraries are not among them.) Throws HarnessError when the
// file cannot be mapped as an image.
std::vector<std::wstring> ImportedLibraryNames(const std::wstring& executable);

}  // namespace orvo::test
