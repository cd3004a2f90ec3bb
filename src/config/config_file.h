#pragma once
// Plain reader and writer of one configuration (INI) file through the profile API.
// The file is opened and closed by every call; nothing stays open.
#include <string>
#include <utility>

#include "config/config_source.h"

namespace orvo {

class CConfigFile : public ConfigSource {
public:
    // `path` should be absolute: the profile API looks for a bare file name in the
    // Windows folder.
    explicit CConfigFile(std::wstring path) : path_(std::move(path)) {}

    // The whole value, however long; empty when the file, section or key is missing.
    std::wstring ReadString(const std::wstring& section, const std::wstring& key) const override;

    // One WritePrivateProfileStringW; true when the system reports success.
    bool WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) const;

    const std::wstring& path() const noexcept { return path_; }

private:
    void TraceValue(const std::wstring& section, const std::wstring& key, const std::wstring& value) const;

    std::wstring path_;
};

}  // namespace orvo
