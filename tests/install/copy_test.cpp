// The copy step through the real expansion service, and the progress arithmetic.
#include "engine/copy.h"
#include "engine/installation.h"
#include "engine/sweep.h"
#include "pages/pages.h"
#include "samples.h"
#include "support/files.h"
#include "res/ids.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<int> Percents(int count)
{
    std::vector<int> all;
    for (int i = 0; i < count; ++i)
        all.push_back(DiskPercent(i, count));
    return all;
}

// Compares a file with the expected content without printing either on a mismatch.
::testing::AssertionResult HasContent(const std::string& path, const std::string& expected)
{
    std::string got;
    if (!ReadFileText(path, &got))
        return ::testing::AssertionFailure() << path << " cannot be read";
    if (got != expected)
        return ::testing::AssertionFailure() << path << " holds " << got.size() << " bytes, not the "
                                             << expected.size() << " expected";
    return ::testing::AssertionSuccess();
}

// Writes a source to a file of its own as the Installing page stages it; `why` receives
// the reason of a failure.
int CopyThrough(const std::string& source, const std::string& target, int* why = nullptr)
{
    int failure = 0;
    int done = WriteWholeFile(OpenSourceFile(source.c_str(), &failure), target.c_str(), &failure);
    if (why)
        *why = failure;
    return done;
}

// The calls the copy makes between its chunks; the call numbered `stopAt` says stop.
struct Between {
    int calls = 0;
    int stopAt = 0; // never
};
int CountCall(void* context)
{
    Between* b = (Between*)context;
    return ++b->calls != b->stopAt;
}

// The same with the calls between chunks counted in `between`.
int CopyInChunks(const std::string& source, const std::string& target, Between* between, int* why)
{
    *why = 0;
    return WriteWholeFile(OpenSourceFile(source.c_str(), why), target.c_str(), why, CountCall, between);
}

FILETIME LastWritten(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// A file of `size` varied bytes at `path`, last written on 14 March 1998.
std::string WriteVaried(const std::string& path, size_t size)
{
    std::string data(size, '\0');
    unsigned x = 12345;
    for (char& c : data)
        c = (char)((x = x * 1103515245 + 12345) >> 16);
    WriteFileText(path, data);
    SYSTEMTIME then = {1998, 3, 6, 14, 12, 0, 0, 0};
    FILETIME t;
    SystemTimeToFileTime(&then, &t);
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(f, nullptr, nullptr, &t);
    CloseHandle(f);
    return data;
}

constexpr size_t kChunkBytes = 64 * 1024;

} // namespace

TEST(Progress, PercentPerDisk)
{
    EXPECT_EQ((std::vector<int>{33, 66, 100}), Percents(3));
    EXPECT_EQ((std::vector<int>{14, 28, 42, 57, 71, 85, 100}), Percents(7));
    EXPECT_EQ((std::vector<int>{100}), Percents(1));
    std::vector<int> many = Percents(150);
    EXPECT_EQ(0, many[0]); // more than 100 files: the first shows 0%
    EXPECT_EQ(1, many[1]);
    EXPECT_EQ(100, many[149]);
    EXPECT_EQ(100, DiskPercent(32766, 32767)); // largest 16-bit count: no overflow
    EXPECT_EQ(0, DiskPercent(0, 0));
}

TEST(Progress, BarInsideTheBevelBox)
{
    const RECT area = {10, 20, 110, 40};
    RECT bar;
    ProgressBarRect(&area, 100, &bar);
    EXPECT_EQ(11, bar.left);
    EXPECT_EQ(21, bar.top);
    EXPECT_EQ(108, bar.right); // full bar ends at right - 2, bottom - 3 (both excluded)
    EXPECT_EQ(37, bar.bottom);
    // A bar of 97 columns: whole columns only, rounded down, so 1% shows none yet and
    // 99% stops one column short of the full bar.
    const struct {
        int percent;
        int right;
    } kKnown[] = {{0, 11}, {1, 11}, {2, 12}, {33, 43}, {50, 59}, {99, 107}};
    for (const auto& k : kKnown) {
        ProgressBarRect(&area, k.percent, &bar);
        EXPECT_EQ(11, bar.left) << k.percent;
        EXPECT_EQ(k.right, bar.right) << k.percent;
    }
}

TEST(Copy, PlainFileCopiedByteForByte)
{
    ScratchDir dir;
    std::string data = ReadFileText(SampleDir() + "\\SAMPLE.BIN");
    ASSERT_GT(data.size(), 100000u);
    EXPECT_EQ(1, CopyThrough(SampleDir() + "\\SAMPLE.BIN", dir / "NEW.BIN"));
    EXPECT_TRUE(HasContent(dir / "NEW.BIN", data));
    EXPECT_EQ("NEW.BIN", ListDir(dir.path));
}

