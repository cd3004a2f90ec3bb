#include "hosting/runtime_output_text.h"

namespace orvo {

std::wstring TidyRuntimeOutput(std::wstring_view text, std::size_t limit) {
    std::wstring tidy;
    tidy.reserve(text.size() < limit ? text.size() : limit);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
        tidy += text[i];
    }
    std::size_t end = tidy.find_last_not_of(L"\r\n\t ");
    tidy.resize(end == std::wstring::npos ? 0 : end + 1);
    if (tidy.size() <= limit) return tidy;
    std::size_t cut = tidy.rfind(L'\n', limit);
    tidy.resize(cut == std::wstring::npos || cut == 0 ? limit : cut);
    return tidy + L"\n...";
}

bool IsAotRecordedNotice(std::string_view printed) {
    return printed.find("AOTConfiguration recorded: ") != std::string_view::npos;
}

}  // namespace orvo
