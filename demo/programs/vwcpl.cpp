// VWCPL.DLL of the demo medium: the Mouse control-panel extension. Its in-process server
// entry points exist so the registered class loads, but it serves no class: the demo
// package has no property page to offer.
#include <windows.h>

STDAPI DllGetClassObject(REFCLSID, REFIID, LPVOID* object)
{
    if (object)
        *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow()
{
    return S_OK;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
