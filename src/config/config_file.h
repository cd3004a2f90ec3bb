#pragma once
// Plain reader and writer of one configuration (INI) file. Values are read through
// the profile API; the file is opened and closed by every call; nothing stays open.
#include <string>
#include <utility>

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
    // written; false for a read-only, too large or unreadable file.
    bool WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;

    // True when the file exists and is larger than kMaxConfigFileBytes.
    bool TooLarge() const;

    const std::wstring& path() const noexcept { return path_; }

private:
    void TraceValue(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;

    std::wstring path_;
};

}  // namespace orvo
