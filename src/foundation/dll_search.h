#pragma once
// Where the process looks for DLLs. A launcher lies in folders others can write to
// and is started from any folder, so neither may supply a library it did not ask
// for by its full path.
#include <windows.h>

#include <initializer_list>
#include <span>
#include <string>

namespace orvo {

// LoadLibraryExW flags for a library of a Java runtime: its own folder, the folders
// added with AddDllDirectory (the runtime's bin), then System32. Neither the
// launcher's folder nor the current folder is searched for its imports.
inline constexpr DWORD kRuntimeLibrarySearch =
    LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_USER_DIRS | LOAD_LIBRARY_SEARCH_SYSTEM32;

// Loads a library of a Java runtime by its full path with kRuntimeLibrarySearch, after
// adding `folders` (the runtime folders its imports lie in) to the process's DLL
// search; they stay there, as the runtime does. Where the system knows neither
// AddDllDirectory nor the flags (a Windows 7 without the DLL-search update), the
// altered search path starts at the library's own folder and reaches the others
// through Path. Null on failure, with the last error set.
HMODULE LoadRuntimeLibrary(const std::wstring& path, std::initializer_list<std::wstring> folders);

// Loads a system library by its file name ("user32.dll") from the system folder
// alone: neither the launcher's folder, the current folder nor Path is searched. A
// name the process's manifest redirects (the common controls) still gets the
// version it asks for. Where the system does not know the search flags (a Windows 7
// without the DLL-search update), the full path in the system folder is the same
// file. Null on failure, with the last error set.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Loads the system's copy of each library (from the system folder, by its full path)
// and keeps it loaded for the life of the process. For the libraries a Java runtime
// loads by bare name when it first needs them (dbghelp.dll for a stack trace): the
// system finds a library of that name already loaded and never searches the
// launcher's folder, where a planted copy may lie. A library that cannot be loaded
// is left to the runtime.
void PreloadSystemLibraries(std::span<const wchar_t* const> names);

// The system libraries (none of them one the system always takes from System32) that a
// Java runtime loads by bare name while it hosts a Swing program. Before the VM is
// created: dbghelp.dll, which the VM loads as it starts, and mswsock.dll, which its
// network library needs and an agent started with the VM (debugging, management) may
// use already.
inline constexpr const wchar_t* kRuntimeBareNameLibraries[] = {L"dbghelp.dll", L"mswsock.dll"};
// Once the VM exists, before any of the program's classes runs: opengl32.dll for Java
// 2D and winhttp.dll for the system's proxy settings. Both bring the windowing
// libraries along, which a start should not pay for before the VM.
inline constexpr const wchar_t* kJavaCodeBareNameLibraries[] = {L"opengl32.dll", L"winhttp.dll"};

// Takes the current folder out of the DLL search of the whole process, for every
// library loaded from now on without search flags. Path stays: the Java program's
// native libraries find their own DLLs there ("System Path", "Library Path").
void RemoveCurrentFolderFromDllSearch() noexcept;

}  // namespace orvo
