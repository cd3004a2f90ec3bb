// The launcher binds only the kernel's libraries when it starts; the windowing and
// shell libraries are delay-loaded (a start that shows nothing never loads them), so
// they are not among the imports bound at start.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "support/image_imports.h"
#include "support/temp_folder.h"

namespace orvo::test {
namespace {

TEST(LauncherImports, OnlyTheKernelLibrariesAreBoundAtStart) {
    const std::set<std::wstring> allowed = {L"kernel32.dll", L"advapi32.dll", L"msvcrt.dll"};
    const std::vector<std::wstring> names = ImportedLibraryNames(TestEnv(L"ORVO_LAUNCHER"));
    for (const std::wstring& name : names) EXPECT_EQ(allowed.count(name), 1u) << name;
    EXPECT_NE(std::find(names.begin(), names.end(), L"kernel32.dll"), names.end());
}

}  // namespace
}  // namespace orvo::test
