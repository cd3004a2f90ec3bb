#include "support/planted_dll.h"

#include <windows.h>

#include "foundation/unique_handle.h"
#include "support/harness_error.h"
#include "support/test_environment.h"

namespace orvo::test {

namespace {

// ORVO_PLANTED_DLL is this build's; ORVO_PAIR_PLANTED_DLL the other architecture's.
std::wstring PlantedSource(PlantedArch arch) {
    bool this64 = TestArchitecture() == L"x86_64";
    bool wants64 = arch == PlantedArch::k64;
    return RequiredEnvironment(this64 == wants64 ? L"ORVO_PLANTED_DLL" : L"ORVO_PAIR_PLANTED_DLL");
}

}  // namespace

std::wstring PlantDll(const std::wstring& folder, std::wstring_view name, PlantedArch arch) {
    std::wstring target = folder + L"\\" + std::wstring(name);
    DeleteFileW((target + L".loaded").c_str());
    if (!CopyFileW(PlantedSource(arch).c_str(), target.c_str(), FALSE))
        throw HarnessError(L"cannot plant " + target);
    return target;
}

std::wstring PlantedBuildFile(std::wstring_view fileName, PlantedArch arch) {
    std::wstring planted = PlantedSource(arch);
    return planted.substr(0, planted.rfind(L'\\') + 1) + std::wstring(fileName);
}

std::wstring PlantedDllLoads(const std::wstring& plantedPath) {
    UniqueFileHandle file(CreateFileW((plantedPath + L".loaded").c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::wstring text;
    wchar_t buffer[512];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read / sizeof(wchar_t));
    // An empty marker still means a load: the process path could not be read.
    return text.empty() ? std::wstring(L"(a process)") : text;
}

}  // namespace orvo::test
