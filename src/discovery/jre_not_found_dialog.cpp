#include "discovery/jre_not_found_dialog.h"

#include <objbase.h>
#include <shlobj.h>

#include <optional>

#include "foundation/java_version.h"
#include "discovery/jvm_library.h"
#include "discovery/runtime_code_page.h"
#include "foundation/dialog_placement.h"
#include "foundation/launcher_kind.h"
#include "foundation/launcher_path.h"
#include "foundation/path_names.h"
#include "foundation/path_text.h"
#include "foundation/messages.h"
#include "foundation/service_log.h"
#include "foundation/standard_error.h"
#include "foundation/text_format.h"
#include "resources/resource_ids.h"

namespace orvo {

namespace {

// File-system folders only, the resizable picker, no "Make New Folder" button.
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
static_assert(kBrowseFlags == 0x241);

struct CoTaskMemoryTraits {
    using Pointer = void*;
    static Pointer Invalid() noexcept { return nullptr; }
    static void Close(Pointer p) noexcept { CoTaskMemFree(p); }
};
using UniqueCoTaskMemory = UniqueHandle<CoTaskMemoryTraits>;

// The resizable folder picker needs an apartment-threaded COM on this thread, and
// so may the shell handler that opens the download link. A thread already in
// another apartment keeps it; only a successful initialisation is undone.
class ComApartment {
public:
    ComApartment() noexcept : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialised_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

// The file-system folder the user picks, as the shell returns it; nullopt when the
// picker is cancelled or the choice has no file-system path.
std::optional<std::wstring> PickFolder(HWND owner) {
    const std::wstring title = LoadMessage(IDS_BROWSE_FOR_JRE);
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = kBrowseFlags;
    UniqueCoTaskMemory item(SHBrowseForFolderW(&info));
    if (!item) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(static_cast<PCIDLIST_ABSOLUTE>(item.get()), path)) return std::nullopt;
    return std::wstring(path);
}

// For a console, where there is no dialog to pick a runtime: what to install, from
// where, and the places the search looked at.
std::wstring ConsoleMessage(const LauncherSettings& settings) {
    const std::wstring notSet = LoadMessage(IDS_NOT_SET);
    std::wstring javaHome = ExpandEnvironment(L"%JAVA_HOME%");
    if (javaHome == L"%JAVA_HOME%") javaHome = notSet;
    return FillTemplate(LoadMessage(IDS_JRE_NOT_FOUND_CONSOLE),
                        {JreNotFoundMessage(settings), LoadMessage(IDS_JRE_DOWNLOAD_ADDRESS),
                         settings.jrePath.empty() ? notSet : settings.jrePath, GetLauncherFolder().value_or(L""),
                         javaHome});
}

}  // namespace

std::wstring JreNotFoundMessage(const LauncherSettings& settings) {
    const std::wstring latest = LoadMessage(IDS_LATEST_VERSION);
    const std::wstring maximum = LoadMessage(IDS_MAXIMUM_VERSION);
    const std::wstring minimum = LoadMessage(IDS_MINIMUM_VERSION);
    const std::wstring exact = LoadMessage(IDS_VERSION_REQUIRED);
    const std::wstring between = LoadMessage(IDS_VERSION_BETWEEN);
    const std::wstring requirement =
        DescribeVersionRequirement(settings.versionRange, {latest, maximum, minimum, exact, between});
    const bool serverOnly = settings.searchPrefs.jvmType == JvmType::ServerOnly;
    return FillTemplate(LoadMessage(serverOnly ? IDS_JRE_NOT_FOUND_SERVER : IDS_JRE_NOT_FOUND), {requirement});
}

bool RunJreNotFoundDialog(const LauncherSettings& settings, JreDialogChoice& choice) {
    // A service has nobody to answer: it is told what is missing, as if cancelled.
    if (settings.serviceMode) {
        ReportToServiceLog(JreNotFoundMessage(settings) + L" " + LoadMessage(IDS_JRE_DOWNLOAD_ADDRESS));
        return false;
    }
    // A console program asks nothing: it says what to install, from where, and where
    // it looked, and the launch ends as if cancelled.
    if (IsConsoleLauncher()) {
        WriteToStandardError(AsWholeLines(ConsoleMessage(settings)));
        return false;
    }
    ComApartment com;
    CJreNotFoundDlg dialog(JreNotFoundMessage(settings), settings.searchPrefs.jvmType);
    if (dialog.DoModal(GetActiveWindow()) != CJreNotFoundDlg::kResultOk) return false;
    choice.folder = dialog.folder();
    choice.jvmPath = dialog.jvmPath();
    return true;
}

CJreNotFoundDlg::CJreNotFoundDlg(std::wstring message, JvmType jvmType)
    : message_(std::move(message)), jvmType_(jvmType) {}

INT_PTR CJreNotFoundDlg::DoModal(HWND owner) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_JRE_NOT_FOUND), owner,
                           DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CJreNotFoundDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CJreNotFoundDlg*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        self->dialog_ = dialog;
        return self->OnInitDialog();
    }
    auto* self = reinterpret_cast<CJreNotFoundDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr || message != WM_COMMAND) return FALSE;
    self->OnCommand(LOWORD(wParam));
    return TRUE;
}

BOOL CJreNotFoundDlg::OnInitDialog() {
    // The link takes its address from its text, so the text is set first.
    SetDlgItemTextW(dialog_, IDC_DOWNLOAD_LINK, LoadMessage(IDS_JRE_DOWNLOAD_ADDRESS).c_str());
    link_.Attach(GetDlgItem(dialog_, IDC_DOWNLOAD_LINK));
    SetDlgItemTextW(dialog_, IDC_JRE_MESSAGE, message_.c_str());
    EnableWindow(GetDlgItem(dialog_, IDOK), FALSE);
    CentreDialog(dialog_);
    // OK, the first tab stop, starts disabled; the keyboard starts on Browse instead,
    // which also becomes the button Enter presses.
    SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog_, IDC_BROWSE)), TRUE);
    return FALSE;
}

void CJreNotFoundDlg::OnCommand(int id) {
    switch (id) {
        case IDOK:
            // OK is disabled without a library; a stray IDOK must not confirm nothing.
            if (!jvmPath_.empty()) EndDialog(dialog_, kResultOk);
            break;
        case IDCANCEL:
            EndDialog(dialog_, kResultCancel);
            break;
        case IDC_BROWSE:
            Browse();
            break;
        default:
            break;
    }
}

void CJreNotFoundDlg::Browse() {
    std::optional<std::wstring> picked = PickFolder(dialog_);
    if (!picked) return;
    SetDlgItemTextW(dialog_, IDC_JRE_PATH, picked->c_str());
    folder_ = WithTrailingBackslash(*picked);
    bool isServer = false;
    jvmPath_ = LocateJvmLibrary(folder_, jvmType_, isServer);
    // A runtime the search refuses for this process's code page cannot be chosen here either.
    if (!jvmPath_.empty() && !ProcessCodePageRefusal(folder_).empty()) jvmPath_.clear();
    EnableWindow(GetDlgItem(dialog_, IDOK), jvmPath_.empty() ? FALSE : TRUE);
}

}  // namespace orvo
