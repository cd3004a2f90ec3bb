// The planted library itself: a process that loads it leaves a marker naming the
// process, and the load fails, so tests that look for the marker can trust it.
// (Planted under a system library's name, wine loads its own built-in copy instead
// unless the test holds a NativeLibraryFirst for that name; support/wine_dll_order.h.)
#include <gtest/gtest.h>

#include <windows.h>

#include "support/planted_dll.h"
#include "support/temp_folder.h"
#include "support/test_environment.h"

namespace orvo::test {
namespace {

TEST(PlantedDll, LoadingAPlantedCopyLeavesAMarkerAndFails) {
    TempFolder folder;
    PlantedArch own = TestArchitecture() == L"x86_64" ? PlantedArch::k64 : PlantedArch::k32;
    std::wstring planted = PlantDll(folder.path(), L"planted-probe.dll", own);
    EXPECT_EQ(PlantedDllLoads(planted), L"");
    HMODULE module = LoadLibraryExW(planted.c_str(), nullptr, 0);
    EXPECT_EQ(module, nullptr) << "the planted library stayed loaded";
    if (module) FreeLibrary(module);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(PlantedDllLoads(planted), std::wstring(self) + L"\r\n");
}

}  // namespace
}  // namespace orvo::test
