#include "output_target.h"

#include <algorithm>
#include <array>

#include "pack_error.h"

namespace orvo::pack {
namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; });
    return upper;
}

bool IsNumberedDevice(std::string_view name) {
    if (name.size() < 4 || (name.substr(0, 3) != "COM" && name.substr(0, 3) != "LPT")) return false;
    const std::string_view digit = name.substr(3);
    // The digits 0-9 and the superscripts one, two and three in UTF-8.
    return (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') || digit == "\xC2\xB9" || digit == "\xC2\xB2" ||
           digit == "\xC2\xB3";
}

}  // namespace

void RefuseUnlessReplaceable(OutputTarget target, const std::string& shownPath) {
    const char* reason = nullptr;
    switch (target) {
    case OutputTarget::kAbsent:
    case OutputTarget::kRegularFile: return;
    case OutputTarget::kReadOnlyFile: reason = "read-only"; break;
    case OutputTarget::kLink: reason = "a link"; break;
    case OutputTarget::kDirectory: reason = "a directory"; break;
    case OutputTarget::kDevice: reason = "a device"; break;
    case OutputTarget::kOther: reason = "not a regular file"; break;
    }
    throw PackError(shownPath + ": cannot be replaced (" + reason + ")", ExitStatus::kFileAccess);
}

bool IsWindowsDeviceName(std::string_view path) {
    if (path.starts_with("\\\\.\\") || path.starts_with("//./")) return true;
    std::string_view name = path.substr(std::min(path.size(), path.find_last_of("/\\") + 1));
    name = name.substr(0, name.find_first_of(".:"));
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    const std::string upper = Upper(name);
    constexpr std::array<std::string_view, 6> kNamed = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    return std::find(kNamed.begin(), kNamed.end(), upper) != kNamed.end() || IsNumberedDevice(upper);
}

}  // namespace orvo::pack
