#include "support/window_snapshot.h"

#include <algorithm>
#include <cstdio>

namespace orvo::test {

namespace {

constexpr UINT kTextTimeoutMs = 2000;
constexpr int kMessageTextId = 0xFFFF;

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? length : 0);
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &length)) {
        // A busy window still has the text the system keeps for it.
        wchar_t fallback[4096] = {};
        return std::wstring(fallback, GetWindowTextW(window, fallback, 4096));
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        kTextTimeoutMs, &copied);
    text.resize(std::min<std::size_t>(copied, length));
    return text;
}

ControlSnapshot ReadControl(HWND control) {
    ControlSnapshot snapshot;
    snapshot.handle = control;
    snapshot.className = ClassNameOf(control);
    snapshot.id = GetDlgCtrlID(control);
    snapshot.text = TextOf(control);
    snapshot.style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    snapshot.visible = IsWindowVisible(control);
    snapshot.enabled = IsWindowEnabled(control);
    GetWindowRect(control, &snapshot.rect);
    return snapshot;
}

BOOL CALLBACK CollectControl(HWND control, LPARAM into) {
    reinterpret_cast<std::vector<ControlSnapshot>*>(into)->push_back(ReadControl(control));
    return TRUE;
}

bool IsPictureStatic(const ControlSnapshot& control) {
    DWORD type = control.style & SS_TYPEMASK;
    return type == SS_ICON || type == SS_BITMAP || type == SS_ENHMETAFILE;
}

bool IsStatic(const ControlSnapshot& control) { return control.className == L"Static"; }

std::wstring Quoted(std::wstring_view text) {
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        // Control characters, and the 0xFFFF that starts a resource reference (an icon
        // control's text), are written as numbers.
        if (c == L'\n') {
            quoted += L"\\n";
        } else if (c < 0x20 || c == 0xFFFF) {
            wchar_t code[16];
            std::swprintf(code, 16, L"\\x%04X", static_cast<unsigned>(c));
            quoted += code;
        } else {
            quoted += c;
        }
    }
    return quoted + L"\"";
}

std::wstring HandleText(HWND window) {
    wchar_t text[32];
    std::swprintf(text, 32, L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}

std::wstring OwnerText(const WindowSnapshot& window) {
    if (window.owner == nullptr) return L"unowned";
    return L"owned by " + HandleText(window.owner) + L" (class " + window.ownerClassName + L", process " +
           std::to_wstring(window.ownerProcessId) + L")";
}

struct WindowSearch {
    const std::vector<DWORD>* processIds;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisibleWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    bool ours = std::find(search->processIds->begin(), search->processIds->end(), processId) !=
                search->processIds->end();
    if (ours && IsWindowVisible(window)) search->found.push_back(window);
    return TRUE;
}

}  // namespace

std::wstring WithoutAccelerators(std::wstring_view text) {
    std::wstring plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

std::wstring WindowSnapshot::MessageText() const {
    if (const ControlSnapshot* text = Control(kMessageTextId); text && IsStatic(*text)) return text->text;
    for (const ControlSnapshot& control : controls)
        if (IsStatic(control) && !IsPictureStatic(control) && control.visible && !control.text.empty())
            return control.text;
    return {};
}

const ControlSnapshot* WindowSnapshot::Control(int id) const {
    auto found = std::find_if(controls.begin(), controls.end(), [&](const ControlSnapshot& c) { return c.id == id; });
    return found == controls.end() ? nullptr : &*found;
}

const ControlSnapshot* WindowSnapshot::Button(std::wstring_view text) const {
    auto found = std::find_if(controls.begin(), controls.end(), [&](const ControlSnapshot& c) {
        return c.className == L"Button" && WithoutAccelerators(c.text) == text;
    });
    return found == controls.end() ? nullptr : &*found;
}

std::vector<std::wstring> WindowSnapshot::ButtonTexts() const {
    std::vector<std::wstring> texts;
    for (const ControlSnapshot& control : controls)
        if (control.className == L"Button" && control.visible) texts.push_back(WithoutAccelerators(control.text));
    return texts;
}

WindowSnapshot ReadWindow(HWND window) {
    WindowSnapshot snapshot;
    snapshot.handle = window;
    GetWindowThreadProcessId(window, &snapshot.processId);
    snapshot.className = ClassNameOf(window);
    snapshot.title = TextOf(window);
    snapshot.owner = GetWindow(window, GW_OWNER);
    if (snapshot.owner) {
        GetWindowThreadProcessId(snapshot.owner, &snapshot.ownerProcessId);
        snapshot.ownerClassName = ClassNameOf(snapshot.owner);
    }
    snapshot.style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    snapshot.exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    GetWindowRect(window, &snapshot.rect);
    snapshot.visible = IsWindowVisible(window);
    snapshot.controls = ReadControls(window);
    if (snapshot.visible) snapshot.icon = ReadMessageIcon(window);
    return snapshot;
}

std::vector<ControlSnapshot> ReadControls(HWND window) {
    std::vector<ControlSnapshot> controls;
    EnumChildWindows(window, CollectControl, reinterpret_cast<LPARAM>(&controls));
    return controls;
}

std::wstring DescribeWindow(const WindowSnapshot& window) {
    std::wstring text = L"window " + Quoted(window.title) + L" (class " + window.className + L", process " +
                        std::to_wstring(window.processId) + L"), " + OwnerText(window) + L"\n";
    if (window.IsDialog()) text += L"  message text: " + Quoted(window.MessageText()) + L"\n";
    text += L"  icon: " + ToString(window.icon) + L"\n";
    for (const ControlSnapshot& control : window.controls)
        text += L"  control " + control.className + L" id " + std::to_wstring(control.id) + L" " +
                Quoted(control.text) + (control.visible ? L"" : L" (hidden)") + L"\n";
    if (!window.screenshotPath.empty()) text += L"  screenshot: " + window.screenshotPath + L"\n";
    return text;
}

std::vector<HWND> VisibleTopLevelWindows(const std::vector<DWORD>& processIds) {
    WindowSearch search{&processIds, {}};
    EnumWindows(CollectVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace orvo::test
