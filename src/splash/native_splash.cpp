#include "splash/native_splash.h"

#include <windows.h>

#include <utility>

#include "foundation/path_text.h"
#include "hosting/ansi_text.h"

namespace orvo {

namespace {

constexpr DWORD kSearchDllLoadDir = 0x00000100;  // LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR
constexpr DWORD kSearchUserDirs = 0x00000400;    // LOAD_LIBRARY_SEARCH_USER_DIRS
constexpr DWORD kSearchSystem32 = 0x00000800;    // LOAD_LIBRARY_SEARCH_SYSTEM32

using AddDllDirectoryFunction = void*(WINAPI*)(const wchar_t* folder);
using SplashInitFunction = void(__cdecl*)();
using SplashLoadFileFunction = int(__cdecl*)(const char* fileName);
using SplashSetFileJarNameFunction = void(__cdecl*)(const char* fileName, const char* jarName);

// Looked up at run time: a Windows 7 without the DLL-search update lacks it.
AddDllDirectoryFunction FindAddDllDirectory() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return nullptr;
    return reinterpret_cast<AddDllDirectoryFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "AddDllDirectory")));
}

// splashscreen.dll needs java.dll beside it, which needs jvm.dll from the folder
// below: both runtime folders are searched, the launcher's and the current folder not.
// Without the search flags (an old Windows 7) the altered search path starts at the
// library's own folder and reaches jvm.dll's folder through Path.
HMODULE LoadSplashLibrary(const std::wstring& libraryPath, const std::wstring& jvmPath) {
    if (AddDllDirectoryFunction addDllDirectory = FindAddDllDirectory()) {
        addDllDirectory(FolderOf(libraryPath).c_str());  // the cookies are not kept: the runtime stays
        addDllDirectory(FolderOf(jvmPath).c_str());
        HMODULE library =
            LoadLibraryExW(libraryPath.c_str(), nullptr, kSearchDllLoadDir | kSearchUserDirs | kSearchSystem32);
        if (library || GetLastError() != ERROR_INVALID_PARAMETER) return library;
    }
    return LoadLibraryExW(libraryPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

template <typename Function>
Function ResolveExport(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

void NativeSplashClose::Invoke() {
    if (NativeSplashCloseFunction close = std::exchange(close_, nullptr)) close();
}

void NativeSplashClose::Replace(NativeSplashCloseFunction close) {
    if (close != close_) Invoke();
    close_ = close;
}

bool StartNativeSplash(const std::wstring& libraryPath, const std::wstring& jvmPath, const std::wstring& imagePath,
                       NativeSplashClose& close) {
    HMODULE library = LoadSplashLibrary(libraryPath, jvmPath);  // deliberately never freed
    if (!library) return false;
    auto init = ResolveExport<SplashInitFunction>(library, "SplashInit");
    auto loadFile = ResolveExport<SplashLoadFileFunction>(library, "SplashLoadFile");
    auto setFileJarName = ResolveExport<SplashSetFileJarNameFunction>(library, "SplashSetFileJarName");
    close.Replace(ResolveExport<NativeSplashCloseFunction>(library, "SplashClose"));
    if (!init || !loadFile || !setFileJarName) return false;
    const std::string path = ToThreadAnsi(imagePath);
    init();
    loadFile(path.c_str());  // its result does not matter: a failed load shows nothing
    setFileJarName(path.c_str(), "");
    return true;
}

}  // namespace orvo
