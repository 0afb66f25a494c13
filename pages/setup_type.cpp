// The Setup-type page: Typical or Custom. The choice takes effect the moment a radio
// button is clicked, so Back keeps it as well as Next.
#include "pages/pages.h"
#include "base/globals.h"
#include "res/ids.h"

LRESULT CALLBACK SetupTypePageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    if (PageFrameMessage(page, msg, PageFrame::Wizard))
        return 0;
    switch (msg) {
    case WM_PAGEINIT:
        CheckRadioButton(page, IDC_TYPICAL, IDC_CUSTOM, g_setupType ? IDC_TYPICAL : IDC_CUSTOM);
        return 0;
    case WM_COMMAND:
        switch (wp) {
        case IDC_NEXT: PageEnd(page, kResultNext); return 0;
        case IDC_CANCEL: PageCancel(page); return 0;
        case IDC_BACK: PageEnd(page, kResultBack); return 0;
        // The automatic radio buttons move the check mark themselves.
        case IDC_TYPICAL: g_setupType = 1; break;
        case IDC_CUSTOM: g_setupType = 0; break;
        }
        break;
    }
    return PageDefault(page, msg, wp, lp);
}
