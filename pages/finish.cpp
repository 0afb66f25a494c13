// The Finish page: asks whether to restart now; the answer goes to the restart flag,
// which start-up acts on after the page. It has neither Cancel nor Back and writes no
// page result.
#include "pages/pages.h"
#include "base/globals.h"
#include "res/ids.h"

LRESULT CALLBACK FinishPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    // The screen size as it is now, not as start-up took it.
    if (PageFrameMessage(page, msg, PageFrame::Finish))
        return 0;
    switch (msg) {
    case WM_PAGEINIT:
        FormatProductText(page, IDC_HEADING);
        CheckDlgButton(page, g_options[kOptRestart] ? IDC_RESTART_YES : IDC_RESTART_NO, BST_CHECKED);
        return 0;
    case WM_COMMAND:
        // Escape's command 2 has nothing to act on here.
        if (wp == IDC_FINISH) {
            if (IsDlgButtonChecked(page, IDC_RESTART_NO))
                g_options[kOptRestart] = 0;
            PageClose(page);
            return 0;
        }
        break;
    }
    return PageDefault(page, msg, wp, lp);
}
