#include "file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

#include "pack_error.h"

namespace orvo::pack {
namespace {

namespace fs = std::filesystem;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

fs::path PathFromUtf8(const std::string& path) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(path.data()), path.size()));
}

UniqueFile Open(const fs::path& path, bool forWriting) {
#ifdef _WIN32
    return UniqueFile(_wfopen(path.c_str(), forWriting ? L"wb" : L"rb"));
#else
    return UniqueFile(std::fopen(path.c_str(), forWriting ? "wb" : "rb"));
#endif
}

PackError AccessError(const std::string& path, const std::string& what, const std::string& reason) {
    return PackError(path + ": " + what + " (" + reason + ")", ExitStatus::kFileAccess);
}

std::string ErrnoText() { return std::strerror(errno); }

fs::path TemporaryBeside(const fs::path& target) {
    std::random_device random;
    fs::path temporary = target;
    temporary += ".orvo-pack-" + std::to_string(random()) + ".tmp";
    return temporary;
}

void WriteAll(const fs::path& temporary, ByteSpan bytes, const std::string& shownPath) {
    UniqueFile file = Open(temporary, true);
    if (!file) throw AccessError(shownPath, "cannot be written", ErrnoText());
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                         std::fflush(file.get()) == 0;
    const std::string reason = ErrnoText();
    if (std::fclose(file.release()) != 0 || !written) throw AccessError(shownPath, "cannot be written", reason);
}

}  // namespace

Bytes ReadWholeFile(const std::string& path) {
    UniqueFile file = Open(PathFromUtf8(path), false);
    if (!file) throw AccessError(path, "cannot be read", ErrnoText());
    Bytes bytes;
    std::uint8_t buffer[64 * 1024];
    while (const std::size_t count = std::fread(buffer, 1, sizeof buffer, file.get())) {
        if (bytes.size() + count > kMaxInputBytes) throw AccessError(path, "cannot be read", "larger than 1 GiB");
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    if (std::ferror(file.get())) throw AccessError(path, "cannot be read", ErrnoText());
    return bytes;
}

void WriteFileReplacing(const std::string& path, ByteSpan bytes) {
    const fs::path target = PathFromUtf8(path);
    const fs::path temporary = TemporaryBeside(target);
    try {
        WriteAll(temporary, bytes, path);
        std::error_code ignored;
        fs::permissions(temporary, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                        fs::perm_options::add, ignored);
        std::error_code renamed;
        fs::rename(temporary, target, renamed);
        if (renamed) throw AccessError(path, "cannot be replaced", renamed.message());
    } catch (...) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw;
    }
}

}  // namespace orvo::pack
