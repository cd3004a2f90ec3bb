#pragma once
// The one operation the layered lookup needs from a configuration file.
#include <string>

namespace orvo {

class ConfigSource {
public:
    virtual ~ConfigSource() = default;
    // The value of section/key, or the empty text when the file, section or key is missing.
    // Section and key are terminated texts, as the profile API takes them: pointers,
    // which the many callers with literal names pass far more cheaply than strings.
    virtual std::wstring ReadString(const wchar_t* section, const wchar_t* key) const = 0;

protected:
    ConfigSource() = default;
    ConfigSource(const ConfigSource&) = default;
    ConfigSource& operator=(const ConfigSource&) = default;
};

}  // namespace orvo
