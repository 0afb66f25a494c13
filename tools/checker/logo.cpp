// LOGO.BMP beside the script, the picture the backdrop shows at its top right, judged by
// the same recognition the backdrop applies: what it does not take, it leaves out silently.
#include "tools/checker/check.h"
#include "base/globals.h"
#include "gfx/gfx.h"
#include <cstdio>
#include <vector>

void CheckLogo()
{
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\LOGO.BMP", g_programDir);
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        printf("Logo         none\n");
        return;
    }
    DWORD size = GetFileSize(f, nullptr);
    std::vector<BYTE> file(size < kMaxPictureFile ? size : kMaxPictureFile);
    DWORD got = 0;
    if (!file.empty())
        ReadFile(f, file.data(), (DWORD)file.size(), &got, nullptr);
    CloseHandle(f);
    printf("Logo         LOGO.BMP, %lu bytes", size);
    PictureLayout layout;
    if (!ReadPictureLayout(file.data(), got, &layout)) {
        printf("\n");
        Report(kWarning, "the backdrop does not take LOGO.BMP (it needs an uncompressed "
               "bottom-up BMP of 1, 4, 8 or 24 bits per pixel, whole): it shows no logo");
        return;
    }
    printf(", %ld x %ld, %u bits per pixel\n", layout.header.biWidth, layout.header.biHeight,
           layout.header.biBitCount);
}
