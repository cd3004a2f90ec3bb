#include "foundation/system_error_text.h"

#include "foundation/text_format.h"
#include "foundation/unique_handle.h"

namespace orvo {

std::wstring SystemErrorText(DWORD code, std::wstring_view subject) {
    // Inserts are not filled by the system: it would read arguments nobody passed.
    constexpr DWORD kFlags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(kFlags, nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    UniqueLocalMemory owner(text);
    if (length == 0 || text == nullptr) return {};
    return TidySystemMessage(std::wstring_view(text, length), subject);
}

}  // namespace orvo
