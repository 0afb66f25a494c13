// benchnoop: a GUI program that ends at once. Its launch-to-exit time is what Wine needs
// to start a process at all, the part of setup.exe's start-up that no code of ours adds.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
