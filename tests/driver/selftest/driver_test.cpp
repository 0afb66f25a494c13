// The driver's own pieces that the wizard tests cannot check for it: screenshots as
// files, directory trees, and reading a relay trace.
#include "wizard_test.h"
#include <cstring>

namespace {

LRESULT CALLBACK SolidProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_ERASEBKGND) {
        RECT rc;
        GetClientRect(w, &rc);
        HBRUSH b = CreateSolidBrush(RGB(10, 200, 30));
        FillRect((HDC)wp, &rc, b);
        DeleteObject(b);
        return 1;
    }
    return DefWindowProcA(w, m, wp, lp);
}

} // namespace

// A window of a known colour near the top-left corner must show at the same place of
// the file: rows stored bottom-up, padded to four bytes, blue-green-red.
TEST(Driver, ScreenshotIsABmpOfTheScreen)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = SolidProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "DriverSolid";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 13, 7, 50, 40, nullptr,
                             nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(w);
    UpdateWindow(w);
    // The colour reaches the screen once Wine has flushed the window's drawing.
    HDC screen = GetDC(nullptr);
    for (DWORD start = GetTickCount();
         GetPixel(screen, 13 + 25, 7 + 20) != RGB(10, 200, 30) && GetTickCount() - start < kWaitLimit;)
        Pump(20);
    ReleaseDC(nullptr, screen);
    const char path[] = "C:\\e2e\\shot.bmp";
    ASSERT_TRUE(MakeDirs(kWorkRoot));
    ASSERT_TRUE(SaveScreenshot(path));
    DestroyWindow(w);
    std::string bmp;
    ASSERT_TRUE(ReadFileText(path, &bmp));
    RemoveTree(kWorkRoot);

    BITMAPFILEHEADER bf;
    BITMAPINFOHEADER bi;
    ASSERT_GT(bmp.size(), sizeof bf + sizeof bi);
    memcpy(&bf, bmp.data(), sizeof bf);
    memcpy(&bi, bmp.data() + sizeof bf, sizeof bi);
    EXPECT_EQ(0x4D42, bf.bfType);
    EXPECT_EQ(bmp.size(), bf.bfSize);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), bi.biWidth);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), bi.biHeight);
    EXPECT_EQ(24, bi.biBitCount);
    const int stride = (bi.biWidth * 3 + 3) & ~3;
    auto pixel = [&](int x, int y) {
        const unsigned char* p = (const unsigned char*)bmp.data() + bf.bfOffBits +
                                 (size_t)(bi.biHeight - 1 - y) * stride + x * 3;
        return RGB(p[2], p[1], p[0]);
    };
    EXPECT_EQ(RGB(10, 200, 30), pixel(13 + 25, 7 + 20));
    EXPECT_EQ(RGB(10, 200, 30), pixel(13, 7));
    EXPECT_EQ(RGB(10, 200, 30), pixel(13 + 49, 7 + 39));
}

TEST(Driver, TreesAreCopiedAndRemovedWhole)
{
    const std::string from = std::string(kWorkRoot) + "\\from", to = std::string(kWorkRoot) + "\\to";
    ASSERT_TRUE(MakeDirs((from + "\\a\\b").c_str()));
    ASSERT_TRUE(WriteFileText((from + "\\a\\b\\deep.txt").c_str(), "deep"));
    ASSERT_TRUE(WriteFileText((from + "\\top.txt").c_str(), "top"));
    SetFileAttributesA((from + "\\top.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(CopyTree(from.c_str(), to.c_str()));
    std::string text;
    ASSERT_TRUE(ReadFileText((to + "\\a\\b\\deep.txt").c_str(), &text));
    EXPECT_EQ("deep", text);
    EXPECT_TRUE(RemoveTree(kWorkRoot));
    EXPECT_FALSE(DirExists(kWorkRoot));
}

TEST(Driver, TraceLinesMatchInAnyCaseAndKeepTheirOrder)
{
    const std::string trace = "0024:Call KERNEL32.CreateDirectoryA(1) ret=1\n"
                              "0024:Call user32.ExitWindowsEx(00000002,00000000) ret=2\n"
                              "0024:Call kernel32.CreateDirectoryA(2) ret=3";
    auto lines = TraceLines(trace, "call kernel32.createdirectorya(");
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("0024:Call KERNEL32.CreateDirectoryA(1) ret=1", lines[0]);
    EXPECT_EQ("0024:Call kernel32.CreateDirectoryA(2) ret=3", lines[1]);
    EXPECT_TRUE(TraceLines(trace, "AdjustTokenPrivileges").empty());
}
