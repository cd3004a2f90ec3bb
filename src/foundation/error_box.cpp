#include "foundation/error_box.h"

#include <atomic>

#include "foundation/launcher_kind.h"
#include "foundation/service_log.h"
#include "foundation/standard_error.h"
#include "foundation/text_format.h"

namespace orvo {

namespace {
std::atomic<HWND> errorBoxOwner{nullptr};
}

HWND ErrorBoxOwner() noexcept { return errorBoxOwner.load(); }

void SetErrorBoxOwner(HWND owner) noexcept { errorBoxOwner.store(owner); }

void ShowErrorBox(HWND owner, const std::wstring& text) {
    // A service has nobody to close the box; it would wait for ever.
    if (InServiceMode()) {
        ReportToServiceLog(text);
        return;
    }
    // A console program's messages are the console's, like java.exe's.
    if (IsConsoleLauncher()) {
        WriteToStandardError(AsWholeLines(text));
        return;
    }
    // No caption: the system supplies its default ("Error"). The result is not needed.
    MessageBoxW(owner, text.c_str(), nullptr, MB_OK | MB_ICONERROR);
}

void ShowErrorBoxWithText(HWND owner, const std::wstring& templ, const std::wstring& text) {
    ShowErrorBox(owner, FillTemplate(templ, {text}));
}

void ShowErrorBoxWithCode(HWND owner, const std::wstring& templ, const std::wstring& text, int number) {
    ShowErrorBox(owner, FillTemplate(templ, {text}, number));
}

}  // namespace orvo
