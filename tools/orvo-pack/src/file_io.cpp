#include "file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "output_target.h"
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

UniqueFile OpenForReading(const fs::path& path) {
#ifdef _WIN32
    return UniqueFile(_wfopen(path.c_str(), L"rb"));
#else
    return UniqueFile(std::fopen(path.c_str(), "rb"));
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

#ifdef _WIN32

std::string SystemText(DWORD code) { return std::system_category().message(static_cast<int>(code)); }

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

UniqueHandle OwnHandle(HANDLE handle) { return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle); }

// The file at the path itself, never what a link there points to.
struct ExistingOutput {
    OutputTarget target = OutputTarget::kAbsent;
    DWORD attributes = 0;
};

ExistingOutput Examine(const fs::path& path, const std::string& shownPath) {
    if (IsWindowsDeviceName(shownPath)) return {OutputTarget::kDevice};
    const UniqueHandle file = OwnHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                                    nullptr));
    // Absent, or not to be looked at: the write or the replacement says why.
    if (!file) return {};
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return {OutputTarget::kDevice};
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.get(), &information))
        throw AccessError(shownPath, "cannot be replaced", SystemText(GetLastError()));
    const DWORD attributes = information.dwFileAttributes;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return {OutputTarget::kLink, attributes};
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return {OutputTarget::kDirectory, attributes};
    if (attributes & FILE_ATTRIBUTE_READONLY) return {OutputTarget::kReadOnlyFile, attributes};
    return {OutputTarget::kRegularFile, attributes};
}

void WriteTemporary(const fs::path& temporary, ByteSpan bytes, const ExistingOutput&, const std::string& shownPath) {
    const UniqueHandle file = OwnHandle(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw AccessError(shownPath, "cannot be written", SystemText(GetLastError()));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
            throw AccessError(shownPath, "cannot be written", SystemText(GetLastError()));
        done += written;
    }
    if (!FlushFileBuffers(file.get())) throw AccessError(shownPath, "cannot be written", SystemText(GetLastError()));
}

void Replace(const fs::path& temporary, const fs::path& target, const ExistingOutput& existing, const std::string& shownPath) {
    // The replaced file's hidden, system and archive marks stay with the new one.
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (existing.target == OutputTarget::kRegularFile && (existing.attributes & kKept) != 0)
        SetFileAttributesW(temporary.c_str(), existing.attributes & kKept);
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw AccessError(shownPath, "cannot be replaced", SystemText(GetLastError()));
}

#else

struct ExistingOutput {
    OutputTarget target = OutputTarget::kAbsent;
    mode_t mode = 0;
};

ExistingOutput Examine(const fs::path& path, const std::string&) {
    struct stat status {};
    // Absent, or not to be looked at: the write or the replacement says why.
    if (lstat(path.c_str(), &status) != 0) return {};
    const mode_t mode = status.st_mode;
    if (S_ISLNK(mode)) return {OutputTarget::kLink, mode};
    if (S_ISDIR(mode)) return {OutputTarget::kDirectory, mode};
    if (S_ISCHR(mode) || S_ISBLK(mode)) return {OutputTarget::kDevice, mode};
    if (!S_ISREG(mode)) return {OutputTarget::kOther, mode};
    // The superuser may write any file, but one that nobody may write is still read-only.
    if ((mode & 0222) == 0 || access(path.c_str(), W_OK) != 0) return {OutputTarget::kReadOnlyFile, mode};
    return {OutputTarget::kRegularFile, mode};
}

class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (descriptor_ >= 0) close(descriptor_);
    }
    int get() const noexcept { return descriptor_; }

private:
    int descriptor_;
};

// A new file only (never through a link left at its name), with the replaced file's
// permissions less set-user and set-group id, or for a new output rwx as the umask allows.
void WriteTemporary(const fs::path& temporary, ByteSpan bytes, const ExistingOutput& existing, const std::string& shownPath) {
    const mode_t mode = existing.target == OutputTarget::kRegularFile ? (existing.mode & 0777) : 0777;
    const Descriptor file(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    const int opened = file.get();
    if (opened < 0) throw AccessError(shownPath, "cannot be written", ErrnoText());
    if (existing.target == OutputTarget::kRegularFile && fchmod(opened, mode) != 0)
        throw AccessError(shownPath, "cannot be written", ErrnoText());
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(opened, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) throw AccessError(shownPath, "cannot be written", written < 0 ? ErrnoText() : "nothing written");
        done += static_cast<std::size_t>(written);
    }
    if (fsync(opened) != 0) throw AccessError(shownPath, "cannot be written", ErrnoText());
}

void Replace(const fs::path& temporary, const fs::path& target, const ExistingOutput&, const std::string& shownPath) {
    if (rename(temporary.c_str(), target.c_str()) != 0) throw AccessError(shownPath, "cannot be replaced", ErrnoText());
}

#endif

}  // namespace

Bytes ReadWholeFile(const std::string& path) {
    UniqueFile file = OpenForReading(PathFromUtf8(path));
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
    const ExistingOutput existing = Examine(target, path);
    RefuseUnlessReplaceable(existing.target, path);
    const fs::path temporary = TemporaryBeside(target);
    try {
        WriteTemporary(temporary, bytes, existing, path);
        Replace(temporary, target, existing, path);
    } catch (...) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw;
    }
}

}  // namespace orvo::pack
