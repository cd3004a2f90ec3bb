#include "discovery/release_file.h"

namespace orvo {
namespace {

constexpr std::string_view kJavaVersionKey = "JAVA_VERSION=";

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return text;
}

}  // namespace

std::optional<std::wstring> JavaVersionInRelease(std::string_view text) {
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.starts_with(kJavaVersionKey)) {
            std::string_view value = Trimmed(line.substr(kJavaVersionKey.size()));
            std::wstring result;
            for (char c : value) result += static_cast<wchar_t>(static_cast<unsigned char>(c));
            return result;
        }
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return std::nullopt;
}

}  // namespace orvo
