// The Installing page with its copy engine, and the system registration.
#pragma once
#include <windows.h>

LRESULT CALLBACK InstallPageProc(HWND, UINT, WPARAM, LPARAM);

// Writes the registry entries of the installed package for the current destination.
void RegisterSystem();
