// The Components page (Custom setup only): one check box per component flag. The two
// hidden boxes carry their flags through unchanged.
#include "pages/pages.h"
#include "base/globals.h"
#include "res/ids.h"

namespace {

void ReadBoxes(HWND page)
{
    for (int i = 0; i < kComponentCount; ++i)
        g_options[kOptMouseDriver + i] = IsDlgButtonChecked(page, IDC_COMPONENT0 + i) ? 1 : 0;
}

} // namespace

LRESULT CALLBACK ComponentsPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    if (PageFrameMessage(page, msg, PageFrame::Wizard))
        return 0;
    switch (msg) {
    case WM_PAGEINIT:
        for (int i = 0; i < kComponentCount; ++i)
            CheckDlgButton(page, IDC_COMPONENT0 + i, g_options[kOptMouseDriver + i] ? BST_CHECKED : BST_UNCHECKED);
        return 0;
    case WM_COMMAND:
        switch (wp) {
        case IDC_NEXT: ReadBoxes(page); PageEnd(page, kResultNext); return 0;
        case IDC_CANCEL: PageCancel(page); return 0;
        case IDC_BACK: ReadBoxes(page); PageEnd(page, kResultBack); return 0;
        }
        break;
    }
    return PageDefault(page, msg, wp, lp);
}
