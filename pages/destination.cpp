// The Destination page: shows the destination directory, changes it through the Browse
// dialog, and lets Next through only for a destination that can be used.
#include "pages/pages.h"
#include "base/globals.h"
#include "base/loadtext.h"
#include "res/ids.h"

// Process-wide: the Destination page tells the Installing page, which runs after it.
int g_destinationCreated;

namespace {

void Next(HWND page)
{
    // The result stays Next while the page remains open after a refused destination.
    g_pageResult = kResultNext;
    GetDlgItemTextA(page, IDC_DEST_LABEL, g_destDir, kPathRoom);
    const int message = CheckDestination(g_destDir, g_minimumSpace, &g_destinationCreated);
    if (message) {
        MessageBoxA(page, LoadText(message), g_caption, MB_ICONWARNING);
        return;
    }
    PageClose(page);
}

} // namespace

LRESULT CALLBACK DestinationPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    if (PageFrameMessage(page, msg, PageFrame::Wizard))
        return 0;
    switch (msg) {
    case WM_PAGEINIT:
        FormatProductText(page, IDC_HEADING);
        SetDlgItemTextA(page, IDC_DEST_LABEL, g_destDir);
        return 0;
    case WM_COMMAND:
        switch (wp) {
        case IDC_NEXT: Next(page); return 0;
        case IDC_CANCEL: PageCancel(page); return 0;
        case IDC_BACK: PageEnd(page, kResultBack); return 0;
        case IDC_BROWSE:
            // The label follows the destination whether the dialog ended with OK or not.
            BrowseForDirectory(page);
            SetDlgItemTextA(page, IDC_DEST_LABEL, g_destDir);
            return 0;
        }
        break;
    }
    return PageDefault(page, msg, wp, lp);
}
