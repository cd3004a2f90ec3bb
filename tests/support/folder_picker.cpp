#include "support/folder_picker.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/remote_memory.h"
#include "support/ui_automation.h"
#include "support/window_snapshot.h"

namespace orvo::test {
namespace {

// Only a bound for a hung picker: each message returns once the picker has done its
// work, which on a busy machine may take long.
constexpr UINT kSelectTimeoutMs = 60000;

struct OwnedDialogSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<OwnedDialogSearch*>(context);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (GetWindow(window, GW_OWNER) != search->owner || !IsWindowVisible(window) ||
        lstrcmpW(className, L"#32770") != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

HTREEITEM TreeItem(HWND tree, UINT relation, HTREEITEM item = nullptr) {
    return reinterpret_cast<HTREEITEM>(
        SendWithTimeout(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// The item's label, read through memory of the tree's process.
std::wstring TreeItemText(HWND tree, HTREEITEM item) {
    constexpr std::size_t kTextChars = 520;
    RemoteMemory remote(tree, sizeof(TVITEMW) + kTextChars * sizeof(wchar_t));
    TVITEMW request{};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText = static_cast<wchar_t*>(remote.At(sizeof(TVITEMW)));
    request.cchTextMax = kTextChars;
    remote.Write(0, &request, sizeof(request));
    if (!SendWithTimeout(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.At(0)))) return {};
    std::wstring text(kTextChars, L'\0');
    remote.Read(sizeof(TVITEMW), text.data(), kTextChars * sizeof(wchar_t));
    text.resize(std::wstring_view(text.c_str()).size());
    return text;
}

std::vector<HTREEITEM> Children(HWND tree, HTREEITEM item) {
    std::vector<HTREEITEM> children;
    for (HTREEITEM child = TreeItem(tree, TVGN_CHILD, item); child; child = TreeItem(tree, TVGN_NEXT, child))
        children.push_back(child);
    return children;
}

// The picker lists a folder's children while it handles the expansion, so they are
// all there when the message returns: no waiting, whatever the machine's load.
void Expand(HWND tree, HTREEITEM item) {
    SendWithTimeout(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item), kSelectTimeoutMs);
}

// The first child whose label passes `wanted`; every label looked at is added to `seen`.
template <typename Wanted>
HTREEITEM ChildWhere(HWND tree, HTREEITEM parent, Wanted wanted, std::wstring& seen) {
    Expand(tree, parent);
    for (HTREEITEM child : Children(tree, parent)) {
        const std::wstring label = TreeItemText(tree, child);
        seen += L" [" + label + L"]";
        if (wanted(label)) return child;
    }
    return nullptr;
}

// The drive's item, labelled "... (Z:)", one or two levels below the tree's top
// (under "My Computer" or its like, whose name differs between systems).
HTREEITEM DriveItem(HWND tree, const std::wstring& drive, std::wstring& seen) {
    const std::wstring marker = L"(" + drive + L")";
    auto isDrive = [&](const std::wstring& label) { return label.find(marker) != std::wstring::npos; };
    for (HTREEITEM top = TreeItem(tree, TVGN_ROOT); top; top = TreeItem(tree, TVGN_NEXT, top)) {
        if (HTREEITEM found = ChildWhere(tree, top, isDrive, seen)) return found;
        for (HTREEITEM child : Children(tree, top)) {
            if (HTREEITEM found = ChildWhere(tree, child, isDrive, seen)) return found;
        }
    }
    return nullptr;
}

std::vector<std::wstring> PathParts(const std::wstring& path) {
    std::vector<std::wstring> parts;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = std::min(path.find(L'\\', start), path.size());
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

HWND WaitForFolderPicker(HWND owner, DWORD timeoutMs) {
    OwnedDialogSearch search{owner, nullptr};
    for (ULONGLONG deadline = GetTickCount64() + timeoutMs; GetTickCount64() < deadline; Sleep(50)) {
        EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found && WaitUntilIdle(search.found, kSelectTimeoutMs)) return search.found;
    }
    return nullptr;
}

bool SelectFolderInPicker(HWND picker, const std::wstring& folder) {
    HWND tree = FindWindowExW(picker, nullptr, WC_TREEVIEWW, nullptr);
    if (!tree) {
        ADD_FAILURE() << "the folder picker has no tree:\n" << DescribeWindow(ReadWindow(picker));
        return false;
    }
    const std::vector<std::wstring> parts = PathParts(folder);
    std::wstring seen;
    HTREEITEM item = DriveItem(tree, parts.front(), seen);
    if (!item) {
        ADD_FAILURE() << "the picker lists no drive " << parts.front() << "; items seen:" << seen;
        return false;
    }
    for (std::size_t i = 1; i < parts.size(); ++i) {
        seen.clear();
        item = ChildWhere(tree, item, [&](const std::wstring& label) { return SameName(label, parts[i]); }, seen);
        if (!item) {
            ADD_FAILURE() << "the picker shows no folder " << parts[i] << " on the way to " << folder
                          << "; items there:" << seen;
            return false;
        }
    }
    SendWithTimeout(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item), kSelectTimeoutMs);
    if (TreeItem(tree, TVGN_CARET) == item) return true;
    ADD_FAILURE() << "the picker did not take " << folder << " as its selection";
    return false;
}

bool WaitUntilClosed(HWND window, DWORD timeoutMs) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(50);
    }
    return true;
}

}  // namespace orvo::test
