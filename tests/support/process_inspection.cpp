#include "support/process_inspection.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cwctype>

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

}  // namespace orvo::test
