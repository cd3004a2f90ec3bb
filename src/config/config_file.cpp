#include "config/config_file.h"

#include <windows.h>

#include <algorithm>
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

constexpr DWORD kFirstBufferSize = 1024;
// No section can be longer than the file it is in.
constexpr DWORD kMaxBufferSize = static_cast<DWORD>(kMaxConfigFileBytes) + 2;

std::optional<IniText> CurrentText(const FileContents& old) {
    if (!old.exists || old.bytes.empty()) return IniText{IniEncoding::kUtf16LeBom, {}};
    return DecodeIniText(old.bytes);
}

std::wstring_view TrimmedOf(std::wstring_view text) {
    constexpr std::wstring_view blanks = L" \t";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

std::wstring CConfigFile::ReadString(const wchar_t* section, const wchar_t* key) const {
    std::wstring value(FindKeyValue(SectionLines(section), key));
    TraceValue(section, key, value);
    return value;
}

// Each section is read once, with one call of the profile API, which opens and parses
// the file on every call: reading key by key cost the start a few milliseconds.
const std::wstring& CConfigFile::SectionLines(const wchar_t* section) const {
    for (const auto& [name, lines] : sections_) {
        if (CompareStringOrdinal(name.c_str(), -1, section, -1, TRUE) == CSTR_EQUAL) return lines;
    }
    sections_.emplace_back(std::wstring(section), ReadSectionLines(section));
    return sections_.back().second;
}

// The profile functions do not accept paths of 260 units and more, not even with
// the "\\?\" prefix; the short form of such a path still names the same file.
std::wstring CConfigFile::ReadSectionLines(const wchar_t* section) const {
    if (TooLarge()) return {};
    const std::wstring file = ClassicLengthPath(path_);
    std::wstring buffer;
    for (DWORD size = kFirstBufferSize;; size = std::min(size * 2, kMaxBufferSize)) {
        buffer.resize(size);
        const DWORD length = GetPrivateProfileSectionW(section, buffer.data(), size, file.c_str());
        // A section that does not fit comes back as exactly size - 2 characters.
        if (length != size - 2) {
            buffer.resize(length);
            return buffer;
        }
        if (size == kMaxBufferSize) return {};  // the file grew past the limit while it was read
    }
}

// The section's lines are "key=value", each ended by a NUL, the last by two. The key
// is matched as the profile API matches it: the first line with that key, in any
// letter case, blanks around key and value left out, and one pair of quotes around
// the value removed.
std::wstring_view CConfigFile::FindKeyValue(const std::wstring& lines, const wchar_t* key) {
    for (std::size_t at = 0; at < lines.size() && lines[at] != L'\0'; at += wcslen(lines.c_str() + at) + 1) {
        std::wstring_view entry(lines.c_str() + at);  // the string's own NUL ends the last
        std::size_t equals = entry.find(L'=');
        std::wstring_view name = TrimmedOf(entry.substr(0, equals));
        if (CompareStringOrdinal(name.data(), static_cast<int>(name.size()), key, -1, TRUE) != CSTR_EQUAL) continue;
        if (equals == std::wstring_view::npos) return {};
        std::wstring_view value = TrimmedOf(entry.substr(equals + 1));
        bool quoted = value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
                      value.back() == value.front();
        return quoted ? value.substr(1, value.size() - 2) : value;
    }
    return {};
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
    sections_.clear();  // what was read of the file is no longer what it holds
    return bytes && ReplaceFileContents(path_, *bytes);
}

bool CConfigFile::TooLarge() const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(ToLongPathFormText(path_).c_str(), GetFileExInfoStandard, &data)) return false;
    const std::uint64_t size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return size > kMaxConfigFileBytes;
}

}  // namespace orvo
