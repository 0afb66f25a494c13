#include "e2e.h"

std::string Script(const char* product, const char* extraMain)
{
    return std::string("[Main]\r\nProductName=") + product + "\r\nDefaultPath=" + kDest + "\r\n" + extraMain +
           "[Startup]\r\nFileName=VWHEEL.EXE\r\nControlPanel=VWCPL.DLL\r\n";
}

HWND E2ETest::StartAtWelcome(const std::string& script, const char* relay, const char* args)
{
    if (!Start(script.c_str(), relay, args))
        return nullptr;
    HWND w = WaitPage(run, kWelcome);
    EXPECT_TRUE(w) << "no Welcome page";
    return w;
}

HWND E2ETest::Go(HWND page, int button, const char* cls)
{
    if (!page)
        return nullptr;
    EXPECT_TRUE(PressAndLeave(page, button)) << ClassOf(page) << " stayed after button " << button;
    HWND next = WaitPage(run, cls);
    EXPECT_TRUE(next) << "no " << cls << " page";
    return next;
}

HWND E2ETest::WelcomeToDestination(HWND welcome, bool custom)
{
    HWND type = Go(welcome, IDC_NEXT, kSetupType);
    if (!type)
        return nullptr;
    if (!custom)
        return Go(type, IDC_NEXT, kDestination);
    EXPECT_TRUE(Click(type, IDC_CUSTOM));
    return Go(Go(type, IDC_NEXT, kComponents), IDC_NEXT, kDestination);
}

HWND E2ETest::WelcomeToFinish(HWND welcome)
{
    // Straight on to the Finish page, which comes only after the Installing page: with
    // nothing to copy that page stays a second, which a test thread held off the
    // processor on a loaded machine can miss (the walkthrough tests look at it).
    HWND d = WelcomeToDestination(welcome, false);
    if (!d)
        return nullptr;
    EXPECT_TRUE(PressAndLeave(d, IDC_NEXT)) << "the Destination page stayed after Next";
    HWND f = WaitPage(run, kFinish);
    EXPECT_TRUE(f) << "no " << kFinish << " page";
    return f;
}

void E2ETest::FinishAndEnd(HWND finish, bool restart)
{
    ASSERT_TRUE(finish);
    ASSERT_TRUE(Click(finish, restart ? IDC_RESTART_YES : IDC_RESTART_NO));
    ASSERT_TRUE(PressAndLeave(finish, IDC_NEXT));
    EXPECT_EQ(0u, End());
}

void ExpectPagePlaced(HWND page, const char* product)
{
    ASSERT_TRUE(page);
    EXPECT_EQ(std::string(product) + " Setup", Text(page));
    static SIZE tmpl = TemplateWindowSize(280, 183);
    ASSERT_GT(tmpl.cx, 0);
    const int width = tmpl.cx + 1, height = tmpl.cy + 1;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    RECT rc = Rect(page);
    EXPECT_EQ(x, rc.left) << ClassOf(page);
    EXPECT_EQ(y, rc.top) << ClassOf(page);
    EXPECT_EQ(width, rc.right - rc.left) << ClassOf(page);
    EXPECT_EQ(height, rc.bottom - rc.top) << ClassOf(page);
}

std::string E2ETest::AnswerFilesNotInstalled(HWND installing, const char* product, DWORD timeoutMs)
{
    HWND box = WaitBox(run, installing, timeoutMs);
    EXPECT_TRUE(box) << "no list of the files not installed, owned by the Installing page";
    if (!box)
        return "";
    const std::string list = BoxText(box);
    EXPECT_EQ(std::string(product) + " Setup Program", Text(box));
    EXPECT_TRUE(PressOk(box));
    box = WaitBox(run, installing);
    EXPECT_TRUE(box) << "no not-completed warning after the list";
    if (box) {
        EXPECT_EQ(std::string(product) + " installation is not completed !", BoxText(box));
        EXPECT_TRUE(PressOk(box));
    }
    EXPECT_EQ(0u, End());
    EXPECT_FALSE(FindRunWindow(run, kFinish)) << "files missing, yet the Finish page";
    return list;
}

bool DestinationCreated(const std::string& dest)
{
    return DirExists(dest.c_str()) || DirExists((dest + ".~zd").c_str());
}
