// The page runner, the behaviour every page shares, and the wizard pages.
#pragma once
#include <windows.h>

// Shows one page from its template, owned by the backdrop, until it is destroyed;
// returns the page result.
short RunPage(const char* className, WNDPROC proc, int templateId);

// The box saying the installation is not completed, owned by `page`.
void NotCompletedWarning(HWND page);

// Shared WM_CREATE handling: product-named title, one pixel larger, centred on the
// screen of the given size.
void PageCreate(HWND page, short screenWidth, short screenHeight);

LRESULT CALLBACK WelcomePageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK SetupTypePageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ComponentsPageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK DestinationPageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK FinishPageProc(HWND, UINT, WPARAM, LPARAM);
