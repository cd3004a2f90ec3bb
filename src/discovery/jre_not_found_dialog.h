#pragma once
// The dialog shown when no Java runtime was found: it says which version is needed,
// links to a download page and lets the user browse for a runtime folder.
#include <windows.h>

#include <string>

#include "config/launcher_settings.h"
#include "discovery/hyperlink.h"
#include "config/jvm_search_prefs.h"

namespace orvo {

struct JreDialogChoice {
    std::wstring folder;   // the chosen folder, ending in "\"
    std::wstring jvmPath;  // the JVM library found in it
};

// Shows the dialog modally (owned by the thread's active window). True when the
// user confirmed a folder holding a JVM library; false on Cancel, Escape, the
// close box, or when the dialog cannot be created. `choice` is untouched on false.
// In service mode shows nothing: the message goes to the service log, and the
// result is false, as for Cancel. The console kind of launcher shows nothing either:
// it writes the message, the download address and the places searched to standard
// error, and the result is false.
bool RunJreNotFoundDialog(const LauncherSettings& settings, JreDialogChoice& choice);

// The text that tells the user which runtime to install: the server-JVM wording for
// `JVM Type` "server", with the phrase for the configured version range.
std::wstring JreNotFoundMessage(const LauncherSettings& settings);

// The modal dialog of template IDD_JRE_NOT_FOUND. OK is enabled only while the last
// folder browsed to holds a JVM library of the wanted type.
class CJreNotFoundDlg {
public:
    static constexpr INT_PTR kResultOk = 1;
    static constexpr INT_PTR kResultCancel = 2;

    CJreNotFoundDlg(std::wstring message, JvmType jvmType);

    // Runs the dialog; kResultOk, kResultCancel, or -1/0 when it cannot be created.
    INT_PTR DoModal(HWND owner);
    // Asks for a folder and looks for a JVM library in it; a cancelled picker changes nothing.
    void Browse();

    const std::wstring& folder() const noexcept { return folder_; }
    const std::wstring& jvmPath() const noexcept { return jvmPath_; }

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog();
    void OnCommand(int id);

    HWND dialog_ = nullptr;
    std::wstring message_;
    JvmType jvmType_;
    std::wstring folder_;
    std::wstring jvmPath_;
    CHyperLink link_;
};

}  // namespace orvo
