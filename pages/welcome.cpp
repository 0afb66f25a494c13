// The Welcome page: names the product; Next or Cancel.
#include "pages/pages.h"
#include "base/globals.h"
#include "res/ids.h"

LRESULT CALLBACK WelcomePageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    if (PageFrameMessage(page, msg, PageFrame::Wizard))
        return 0;
    switch (msg) {
    case WM_PAGEINIT:
        FormatProductText(page, IDC_WELCOME_TEXT);
        return 0;
    case WM_COMMAND:
        // The whole word: only a click (notification 0) presses a button.
        if (wp == IDC_NEXT) {
            PageEnd(page, kResultNext);
            return 0;
        }
        if (wp == IDC_CANCEL) {
            PageCancel(page);
            return 0;
        }
        break;
    }
    return PageDefault(page, msg, wp, lp);
}
