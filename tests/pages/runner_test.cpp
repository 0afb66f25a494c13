// The page runner with real templates and a page procedure of the test's own.
#include "pages/pages.h"
#include "base/globals.h"
#include "base/text.h"
#include "res/ids.h"
#include <gtest/gtest.h>
#include <string>

namespace {

// What the test page does at page-init, and what it saw.
void (*g_onInit)(HWND page);
RECT g_before, g_after;
char g_title[kTextRoom];

LRESULT CALLBACK TestPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE:
        GetWindowRect(page, &g_before);
        PageCreate(page, g_screenWidth, g_screenHeight);
        GetWindowRect(page, &g_after);
        GetWindowTextA(page, g_title, sizeof g_title);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAGEINIT:
        g_onInit(page);
        return 0;
    }
    return DefWindowProcA(page, msg, wp, lp);
}

class Runner : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_instance = GetModuleHandleA(nullptr);
        g_screenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
        g_screenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
        g_backdrop = nullptr;
        TextCopy(g_productName, "Velan");
    }
    void TearDown() override { g_backdrop = nullptr; }
};

TEST_F(Runner, PageIsTitledCentredOnePixelLargerAndReturnsItsResult)
{
    const std::string longName(71, 'N');
    TextCopy(g_productName, longName.c_str());
    g_pageResult = kResultNext;
    g_onInit = [](HWND page) { PageEnd(page, kResultBack); };
    // The second showing registers the class again, which fails and changes nothing.
    for (int showing = 0; showing < 2; ++showing) {
        EXPECT_EQ(kResultBack, RunPage("SETUP_BEGIN", TestPageProc, IDD_WELCOME));
        EXPECT_EQ(longName + " Setup", g_title);
        const int width = g_after.right - g_after.left, height = g_after.bottom - g_after.top;
        EXPECT_EQ(g_before.right - g_before.left + 1, width);
        EXPECT_EQ(g_before.bottom - g_before.top + 1, height);
        EXPECT_EQ((g_screenWidth - width) / 2, g_after.left);
        EXPECT_EQ((g_screenHeight - height) / 2, g_after.top);
        g_pageResult = kResultNext;
    }
}

TEST_F(Runner, PageClosedWithoutAButtonLeavesThePreviousResult)
{
    g_pageResult = kResultNext;
    g_onInit = [](HWND page) { SendMessageA(page, WM_CLOSE, 0, 0); };
    EXPECT_EQ(kResultNext, RunPage("SETUP_SELTYPE", TestPageProc, IDD_SETUPTYPE));
}

TEST_F(Runner, PageThatCannotBeCreatedDoesNotHang)
{
    g_pageResult = kResultNext;
    EXPECT_EQ(kResultNoPage, RunPage("SETUP_NONE", TestPageProc, 999));
    EXPECT_EQ(kResultNext, g_pageResult);
}

TEST_F(Runner, OwnerDestroyedUnderThePageIsNoAnswer)
{
    g_backdrop = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, g_instance, nullptr);
    ASSERT_TRUE(g_backdrop);
    g_pageResult = kResultNext; // left by the page before; must not carry the user on
    g_onInit = [](HWND) { PostMessageA(g_backdrop, WM_CLOSE, 0, 0); };
    EXPECT_EQ(kResultNoPage, RunPage("SETUP_SELCOMP", TestPageProc, IDD_COMPONENTS));
    EXPECT_FALSE(IsWindow(g_backdrop));
}

TEST_F(Runner, ProductNameGoesIntoTheTemplateTextAsAnArgument)
{
    static std::string seen;
    g_onInit = [](HWND page) {
        FormatProductText(page, IDC_WELCOME_TEXT);
        char text[kTextRoom];
        GetDlgItemTextA(page, IDC_WELCOME_TEXT, text, sizeof text);
        seen = text;
        PageEnd(page, kResultNext);
    };
    std::string name = "100%s %d%";
    name += std::string(71 - name.size(), 'x');
    TextCopy(g_productName, name.c_str());
    RunPage("SETUP_BEGIN", TestPageProc, IDD_WELCOME);
    EXPECT_EQ("This program will install " + name + " into your computer.", seen);
}

} // namespace
