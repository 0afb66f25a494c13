// The Destination page's checks on Next and its Browse dialog, worked as a user would:
// a path typed into the Browse dialog's edit, OK, then Next.
#include "e2e.h"

namespace {

const char kCannotCreate[] = "Can not create directory !\nThe specified directory is either invalid or disk drive "
                             "is write protected.";
const char kNoSpace[] = "There is no enough free space in the specified disk drive !";
const char kTooLong[] = "The destination directory is too long for this package !\nEvery installed file's path must "
                        "fit in 79 characters.";

class Destination : public E2ETest {
protected:
    HWND OpenBrowse(HWND d)
    {
        EXPECT_TRUE(Press(d, IDC_BROWSE));
        HWND b = WaitBrowse(run, d);
        EXPECT_TRUE(b) << "no Browse dialog owned by the page";
        return b;
    }

    // Types `path` into the Browse dialog, accepts it, and checks the label shows it.
    void BrowseTo(HWND d, const char* path)
    {
        HWND b = OpenBrowse(d);
        ASSERT_TRUE(b);
        ASSERT_TRUE(SetItemText(b, IDC_DEST_LABEL, path));
        ASSERT_TRUE(EndBrowse(b, IDOK));
        ASSERT_TRUE(Settle(d));
        EXPECT_EQ(path, ItemText(d, IDC_DEST_LABEL));
    }

    // Next is refused with `message`; the page stays for another try.
    void ExpectRefused(HWND d, const char* message, const char* what)
    {
        ASSERT_TRUE(Press(d, IDC_NEXT));
        HWND box = WaitBox(run, d);
        ASSERT_TRUE(box) << "no message for " << what;
        EXPECT_EQ("Velan Setup Program", Text(box)) << what;
        EXPECT_EQ(message, BoxText(box)) << what;
        ASSERT_TRUE(PressOk(box));
        ASSERT_TRUE(Settle(d)) << "the page went after refusing " << what;
        EXPECT_TRUE(IsWindowVisible(d));
    }

    // Next is accepted: the Installing page follows.
    void ExpectAccepted(HWND d, const char* what)
    {
        ASSERT_TRUE(Press(d, IDC_NEXT));
        EXPECT_TRUE(WaitGone(d)) << what << " refused";
        EXPECT_TRUE(WaitPage(run, kInstalling)) << what;
    }

    HWND AtDestination(const std::string& script, const char* relay = nullptr)
    {
        return WelcomeToDestination(StartAtWelcome(script, relay), false);
    }
};

} // namespace

TEST_F(Destination, UnusablePathsAreRefusedWithMessage33)
{
    HWND d = AtDestination(Script());
    ASSERT_TRUE(d);
    struct {
        const char* path;
        const char* what;
    } cases[] = {
        {"C:\\e2e\\MISSING\\VELAN", "a path whose parent is missing"},
        {"e2e\\VELAN", "a relative path"},
        {"\\\\server\\share\\VELAN", "a network path"},
        {"C:", "a drive without a backslash"},
        {"", "an empty path"},
    };
    for (const auto& c : cases) {
        BrowseTo(d, c.path);
        ExpectRefused(d, kCannotCreate, c.what);
    }
    EXPECT_FALSE(DirExists("C:\\e2e\\MISSING"));
    EXPECT_FALSE(DirExists(kDest));

    // The page is still usable after any number of refusals.
    BrowseTo(d, kDest);
    ExpectAccepted(d, kDest);
    EXPECT_TRUE(DestinationCreated(kDest));
}

// "<destination>\DOCS\LICENSE.TXT" must fit the 79 characters of a path: a destination
// of 63 characters leaves it one too long, and is refused before anything is created.
TEST_F(Destination, DestinationTooLongForThePackageIsRefused)
{
    HWND d = AtDestination(Script() + "[DiskLabel]\r\nDisk1=One\r\n[DirectoryName]\r\nSubDir1=DOCS\r\n"
                                      "[FileCounts]\r\nDisk1=1\r\n[Disk1]\r\n1=LICENSE.TXT, LICENSE.TXT, Licence, SubDir1\r\n");
    ASSERT_TRUE(d);
    const std::string tooLong = "C:\\e2e\\" + std::string(56, 'L');
    ASSERT_EQ(63u, tooLong.size());
    BrowseTo(d, tooLong.c_str());
    ExpectRefused(d, kTooLong, "a destination too long for the package");
    EXPECT_FALSE(DirExists(tooLong.c_str()));
}

