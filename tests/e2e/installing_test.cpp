// The Installing page as a page of the wizard: its Cancel and Escape, and Enter, which
// it ignores while it copies. Its plan here is a long run of records left empty by
// missing disk lines: each is visited (status, percentage, bar) but nothing can be
// opened, so nothing is copied, the copy lasts long enough to be interrupted, and every
// file is one that could not be installed.
#include "e2e.h"

namespace {

class Installing : public E2ETest {
protected:
    HWND StartCopying(const char* relay = nullptr)
    {
        const std::string disks = "[DiskLabel]\r\nDisk1=Disk 1\r\n[FileCounts]\r\nDisk1=3000\r\n";
        HWND d = WelcomeToDestination(StartAtWelcome(Script() + disks, relay), false);
        if (!d)
            return nullptr;
        HWND i = Go(d, IDC_NEXT, kInstalling);
        EXPECT_TRUE(i);
        if (i) {
            EXPECT_EQ(0u, ItemText(i, IDC_STATUS).find("Copying ")) << "not copying: " << ItemText(i, IDC_STATUS);
        }
        return i;
    }

    // The copy of `i` stopped before its end: the not-completed warning owned by the
    // page, no Finish page, nothing registered, the destination this run created gone,
    // and the restart never reached.
    void ExpectCancelled(HWND i)
    {
        HWND box = WaitBox(run, i, 30000);
        ASSERT_TRUE(box) << "no warning owned by the Installing page";
        EXPECT_EQ("Velan Setup Program", Text(box));
        EXPECT_EQ("Velan installation is not completed !", BoxText(box));
        EXPECT_NE("100%", ItemText(i, IDC_PERCENT)) << "the copy ran to its end";
        ASSERT_TRUE(PressOk(box));
        EXPECT_EQ(0u, End());
        EXPECT_FALSE(FindRunWindow(run, kFinish));
        EXPECT_FALSE(RegistrationPresent());
        EXPECT_FALSE(DirExists(kDest));
        if (TraceAvailable()) {
            EXPECT_TRUE(TraceLines(TakeTrace(&run), "Call user32.ExitWindowsEx(").empty());
        }
    }
};

} // namespace

TEST_F(Installing, CancelStopsTheCopyWarnsAndEndsWithoutFinish)
{
    HWND i = StartCopying(TraceAvailable() ? "user32.ExitWindowsEx" : nullptr);
    ASSERT_TRUE(i);
    MaybeScreenshot("08-installing-copy");
    ASSERT_TRUE(Press(i, IDC_INSTALL_CANCEL));
    ExpectCancelled(i);
}

// Escape, a real key, cancels the copy as the button does.
TEST_F(Installing, EscapeCancelsTheCopyLikeTheButton)
{
    HWND i = StartCopying(TraceAvailable() ? "user32.ExitWindowsEx" : nullptr);
    ASSERT_TRUE(i);
    ASSERT_TRUE(RealKey(VK_ESCAPE));
    ExpectCancelled(i);
}

// Enter reaches the page while it copies, but does not press its button 1 (Cancel): the
// keys are handled between files, without the dialog keyboard.
TEST_F(Installing, EnterDuringTheCopyDoesNothing)
{
    HWND i = StartCopying();
    ASSERT_TRUE(i);
    ASSERT_TRUE(RealKey(VK_RETURN));
    ASSERT_TRUE(Key(i, VK_RETURN));
    // Each step takes one message; once the percentage has moved on, the keys were taken.
    const std::string first = ItemText(i, IDC_PERCENT);
    std::string now = first;
    for (DWORD start = GetTickCount(); now == first && GetTickCount() - start < 10000; Pump(50))
        now = ItemText(i, IDC_PERCENT);
    ASSERT_NE(first, now) << "the copy does not move on";
    EXPECT_EQ(0u, ItemText(i, IDC_STATUS).find("Copying ")) << "the keys were not taken during the copy";
    // A copy that ran to its end names the files it could not install: ten, then how
    // many more; a cancelled one would only say that the installation is not completed.
    const std::string text = AnswerFilesNotInstalled(i, "Velan", 120000);
    EXPECT_EQ(0u, text.find("These files could not be installed:\n\nDisk1 line 1: no usable line in SETUP.INF\n"))
        << "Enter cancelled the installation: " << text;
    EXPECT_NE(std::string::npos, text.find("\nDisk1 line 10: no usable line in SETUP.INF\nand 2990 more")) << text;
}
