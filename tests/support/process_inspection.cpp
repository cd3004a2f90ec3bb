#include "support/process_inspection.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cwctype>
#include <iterator>
#include <string_view>

#include "foundation/unique_handle.h"
#include "support/harness_error.h"

namespace orvo::test {

std::vector<std::wstring> LoadedModuleNames(DWORD processId) {
    UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    if (!snapshot) {
        throw HarnessError(L"cannot list the modules of process " + std::to_wstring(processId), GetLastError());
    }
    std::vector<std::wstring> names;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Module32FirstW(snapshot.get(), &entry); more; more = Module32NextW(snapshot.get(), &entry)) {
        std::wstring name = entry.szModule;
        std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return std::towlower(c); });
        names.push_back(std::move(name));
    }
    return names;
}

std::vector<std::wstring> WindowingLibraries(const std::vector<std::wstring>& modules) {
    const std::wstring_view windowing[] = {L"user32.dll",  L"gdi32.dll",   L"comctl32.dll", L"comdlg32.dll",
                                           L"shell32.dll", L"shlwapi.dll", L"ole32.dll",    L"gdiplus.dll"};
    std::vector<std::wstring> found;
    for (const std::wstring& name : modules) {
        if (std::find(std::begin(windowing), std::end(windowing), name) != std::end(windowing)) found.push_back(name);
    }
    return found;
}

int ThreadCount(DWORD processId) {
    UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) throw HarnessError(L"cannot list the threads", GetLastError());
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID == processId) ++count;
    }
    return count;
}

std::size_t PrivateBytes(DWORD processId) {
    UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    if (!process) throw HarnessError(L"cannot open process " + std::to_wstring(processId), GetLastError());
    // Walked region by region: wine reports no memory counters for another process.
    std::size_t committed = 0;
    MEMORY_BASIC_INFORMATION info{};
    for (const char* at = nullptr; VirtualQueryEx(process.get(), at, &info, sizeof info) == sizeof info;
         at = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) committed += info.RegionSize;
    }
    if (committed == 0) throw HarnessError(L"cannot read the memory of process " + std::to_wstring(processId), GetLastError());
    return committed;
}

}  // namespace orvo::test
