#include "config/config_file.h"

#include <windows.h>

#include "foundation/orvo_error.h"

namespace orvo {
namespace {

constexpr DWORD kFirstBufferSize = 256;

}  // namespace

std::wstring CConfigFile::ReadString(const std::wstring& section, const std::wstring& key) const {
    std::wstring buffer;
    for (DWORD size = kFirstBufferSize;; size *= 2) {
        if (size > 0x40000000u) {
            throw OrvoError(kErrorArithmeticOverflow);
        }
        buffer.resize(size);
        const DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(),
                                                      size, path_.c_str());
        // A truncated value comes back as exactly size - 1 characters; a value of that
        // length that fits is read once more, which costs nothing but time.
        if (length != size - 1) {
            buffer.resize(length);
            return buffer;
        }
    }
}

bool CConfigFile::WriteString(const std::wstring& section, const std::wstring& key,
                              const std::wstring& value) const {
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) != FALSE;
}

}  // namespace orvo
