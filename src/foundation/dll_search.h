#pragma once
// Where the process looks for DLLs. A launcher lies in folders others can write to
// and is started from any folder, so neither may supply a library it did not ask
// for by its full path.
#include <windows.h>

namespace orvo {

// LoadLibraryExW flags for a library of a Java runtime: its own folder, the folders
// added with AddDllDirectory (the runtime's bin), then System32. Neither the
// launcher's folder nor the current folder is searched for its imports.
inline constexpr DWORD kRuntimeLibrarySearch =
    LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_USER_DIRS | LOAD_LIBRARY_SEARCH_SYSTEM32;

// Takes the current folder out of the DLL search of the whole process, for every
// library loaded from now on without search flags. Path stays: the Java program's
// native libraries find their own DLLs there ("System Path", "Library Path").
void RemoveCurrentFolderFromDllSearch() noexcept;

}  // namespace orvo
