// Windows as the tests see them: their texts read with messages (sent with a timeout,
// so a hung window of another process cannot hang the test), and this thread's
// messages handled while a test waits.
#pragma once
#include <windows.h>
#include <string>

// Handles this thread's messages for `ms` milliseconds.
void Pump(DWORD ms);

std::string Text(HWND w);                // WM_GETTEXT; "<no text>" when there is no answer
std::string ItemText(HWND dlg, int id);  // the control's text; "<no control>" without it
std::string ClassOf(HWND w);
// The message of a message box: its static control 100 (Wine) or 0xFFFF (Windows);
// "<no message>" without either.
std::string BoxText(HWND box);