// The free space is asked of the upper-case root, while the destination keeps the
// letter as typed, as the calls setup.exe made show.
TEST_F(Destination, LowerCaseDriveLetterIsCheckedOnItsUpperCaseRoot)
{
    HWND d = AtDestination(Script(), "kernel32.GetDiskFreeSpaceA;kernel32.CreateDirectoryA");
    ASSERT_TRUE(d);
    BrowseTo(d, "c:\\e2e\\lower");
    ExpectAccepted(d, "c:\\e2e\\lower");
    EXPECT_TRUE(DestinationCreated("C:\\e2e\\lower"));
    HWND f = WaitPage(run, kFinish);
    FinishAndEnd(f, false);
    if (!TraceAvailable())
        GTEST_SKIP() << "no trace log: the calls cannot be checked";
    const std::string& trace = TakeTrace(&run);
    auto space = TraceLines(trace, "Call KERNEL32.GetDiskFreeSpaceA(");
    ASSERT_EQ(1u, space.size()) << TraceCalls(trace);
    EXPECT_NE(std::string::npos, space[0].find("\"C:\\\\\"")) << space[0];
    auto created = TraceLines(trace, "Call KERNEL32.CreateDirectoryA(");
    ASSERT_FALSE(created.empty()) << TraceCalls(trace);
    EXPECT_NE(std::string::npos, created[0].find("\"c:\\\\e2e\\\\lower\"")) << created[0];
}

TEST_F(Destination, DriveRootPassesWithoutCreatingAnything)
{
    HWND d = AtDestination(Script(), "kernel32.CreateDirectoryA");
    ASSERT_TRUE(d);
    BrowseTo(d, "C:\\");
    ExpectAccepted(d, "C:\\");
    FinishAndEnd(WaitPage(run, kFinish), false);
    if (!TraceAvailable())
        GTEST_SKIP() << "no trace log: the calls cannot be checked";
    EXPECT_TRUE(TraceLines(TakeTrace(&run), "Call KERNEL32.CreateDirectoryA(").empty()) << TraceCalls(run.trace);
}

// Drive Q: is a small file system of known free space (see smalldrive.sh): one kilobyte
// short of the minimum is refused, exactly the minimum passes.
TEST_F(Destination, FreeSpaceBelowTheMinimumIsRefusedWithMessage34)
{
    DWORD spc, bps, freeClusters, total;
    if (!GetDiskFreeSpaceA("Q:\\", &spc, &bps, &freeClusters, &total))
        GTEST_SKIP() << "no small drive Q: (smalldrive.sh)";
    const unsigned long long freeKb = ((unsigned long long)freeClusters * bps * spc) >> 10;
    ASSERT_LT(freeKb, 1024u) << "drive Q: is not the small drive";
    ASSERT_GT(freeKb, 0u);
    const char dest[] = "Q:\\VELAN";
    RemoveTree(dest);

    std::string minimum = "MinimumSpace=" + std::to_string(freeKb + 1) + "\r\n";
    HWND d = AtDestination(Script("Velan", minimum.c_str()));
    ASSERT_TRUE(d);
    BrowseTo(d, dest);
    ExpectRefused(d, kNoSpace, "one kilobyte too few");
    EXPECT_FALSE(DirExists(dest));
    ASSERT_TRUE(Press(d, IDC_CANCEL));
    ASSERT_TRUE(PressOk(WaitBox(run, d)));
    End();

    // The script's default minimum, 1024 KB, is more than the drive has.
    d = AtDestination(Script());
    ASSERT_TRUE(d);
    BrowseTo(d, dest);
    ExpectRefused(d, kNoSpace, "the default minimum");
    ASSERT_TRUE(Press(d, IDC_CANCEL));
    ASSERT_TRUE(PressOk(WaitBox(run, d)));
    End();

    minimum = "MinimumSpace=" + std::to_string(freeKb) + "\r\n";
    d = AtDestination(Script("Velan", minimum.c_str()));
    ASSERT_TRUE(d);
    BrowseTo(d, dest);
    ExpectAccepted(d, "exactly the minimum");
    EXPECT_TRUE(DestinationCreated(dest));
    FinishAndEnd(WaitPage(run, kFinish), false);
    RemoveTree(dest);
}

