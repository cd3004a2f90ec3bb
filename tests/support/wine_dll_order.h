#pragma once
// Under wine, a library planted under a system library's name is never loaded:
// wine takes its built-in copy of that name first. A test that plants one makes
// wine look for files first, for the executables it starts, while it runs.
//
// Wine takes WINEDLLOVERRIDES only from the environment it was itself started with;
// set in a launcher's environment block it has no effect. The per-program key
// HKCU\Software\Wine\AppDefaults\<exe>\DllOverrides does, for processes started
// while it exists. On Windows the key means nothing and files always come first.
#include <string>
#include <vector>

#include "support/registry_keys.h"

namespace orvo::test {

class NativeLibraryFirst {
public:
    // For each executable file name (e.g. L"App.exe"), `library` (without ".dll")
    // is looked for as a file before wine's own copy. Throws HarnessError when the
    // value cannot be written, or exists already (it is the machine's, not ours).
    NativeLibraryFirst(const std::vector<std::wstring>& executables, const std::wstring& library);
    // The keys and values it made go again; nothing else is touched.
    ~NativeLibraryFirst() = default;
    NativeLibraryFirst(const NativeLibraryFirst&) = delete;
    NativeLibraryFirst& operator=(const NativeLibraryFirst&) = delete;

private:
    OwnedRegistryKeys keys_;
};

}  // namespace orvo::test
