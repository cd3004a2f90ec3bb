#pragma once
// Plain reader and writer of one configuration (INI) file. Values are read through
// the profile API, a section at a time: each section is read once and kept, so that
// a value read twice from one object reads the same. Nothing stays open.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/config_source.h"

namespace orvo {

class CConfigFile : public ConfigSource {
public:
    // `path` should be absolute: the profile API looks for a bare file name in the
    // Windows folder.
    explicit CConfigFile(std::wstring path) : path_(std::move(path)) {}

    // The whole value, however long; empty when the file, section or key is missing,
    // and when the file is too large to be read (TooLarge).
    std::wstring ReadString(const wchar_t* section, const wchar_t* key) const override;

    // Sets the value so that a failure leaves the old file whole, and so that every
    // other line and the file's encoding stay as they were (a value the ANSI code page
    // cannot hold turns an ANSI file into UTF-16). A new file is UTF-16LE with a
    // byte-order mark, so that any folder name is kept. True when the file was
    // written; false for a read-only, too large or unreadable file. The sections read
    // so far are read anew afterwards.
    bool WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;

    // True when the file exists and is larger than kMaxConfigFileBytes.
    bool TooLarge() const;

    const std::wstring& path() const noexcept { return path_; }

private:
    const std::wstring& SectionLines(const wchar_t* section) const;
    std::wstring ReadSectionLines(const wchar_t* section) const;
    static std::wstring_view FindKeyValue(const std::wstring& lines, const wchar_t* key);
    void TraceValue(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;

    std::wstring path_;
    mutable std::vector<std::pair<std::wstring, std::wstring>> sections_;  // (name, lines) as first read
};

}  // namespace orvo
