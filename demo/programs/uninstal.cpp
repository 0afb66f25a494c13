// UNINSTAL.EXE of the demo medium: names the product it belongs to and what removing it
// would take. The demo package has nothing to undo beyond its files and registry entries.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    MessageBoxA(nullptr,
                "Velan Wheel Mouse\n\n"
                "This demo package is removed by deleting its installation directory, "
                "the driver files in the Windows directory and its registry entries.",
                "Velan Wheel Mouse Uninstall", MB_OK | MB_ICONINFORMATION);
    return 0;
}
