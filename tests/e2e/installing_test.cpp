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
        if (!i)
            return nullptr;
        // The page is up a moment before its copy begins: a loaded machine makes that
        // moment long.
        std::string status = ItemText(i, IDC_STATUS);
        for (DWORD start = GetTickCount(); status.find("Copying ") != 0 && IsWindow(i) &&
                                           GetTickCount() - start < kWaitLimit; Pump(10))
            status = ItemText(i, IDC_STATUS);
        EXPECT_EQ(0u, status.find("Copying ")) << "not copying: " << status;
        return i;
    }
};

} // namespace

TEST_F(Installing, CancelStopsTheCopyWarnsAndEndsWithoutFinish)
{
    HWND i = StartCopying(TraceAvailable() ? "user32.ExitWindowsEx" : nullptr);
    ASSERT_TRUE(i);
    MaybeScreenshot("08-installing-copy");
    const std::string before = ItemText(i, IDC_PERCENT);
    ASSERT_TRUE(Press(i, IDC_INSTALL_CANCEL));
    HWND box = WaitBox(run, i);
    ASSERT_TRUE(box) << "no warning owned by the Installing page";
    EXPECT_EQ("Velan Setup Program", Text(box));
    EXPECT_EQ("Velan installation is not completed !", BoxText(box));
    EXPECT_NE("100%", ItemText(i, IDC_PERCENT)) << "the copy ran to its end";
    ASSERT_TRUE(PressOk(box));
    EXPECT_EQ(0u, End());
    EXPECT_FALSE(FindRunWindow(run, kFinish));
    // Nothing is registered after a Cancel, the destination this run created is gone,
    // and the restart is never reached.
    EXPECT_FALSE(RegistrationPresent());
    EXPECT_FALSE(DirExists(kDest));
    if (TraceAvailable()) {
        EXPECT_TRUE(TraceLines(TakeTrace(&run), "Call user32.ExitWindowsEx(").empty());
    }
}

// Enter reaches the page while it copies but does not press its button 1 (Cancel): the
// keys are handled between files, without the dialog keyboard. Escape cancels.
TEST_F(Installing, EnterDuringTheCopyDoesNothingEscapeCancels)
{
    HWND i = StartCopying();
    ASSERT_TRUE(i);
    ASSERT_TRUE(RealKey(VK_RETURN));
    ASSERT_TRUE(Key(i, VK_RETURN));
    // Each step takes one message; once the percentage has moved on, the keys were taken.
    const std::string first = ItemText(i, IDC_PERCENT);
    std::string now = first;
    for (DWORD start = GetTickCount(); now == first && IsWindow(i) && GetTickCount() - start < kWaitLimit; Pump(50))
        now = ItemText(i, IDC_PERCENT);
    ASSERT_NE(first, now) << "the copy does not move on";
    EXPECT_EQ(0u, ItemText(i, IDC_STATUS).find("Copying ")) << "the keys were not taken during the copy";
    // A copy that ran to its end would name the files it could not install first.
    ASSERT_TRUE(RealKey(VK_ESCAPE));
    HWND box = WaitBox(run, i, kWaitLimit);
    ASSERT_TRUE(box);
    EXPECT_EQ("Velan installation is not completed !", BoxText(box));
    ASSERT_TRUE(PressOk(box));
    EXPECT_EQ(0u, End());
    EXPECT_FALSE(RegistrationPresent());
    EXPECT_FALSE(DirExists(kDest));
}

// Cancel in the middle of one large file acts within a second: the copy stops between
// two of its chunks, and nothing of it stays.
TEST_F(Installing, CancelDuringALargeFileActsAtOnce)
{
    const std::string disks = "[DiskLabel]\r\nDisk1=Disk 1\r\n[FileCounts]\r\nDisk1=1\r\n[Disk1]\r\n"
                              "1=BIG.BIN,BIG.BIN,A large file,RootDir\r\n";
    HWND w = StartAtWelcome(Script() + disks);
    ASSERT_TRUE(w);
    // A gigabyte that costs no disk to make: a sparse file reads as zeros.
    HANDLE big = CreateFileA((std::string(kMediumDir) + "\\BIG.BIN").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, big);
    LONG high = 0;
    SetFilePointer(big, 0x40000000, &high, FILE_BEGIN);
    ASSERT_TRUE(SetEndOfFile(big));
    CloseHandle(big);
    HWND i = Go(WelcomeToDestination(w, false), IDC_NEXT, kInstalling);
    ASSERT_TRUE(i);
    for (DWORD start = GetTickCount(); ItemText(i, IDC_STATUS).find("BIG.BIN") == std::string::npos &&
                                       GetTickCount() - start < kWaitLimit;)
        Pump(20);
    ASSERT_NE(std::string::npos, ItemText(i, IDC_STATUS).find("BIG.BIN"));
    const DWORD pressed = GetTickCount();
    ASSERT_TRUE(Press(i, IDC_INSTALL_CANCEL));
    HWND box = WaitBox(run, i, kWaitLimit);
    const DWORD took = GetTickCount() - pressed;
    ASSERT_TRUE(box);
    EXPECT_EQ("Velan installation is not completed !", BoxText(box)) << "the copy ran to its end";
    EXPECT_LT(took, 1000u) << "Cancel waited for the file";
    ASSERT_TRUE(PressOk(box));
    EXPECT_EQ(0u, End());
    EXPECT_FALSE(DirExists(kDest));
    DeleteFileA((std::string(kMediumDir) + "\\BIG.BIN").c_str());
}