TEST_F(Destination, BrowseOpensOnTheDestinationAndCancelKeepsIt)
{
    HWND d = AtDestination(Script());
    ASSERT_TRUE(d);
    HWND b = OpenBrowse(d);
    ASSERT_TRUE(b);
    MaybeScreenshot("07-browse");
    EXPECT_EQ("Browse Directory", Text(b));
    EXPECT_EQ(kDest, ItemText(b, IDC_DEST_LABEL));
    HWND edit = GetDlgItem(b, IDC_DEST_LABEL);
    EXPECT_EQ(edit, FocusOf(b));
    DWORD_PTR sel = 0;
    SendMessageTimeoutA(edit, EM_GETSEL, 0, 0, SMTO_NORMAL, 5000, &sel);
    EXPECT_EQ(0u, LOWORD(sel));
    EXPECT_EQ((unsigned)lstrlenA(kDest), HIWORD(sel)) << "the path is not selected whole";
    EXPECT_EQ(0, lstrcmpiA("C:\\", ItemText(b, IDC_OFN_CURDIR).c_str())) << "lists not on C:\\";
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(b, IDC_OFN_FILENAME)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(b, IDC_OFN_FILELIST)));

    ASSERT_TRUE(SetItemText(b, IDC_DEST_LABEL, "C:\\e2e\\OTHER"));
    ASSERT_TRUE(EndBrowse(b, IDCANCEL));
    ASSERT_TRUE(Settle(d));
    EXPECT_EQ(kDest, ItemText(d, IDC_DEST_LABEL));
    ExpectAccepted(d, kDest);
    EXPECT_TRUE(DestinationCreated(kDest));
    EXPECT_FALSE(DirExists("C:\\e2e\\OTHER"));
}

// A double click in the directory list or a new drive makes the path edit follow the
// directory the dialog moved to, replacing what was typed.
TEST_F(Destination, PathEditFollowsTheListsOfTheBrowseDialog)
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    HWND d = AtDestination(Script());
    ASSERT_TRUE(d);
    HWND b = OpenBrowse(d);
    ASSERT_TRUE(b);
    ASSERT_TRUE(SetItemText(b, IDC_DEST_LABEL, "C:\\typed"));
    std::string entry = std::string("[") + (windows + 3) + "]";
    ASSERT_TRUE(DoubleClickDir(b, entry.c_str())) << "no " << entry << " in the directory list";
    std::string path;
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitLimit; Pump(20)) {
        path = ItemText(b, IDC_DEST_LABEL);
        if (path != "C:\\typed")
            break;
    }
    EXPECT_EQ(0, lstrcmpiA(windows, path.c_str())) << path;

    ASSERT_TRUE(SelectDrive(b, 'z'));
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitLimit; Pump(20)) {
        path = ItemText(b, IDC_DEST_LABEL);
        if (lstrcmpiA(windows, path.c_str()))
            break;
    }
    EXPECT_EQ(0, lstrcmpiA("Z:\\", path.substr(0, 3).c_str())) << path;

    ASSERT_TRUE(SetItemText(b, IDC_DEST_LABEL, kDest));
    ASSERT_TRUE(EndBrowse(b, IDOK));
    ASSERT_TRUE(Settle(d));
    EXPECT_EQ(kDest, ItemText(d, IDC_DEST_LABEL));
}

// Nothing typed into the path edit is ever cut: it takes no more than the destination
// holds, and a longer text put there by another program is refused on OK.
TEST_F(Destination, BrowseNeverCutsAPath)
{
    HWND d = AtDestination(Script());
    ASSERT_TRUE(d);
    HWND b = OpenBrowse(d);
    ASSERT_TRUE(b);
    EXPECT_EQ(79, SendMessageA(GetDlgItem(b, IDC_DEST_LABEL), EM_GETLIMITTEXT, 0, 0));
    const std::string longPath = "C:\\e2e\\" + std::string(90, 'L');
    ASSERT_TRUE(SetItemText(b, IDC_DEST_LABEL, longPath.c_str()));
    ASSERT_TRUE(Press(b, IDOK));
    HWND box = WaitBox(run, b);
    ASSERT_TRUE(box) << "a path longer than the destination holds was taken";
    EXPECT_EQ(0u, BoxText(box).find("Can not create directory !")) << BoxText(box);
    ASSERT_TRUE(PressOk(box));
    EXPECT_TRUE(IsWindow(b));
    ASSERT_TRUE(EndBrowse(b, IDCANCEL));
    ASSERT_TRUE(Settle(d));
    EXPECT_EQ(kDest, ItemText(d, IDC_DEST_LABEL));
    EXPECT_FALSE(DirExists(longPath.substr(0, 79).c_str()));
}
