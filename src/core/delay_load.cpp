// Binds the launcher's delay-loaded imports (the windowing and shell libraries, see
// CMakeLists.txt) at their first call. A launcher that hands over to its pair, or
// shows nothing before the VM, never loads them. The library comes from the system
// folder alone: neither the launcher's folder nor the current folder is searched.
// Linked into the launchers only, in place of the toolchain's helper.
#include <windows.h>

#include <delayimp.h>

#include <cstddef>

#include "foundation/dll_search.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

template <typename T>
T* AtRva(RVA rva) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(&__ImageBase) + rva);
}

// The exception the platform raises for a delay-loaded library or function it cannot
// find: the system's own library is missing or lacks the function, so the launcher
// cannot go on.
[[noreturn]] void Fail(DWORD error) {
    RaiseException(VcppException(ERROR_SEVERITY_ERROR, error), EXCEPTION_NONCONTINUABLE, 0, nullptr);
    ExitProcess(static_cast<UINT>(-1));
}

HMODULE LibraryOf(const ImgDelayDescr& descriptor) {
    HMODULE* slot = AtRva<HMODULE>(descriptor.rvaHmod);
    if (*slot) return *slot;
    // The names are the linker's, short ASCII ("user32.dll").
    const char* name = AtRva<const char>(descriptor.rvaDLLName);
    wchar_t wide[32];
    std::size_t length = 0;
    for (; name[length] != '\0'; ++length) {
        if (length + 1 == sizeof wide / sizeof wide[0]) Fail(ERROR_MOD_NOT_FOUND);
        wide[length] = static_cast<unsigned char>(name[length]);
    }
    wide[length] = L'\0';
    HMODULE library = orvo::LoadSystemLibrary(wide);
    if (!library) Fail(ERROR_MOD_NOT_FOUND);
    // Two threads that meet here both load it; the library stays loaded either way.
    *slot = library;
    return library;
}

}  // namespace

// Called by the import stub of a delay-loaded function on its first call: binds the
// function's slot and returns the address the call goes on to.
extern "C" FARPROC WINAPI __delayLoadHelper2(PCImgDelayDescr descriptor, FARPROC* slot) {
    if (!(descriptor->grAttrs & dlattrRva)) Fail(ERROR_INVALID_PARAMETER);
    HMODULE library = LibraryOf(*descriptor);
    const std::size_t index = static_cast<std::size_t>(slot - AtRva<FARPROC>(descriptor->rvaIAT));
    const IMAGE_THUNK_DATA& entry = AtRva<const IMAGE_THUNK_DATA>(descriptor->rvaINT)[index];
    const char* function = IMAGE_SNAP_BY_ORDINAL(entry.u1.Ordinal)
                               ? MAKEINTRESOURCEA(IMAGE_ORDINAL(entry.u1.Ordinal))
                               : AtRva<const IMAGE_IMPORT_BY_NAME>(static_cast<RVA>(entry.u1.AddressOfData))->Name;
    FARPROC address = GetProcAddress(library, function);
    if (!address) Fail(ERROR_PROC_NOT_FOUND);
    *slot = address;
    return address;
}
