// The Browse dialog: the old-style Open dialog, with template 104 and a hook, used as a
// directory chooser. The hidden file-name edit holds a stand-in name so that OK ends
// the dialog; the path the user accepts is the text of the path edit.
#include "pages/pages.h"
#include "base/globals.h"
#include "base/text.h"
#include "base/loadtext.h"
#include "res/ids.h"
#include <commdlg.h>
#include <direct.h>
#include <stddef.h>

namespace {

// The path the dialog shows in its path edit; becomes the destination on OK. Shared with
// the dialog's hook procedure, which has no other way in.
char s_browsePath[kPathRoom];

// Sent to the dialog by the hook, after the common dialog's own handling is done.
constexpr UINT WM_BROWSE_INIT = WM_PAGEINIT;
constexpr UINT WM_BROWSE_REFRESH = WM_USER + 101;

// The template's title. Some implementations of the dialog take the caption only from
// the request's title, so it is passed there as well.
const char kBrowseTitle[] = "Browse Directory";

UINT_PTR CALLBACK BrowseHook(HWND dlg, UINT msg, WPARAM wp, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        TextCopy(s_browsePath, g_destDir);
        PostMessageA(dlg, WM_BROWSE_INIT, 0, 0);
        break;
    case WM_BROWSE_INIT: {
        SetDlgItemTextA(dlg, IDC_DEST_LABEL, s_browsePath);
        HWND edit = GetDlgItem(dlg, IDC_DEST_LABEL);
        // What can be typed or pasted is what the destination holds: nothing is cut.
        SendMessageA(edit, EM_LIMITTEXT, kPathRoom - 1, 0);
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, (LPARAM)0xFFFF0000);
        break;
    }
    case WM_COMMAND: {
        const WORD id = LOWORD(wp), code = HIWORD(wp);
        if (id == IDOK) {
            // A longer text can still arrive from another program: it is refused, as a
            // directory that cannot be created, and the dialog stays open.
            if (GetWindowTextLengthA(GetDlgItem(dlg, IDC_DEST_LABEL)) > kPathRoom - 1) {
                MessageBoxA(dlg, LoadText(IDS_CANNOT_CREATE), g_caption, MB_ICONWARNING);
                return 1; // the dialog does not act on this OK
            }
            GetDlgItemTextA(dlg, IDC_DEST_LABEL, s_browsePath, kPathRoom);
        } else if ((id == IDC_OFN_DIRLIST && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) ||
                 (id == IDC_OFN_DRIVES && code == CBN_SELCHANGE))
            PostMessageA(dlg, WM_BROWSE_REFRESH, 0, 0); // runs once the dialog has moved
        break;
    }
    case WM_BROWSE_REFRESH: {
        // The dialog makes a chosen directory or drive the current directory. One that
        // does not fit the path's room leaves the previous path in place.
        char current[kPathRoom];
        if (_getcwd(current, kPathRoom))
            TextCopy(s_browsePath, current);
        SetDlgItemTextA(dlg, IDC_DEST_LABEL, s_browsePath);
        break;
    }
    }
    return 0;
}

} // namespace

// The request without its later fields, so that every version of the dialog takes it.
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == 76, "76-byte request");

void BrowseForDirectory(HWND owner)
{
    char file[256] = "12345678.ABC";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = owner;
    ofn.hInstance = g_instance;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = "C:\\";
    ofn.lpstrTitle = kBrowseTitle;
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_NOVALIDATE;
    ofn.lpfnHook = BrowseHook;
    ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_BROWSE);
    if (GetOpenFileNameA(&ofn))
        TextCopy(g_destDir, s_browsePath);
}
