#include "config/config_file.h"

#include <windows.h>

#include <optional>

#include "config/config_limits.h"
#include "config/ini_encoding.h"
#include "config/ini_text_edit.h"
#include "foundation/file_contents.h"
#include "foundation/path_names.h"
#include "foundation/path_text.h"
#include "foundation/trace.h"

namespace orvo {
namespace {

constexpr DWORD kFirstBufferSize = 256;
// No value can be longer than the file it is in.
constexpr DWORD kMaxBufferSize = static_cast<DWORD>(kMaxConfigFileBytes) + 2;

std::optional<IniText> CurrentText(const FileContents& old) {
    if (!old.exists || old.bytes.empty()) return IniText{IniEncoding::kUtf16LeBom, {}};
    return DecodeIniText(old.bytes);
}

}  // namespace

// The profile functions do not accept paths of 260 units and more, not even with
// the "\\?\" prefix; the short form of such a path still names the same file.
std::wstring CConfigFile::ReadString(const wchar_t* section, const wchar_t* key) const {
    if (TooLarge()) return {};
    const std::wstring file = ClassicLengthPath(path_);
    std::wstring buffer;
    for (DWORD size = kFirstBufferSize; size <= kMaxBufferSize; size *= 2) {
        buffer.resize(size);
        const DWORD length = GetPrivateProfileStringW(section, key, L"", buffer.data(),
                                                      size, file.c_str());
        // A truncated value comes back as exactly size - 1 characters; a value of that
        // length that fits is read once more, which costs nothing but time.
        if (length != size - 1) {
            buffer.resize(length);
            TraceValue(section, key, buffer);
            return buffer;
        }
    }
    return {};  // the file grew past the limit while it was read
}

// Only values that are there: a key missing from the trace was not found.
void CConfigFile::TraceValue(const wchar_t* section, const wchar_t* key, const std::wstring& value) const {
    if (TraceEnabled() && !value.empty()) Trace(L"config", path_ + L" [" + section + L"] " + key + L"=" + value);
}

bool CConfigFile::WriteString(const wchar_t* section, const wchar_t* key,
                              const std::wstring& value) const {
    const std::optional<FileContents> old = ReadFileContents(path_, kMaxConfigFileBytes);
    std::optional<IniText> ini = old ? CurrentText(*old) : std::nullopt;
    if (!ini) return false;
    ini->text = WithIniValue(ini->text, section, key, value);
    std::optional<std::string> bytes = EncodeIniText(*ini);
    if (!bytes) {
        ini->encoding = IniEncoding::kUtf16LeBom;
        bytes = EncodeIniText(*ini);
    }
    return bytes && ReplaceFileContents(path_, *bytes);
}

bool CConfigFile::TooLarge() const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(ToLongPathFormText(path_).c_str(), GetFileExInfoStandard, &data)) return false;
    const std::uint64_t size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return size > kMaxConfigFileBytes;
}

}  // namespace orvo
