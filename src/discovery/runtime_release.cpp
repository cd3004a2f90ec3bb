#include "discovery/runtime_release.h"

#include "discovery/release_file.h"
#include "foundation/file_contents.h"

namespace orvo {
namespace {

// A real release file has a few hundred bytes up to a few KiB; anything far larger
// is no release file.
constexpr std::uint64_t kMaxReleaseBytes = 64 * 1024;

}  // namespace

std::optional<std::wstring> ReadReleaseVersion(const std::wstring& home) {
    std::optional<FileContents> release = ReadFileContents(home + L"release", kMaxReleaseBytes);
    if (!release || !release->exists) return std::nullopt;
    return JavaVersionInRelease(release->bytes);
}

}  // namespace orvo
