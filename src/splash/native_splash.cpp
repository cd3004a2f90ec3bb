#include "splash/native_splash.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "foundation/dll_search.h"
#include "foundation/path_text.h"
#include "hosting/ansi_text.h"

namespace orvo {

namespace {

using SplashInitFunction = void(__cdecl*)();
using SplashLoadFileFunction = int(__cdecl*)(const char* fileName);
using SplashSetFileJarNameFunction = void(__cdecl*)(const char* fileName, const char* jarName);

// splashscreen.dll needs java.dll beside it, which needs jvm.dll from the folder
// below: both runtime folders are searched, the launcher's and the current folder not.
HMODULE LoadSplashLibrary(const std::wstring& libraryPath, const std::wstring& jvmPath) {
    return LoadRuntimeLibrary(libraryPath, {FolderOf(libraryPath), FolderOf(jvmPath)});
}

// The library takes the picture's name in ANSI text: a name the code page lacks letters
// for is handed over by its short (8.3) form where the file system keeps one.
std::string PictureNameForLibrary(const std::wstring& imagePath) {
    return ToThreadAnsi(AnsiNameablePath(imagePath).value_or(imagePath));
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
    const std::string path = PictureNameForLibrary(imagePath);
    init();
    loadFile(path.c_str());  // its result does not matter: a failed load shows nothing
    setFileJarName(path.c_str(), "");
    return true;
}

}  // namespace orvo
