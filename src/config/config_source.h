#pragma once
// The one operation the layered lookup needs from a configuration file.
#include <string>

namespace orvo {

class ConfigSource {
public:
    virtual ~ConfigSource() = default;
    // The value of section/key, or the empty text when the file, section or key is missing.
    virtual std::wstring ReadString(const std::wstring& section, const std::wstring& key) const = 0;

protected:
    ConfigSource() = default;
    ConfigSource(const ConfigSource&) = default;
    ConfigSource& operator=(const ConfigSource&) = default;
};

}  // namespace orvo
