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

// A file built beside planted.dll for that architecture (the libraries of
// tests/planted), by its file name.
std::wstring PlantedBuildFile(std::wstring_view fileName, PlantedArch arch);

// The processes that loaded the planted copy at that path (one image path a line),
// or empty text when none did.
std::wstring PlantedDllLoads(const std::wstring& plantedPath);

}  // namespace orvo::test
