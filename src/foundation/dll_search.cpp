#include "foundation/dll_search.h"

namespace orvo {

namespace {

using AddDllDirectoryFunction = void*(WINAPI*)(const wchar_t* folder);

// Looked up at run time: without the DLL-search update (a Windows 7 without it) the
// launcher must still start, so the import may not be bound at load time.
AddDllDirectoryFunction FindAddDllDirectory() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return nullptr;
    return reinterpret_cast<AddDllDirectoryFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "AddDllDirectory")));
}

}  // namespace

HMODULE LoadRuntimeLibrary(const std::wstring& path, std::initializer_list<std::wstring> folders) {
    if (AddDllDirectoryFunction addDllDirectory = FindAddDllDirectory()) {
        for (const std::wstring& folder : folders) addDllDirectory(folder.c_str());  // the cookies are not kept
        HMODULE library = LoadLibraryExW(path.c_str(), nullptr, kRuntimeLibrarySearch);
        if (library || GetLastError() != ERROR_INVALID_PARAMETER) return library;
    }
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    HMODULE library = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library || GetLastError() != ERROR_INVALID_PARAMETER) return library;
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(system, length) + L"\\" + name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void PreloadSystemLibraries(std::span<const wchar_t* const> names) {
    // Never freed: the runtime's own load of the name must keep finding it.
    for (const wchar_t* name : names) LoadSystemLibrary(name);
}

void RemoveCurrentFolderFromDllSearch() noexcept {
    // Any DLL directory replaces the current folder in the standard and the altered
    // search order. An empty one would do on Windows, but wine then keeps the
    // current folder; System32, which the search visits next anyway, adds nothing
    // new. SetDefaultDllDirectories would go further but would also drop Path, which
    // native libraries of Java programs rely on.
    wchar_t system[MAX_PATH];
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !SetDllDirectoryW(system)) SetDllDirectoryW(L"");
}

}  // namespace orvo
