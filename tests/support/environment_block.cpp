#include "support/environment_block.h"

#include <windows.h>

#include <algorithm>

namespace orvo::test {

namespace {

std::vector<std::wstring> CurrentEntries() {
    std::vector<std::wstring> entries;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* entry = block; entry && *entry; entry += entries.back().size() + 1)
        entries.emplace_back(entry);
    FreeEnvironmentStringsW(block);
    return entries;
}

bool HasName(const std::wstring& entry, const std::wstring& name) {
    // Entries such as "=Z:=Z:\work" (a drive's current folder) start with "=".
    std::size_t equals = entry.find(L'=', 1);
    return equals == name.size() &&
           CompareStringOrdinal(entry.c_str(), static_cast<int>(equals), name.c_str(), static_cast<int>(name.size()),
                                TRUE) == CSTR_EQUAL;
}

}  // namespace

std::wstring EnvironmentBlockWith(const std::vector<EnvironmentChange>& changes) {
    std::vector<std::wstring> entries = CurrentEntries();
    for (const EnvironmentChange& change : changes) {
        std::erase_if(entries, [&](const std::wstring& entry) { return HasName(entry, change.name); });
        if (change.value) entries.push_back(change.name + L"=" + *change.value);
    }
    std::wstring block;
    for (const std::wstring& entry : entries) block.append(entry).push_back(L'\0');
    if (entries.empty()) block.push_back(L'\0');  // an empty block is still two nulls
    block.push_back(L'\0');
    return block;
}

}  // namespace orvo::test
