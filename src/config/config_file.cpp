#include "config/config_file.h"

#include <windows.h>

#include "foundation/orvo_error.h"
#include "foundation/paths.h"
#include "foundation/trace.h"

namespace orvo {
namespace {

constexpr DWORD kFirstBufferSize = 256;

}  // namespace

// The profile functions do not accept paths of 260 units and more, not even with
// the "\\?\" prefix; the short form of such a path still names the same file.
std::wstring CConfigFile::ReadString(const std::wstring& section, const std::wstring& key) const {
    const std::wstring file = ClassicLengthPath(path_);
    std::wstring buffer;
    for (DWORD size = kFirstBufferSize;; size *= 2) {
        if (size > 0x40000000u) {
            throw OrvoError(kErrorArithmeticOverflow);
        }
        buffer.resize(size);
        const DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(),
                                                      size, file.c_str());
        // A truncated value comes back as exactly size - 1 characters; a value of that
        // length that fits is read once more, which costs nothing but time.
        if (length != size - 1) {
            buffer.resize(length);
            TraceValue(section, key, buffer);
            return buffer;
        }
    }
}

// Only values that are there: a key missing from the trace was not found.
void CConfigFile::TraceValue(const std::wstring& section, const std::wstring& key, const std::wstring& value) const {
    if (TraceEnabled() && !value.empty()) Trace(L"config", path_ + L" [" + section + L"] " + key + L"=" + value);
}

bool CConfigFile::WriteString(const std::wstring& section, const std::wstring& key,
                              const std::wstring& value) const {
    const std::wstring file = ClassicLengthPath(path_);
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

}  // namespace orvo