TEST(Copy, CompressedFileExpanded)
{
    ScratchDir dir;
    std::string packed = ReadFileText(SampleDir() + "\\SAMPLE.BI_");
    ASSERT_EQ(0u, packed.compare(0, 4, "SZDD"));
    EXPECT_EQ(1, CopyThrough(SampleDir() + "\\SAMPLE.BI_", dir / "SAMPLE.BIN"));
    EXPECT_TRUE(HasContent(dir / "SAMPLE.BIN", ReadFileText(SampleDir() + "\\SAMPLE.BIN")));
    EXPECT_EQ("SAMPLE.BIN", ListDir(dir.path));
}

// A file of many chunks, plain and compressed: byte for byte, with a call between every
// two chunks, and the source's time stamp.
TEST(Copy, LargeFilesCopiedInChunks)
{
    ScratchDir dir;
    const std::string big = WriteVaried(dir / "BIG.BIN", 128 * kChunkBytes + 123);
    Between plain;
    int why = 1;
    EXPECT_EQ(1, CopyInChunks(dir / "BIG.BIN", dir / "BIG.NEW", &plain, &why));
    EXPECT_EQ(0, why);
    EXPECT_EQ(128, plain.calls);
    EXPECT_TRUE(HasContent(dir / "BIG.NEW", big));
    FILETIME source = LastWritten(dir / "BIG.BIN"), copy = LastWritten(dir / "BIG.NEW");
    EXPECT_EQ(0, CompareFileTime(&source, &copy));

    const std::string sample = ReadFileText(SampleDir() + "\\SAMPLE.BIN");
    ASSERT_GT(sample.size(), 2 * kChunkBytes);
    Between packed;
    EXPECT_EQ(1, CopyInChunks(SampleDir() + "\\SAMPLE.BI_", dir / "SAMPLE.BIN", &packed, &why));
    EXPECT_EQ((int)((sample.size() - 1) / kChunkBytes), packed.calls);
    EXPECT_TRUE(HasContent(dir / "SAMPLE.BIN", sample));
    source = LastWritten(SampleDir() + "\\SAMPLE.BI_");
    copy = LastWritten(dir / "SAMPLE.BIN");
    EXPECT_EQ(0, CompareFileTime(&source, &copy));
}

// Stopped after the first chunk: the copy ends there, and what it wrote is removed.
TEST(Copy, StopBetweenChunksLeavesNoFile)
{
    ScratchDir dir;
    WriteVaried(dir / "BIG.BIN", 512 * kChunkBytes);
    for (const std::string& source : {dir / "BIG.BIN", SampleDir() + "\\SAMPLE.BI_"}) {
        Between stop;
        stop.stopAt = 1;
        int why = 0;
        const DWORD start = GetTickCount();
        EXPECT_EQ(0, CopyInChunks(source, dir / "NEW.BIN", &stop, &why)) << source;
        EXPECT_LT(GetTickCount() - start, 1000u) << source;
        EXPECT_EQ(kCopyCancelled, why);
        EXPECT_EQ(1, stop.calls);
        EXPECT_EQ("BIG.BIN", ListDir(dir.path));
    }
}

TEST(Copy, EmptyFileCopied)
{
    ScratchDir dir;
    ASSERT_TRUE(WriteFileText(dir / "EMPTY.SRC", ""));
    EXPECT_EQ(1, CopyThrough(dir / "EMPTY.SRC", dir / "EMPTY.DST"));
    EXPECT_TRUE(HasContent(dir / "EMPTY.DST", ""));
}

TEST(Copy, MissingSourceWritesNothing)
{
    ScratchDir dir;
    int why = 0;
    HFILE source = OpenSourceFile((dir / "NOSUCH.DLL").c_str(), &why);
    EXPECT_LT(source, 0);
    EXPECT_EQ(IDS_FAIL_MISSING, why);
    EXPECT_EQ(0, WriteWholeFile(source, (dir / "NEW.DLL").c_str(), &why));
    EXPECT_EQ(IDS_FAIL_MISSING, why);
    EXPECT_EQ(0, CopyThrough(dir / "NODIR\\X.DLL", dir / "NEW.DLL", &why));
    EXPECT_EQ(IDS_FAIL_MISSING, why);
    EXPECT_EQ(0, CopyThrough(dir.path, dir / "NEW.DLL")); // a directory is no source
    EXPECT_EQ("", ListDir(dir.path));
}

TEST(Copy, MissingTargetDirectoryCreatesNothing)
{
    ScratchDir dir;
    int why = 0;
    EXPECT_EQ(0, CopyThrough(SampleDir() + "\\SAMPLE.BIN", dir / "NODIR\\FILE.BIN", &why));
    EXPECT_EQ(IDS_FAIL_WRITE, why);
    EXPECT_EQ("", ListDir(dir.path));
}

TEST(Copy, CutCompressedSourceLeavesNoFile)
{
    // A medium read error that ends a compressed file early: what was expanded is less
    // than the file's header promises, so the file is damaged and is removed again.
    ScratchDir dir;
    std::string packed = ReadFileText(SampleDir() + "\\SAMPLE.BI_");
    ASSERT_TRUE(WriteFileText(dir / "CUT.BI_", packed.substr(0, packed.size() / 2)));
    int why = 0;
    EXPECT_EQ(0, CopyThrough(dir / "CUT.BI_", dir / "CUT.BIN", &why));
    EXPECT_EQ(IDS_FAIL_DAMAGED, why);
    EXPECT_EQ("CUT.BI_", ListDir(dir.path));
}

