#include "support/image_imports.h"

#include <windows.h>

#include <cstdint>
#include <cwctype>

#include "foundation/unique_handle.h"
#include "support/harness_error.h"

namespace orvo::test {

std::vector<std::wstring> ImportedLibraryNames(const std::wstring& executable) {
    // Laid out as the loader would, but nothing runs and no import is bound.
    UniqueModule image(LoadLibraryExW(executable.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!image) throw HarnessError(L"cannot map " + executable, GetLastError());
    // The handle of a resource mapping carries flags in its low bits.
    const auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<std::uintptr_t>(image.get()) & ~std::uintptr_t{3});
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<std::wstring> names;
    if (directory.VirtualAddress == 0) return names;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); entry->Name != 0;
         ++entry) {
        std::wstring name;
        for (const char* c = reinterpret_cast<const char*>(base + entry->Name); *c != '\0'; ++c) {
            name.push_back(static_cast<wchar_t>(std::towlower(static_cast<unsigned char>(*c))));
        }
        names.push_back(std::move(name));
    }
    return names;
}

}  // namespace orvo::test
