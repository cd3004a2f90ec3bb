// A product name or code made into a folder name: one folder directly inside its
// parent whatever the text (no separator, no "." or "..", no name the system
// takes for a device), and made safe once is safe for good.
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/config_file_names.h"
#include "fuzz_input.h"

namespace {

bool HasForbiddenCharacter(const std::wstring& name) {
    for (wchar_t c : name)
        if (c < L' ' || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = orvo::fuzz::WideFromBytes({reinterpret_cast<const char*>(data), size});
    const std::wstring folder = orvo::SafeFolderName(text);
    ORVO_FUZZ_CHECK(!HasForbiddenCharacter(folder));
    ORVO_FUZZ_CHECK(folder.empty() || (folder.back() != L'.' && folder.back() != L' '));
    ORVO_FUZZ_CHECK(orvo::SafeFolderName(folder) == folder);
    // The folder sits right below appData: the file name is the only part after it.
    const orvo::UserConfigLocation location = orvo::UserConfigLocationFor(L"R:", text, text, L"run.exe");
    ORVO_FUZZ_CHECK(location.file == L"R:\\" + folder + L"\\" + folder + L"\\run.ini");
    return 0;
}