TEST(Copy, OverlongPathIsNoSource)
{
    std::string longPath = "C:\\" + std::string(90, 'a');
    int why = 0;
    EXPECT_LT(OpenSourceFile(longPath.c_str(), &why), 0);
    EXPECT_EQ(IDS_FAIL_PATH, why);
}

// Run by install_diskfull with a 64 KB RAM disk as drive INSTALL_SMALL_DRIVE.
TEST(DiskFull, CopyThatRunsOutOfRoomLeavesNoFile)
{
    char drive[8];
    if (!GetEnvironmentVariableA("INSTALL_SMALL_DRIVE", drive, sizeof drive))
        GTEST_SKIP() << "no small drive";
    std::string target = std::string(drive) + "\\NEW.BIN";
    int why = 0;
    EXPECT_EQ(0, CopyThrough(SampleDir() + "\\SAMPLE.BIN", target, &why));
    EXPECT_EQ(IDS_FAIL_FULL, why);
    EXPECT_EQ(0, CopyThrough(SampleDir() + "\\SAMPLE.BI_", target, &why));
    EXPECT_EQ(IDS_FAIL_FULL, why);
    EXPECT_EQ("", ListDir(drive));
}

// What a run killed at any moment leaves beside its targets: the next run puts a
// previous file back where its target is missing and removes everything else of its own,
// except a staged file that the restart list still needs.
TEST(Sweep, LeftoversOfAKilledRunGoAndAPreviousFileComesBack)
{
    ScratchDir dir;
    ASSERT_TRUE(WriteFileText(dir / "A.DLL.~zo3", "previous A"));  // killed between the two renames
    ASSERT_TRUE(WriteFileText(dir / "B.DLL", "new B"));
    ASSERT_TRUE(WriteFileText(dir / "B.DLL.~zo4", "previous B"));  // killed before the clean-up
    ASSERT_TRUE(WriteFileText(dir / "C.DLL.~zn5-1", "cut"));       // killed while staging
    ASSERT_TRUE(WriteFileText(dir / "D.DLL.~zn6", "waiting"));     // replaces D.DLL at the restart
    ASSERT_TRUE(WriteFileText(dir / "E.~zip", "someone else's"));
    ASSERT_TRUE(WriteFileText(dir / "F.TXT.~zn", "someone else's"));
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, kSessionManagerKey, &k));
    const std::string list = "\\??\\" + (dir / "D.DLL.~zn6") + '\0' + "!\\??\\" + (dir / "D.DLL") + '\0' + '\0';
    RegSetValueExA(k, kPendingRenamesValue, 0, REG_MULTI_SZ, (const BYTE*)list.data(), (DWORD)list.size());

    RestartList restart = {};
    ASSERT_EQ(1, RestartListRead(&restart));
    SweepLeftovers(dir.path.c_str(), &restart);
    RestartListFree(&restart);
    RegDeleteValueA(k, kPendingRenamesValue);
    RegCloseKey(k);

    EXPECT_EQ("A.DLL B.DLL D.DLL.~zn6 E.~zip F.TXT.~zn", ListDir(dir.path));
    EXPECT_TRUE(HasContent(dir / "A.DLL", "previous A"));
    EXPECT_TRUE(HasContent(dir / "B.DLL", "new B"));
}

// The wait before the registration: input of that second is discarded and nothing is
// repainted, and the thread sleeps meanwhile instead of polling.
TEST(TimedWait, DiscardsMessagesAndSleeps)
{
    HWND w = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(w);
    InvalidateRect(w, nullptr, TRUE);
    PostMessageA(w, WM_USER + 1, 0, 0);
    FILETIME created, ended, kernel0, user0, kernel1, user1;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel0, &user0);
    const DWORD start = GetTickCount();
    TimedWait(600);
    const DWORD elapsed = GetTickCount() - start;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel1, &user1);
    auto ms = [](const FILETIME& f) { return (((ULONGLONG)f.dwHighDateTime << 32) | f.dwLowDateTime) / 10000; };
    const ULONGLONG busy = ms(kernel1) - ms(kernel0) + ms(user1) - ms(user0);

    EXPECT_GE(elapsed, 600u);
    // Ends with its time; a loaded machine may wake the thread late, but not by seconds.
    EXPECT_LT(elapsed, 600u + 5000u);
    EXPECT_LT(busy, 100u) << "the wait kept a processor busy";
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, w, WM_USER + 1, WM_USER + 1, PM_REMOVE)) << "input not discarded";
    EXPECT_TRUE(GetUpdateRect(w, nullptr, FALSE)) << "repainted during the wait";
    DestroyWindow(w);
}
