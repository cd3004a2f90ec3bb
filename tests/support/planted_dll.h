#pragma once
// Planting a library where the launcher must not look for one: the test's own
// planted.dll (tests/planted) copied under a system library's name into a folder,
// and the marker file it leaves when some process loads it anyway.
#include <string>
#include <string_view>

namespace orvo::test {

enum class PlantedArch { k32, k64 };

// Copies planted.dll of that architecture into `folder` as `name` (removing an old
// marker first); returns the copy's path. Throws HarnessError when it cannot.
std::wstring PlantDll(const std::wstring& folder, std::wstring_view name, PlantedArch arch);

// The processes that loaded the planted copy at that path (one image path a line),
// or empty text when none did.
std::wstring PlantedDllLoads(const std::wstring& plantedPath);

// While it lives, wine prefers a native copy of `dllName` (found where Windows would
// look) over its built-in one for programs named `exeName`, as Windows does for a
// library that is not among those it always takes from the system folder. Wine 8
// reads WINEDLLOVERRIDES only from the environment the test program itself was
// started with, never from the one it gives a child, so the per-program registry
// setting (HKCU\Software\Wine\AppDefaults\<exe>\DllOverrides) is the way for one
// launcher. Harmless on Windows. Throws HarnessError when it cannot be set.
class PreferNativeDll {
public:
    PreferNativeDll(std::wstring exeName, std::wstring dllName);
    ~PreferNativeDll();
    PreferNativeDll(const PreferNativeDll&) = delete;
    PreferNativeDll& operator=(const PreferNativeDll&) = delete;

private:
    std::wstring keyPath_;
    std::wstring dllName_;
};

}  // namespace orvo::test
