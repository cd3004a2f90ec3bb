#include "discovery/runtime_release.h"

#include <windows.h>

#include "discovery/release_file.h"
#include "foundation/paths.h"
#include "foundation/unique_handle.h"

namespace orvo {
namespace {

// A real release file has a few hundred bytes up to a few KiB.
constexpr DWORD kMaxReleaseBytes = 64 * 1024;

std::optional<std::string> ReadFileStart(const std::wstring& path, DWORD limit) {
    UniqueFileHandle file(CreateFileW(ToLongPathForm(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes(limit, '\0');
    DWORD total = 0;
    for (DWORD read = 1; read != 0 && total < limit; total += read) {
        if (!ReadFile(file.get(), bytes.data() + total, limit - total, &read, nullptr)) return std::nullopt;
    }
    bytes.resize(total);
    return bytes;
}

}  // namespace

std::optional<std::wstring> ReadReleaseVersion(const std::wstring& home) {
    std::optional<std::string> text = ReadFileStart(home + L"release", kMaxReleaseBytes);
    if (!text) return std::nullopt;
    // A line cut off at the limit could name a version that is not the runtime's.
    if (text->size() == kMaxReleaseBytes) text->resize(text->rfind('\n') + 1);
    return JavaVersionInRelease(*text);
}

}  // namespace orvo
