// Drives setup.exe from outside, the way a user's clicks and keys would: starts it on a
// medium of the test's own, finds its pages and boxes, reads and presses their controls,
// and observes what Wine's relay trace shows of the calls it made. Runs in the same Wine
// prefix as setup.exe, in a test program of its own.
//
// Every wait here handles the test thread's own messages, so windows of the test process
// (the keep-alive window, a stand-in utility window) answer setup.exe while it waits.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "support/files.h"
#include "support/registry.h"
#include "support/windows.h"

// ---- Paths and files (Windows paths; files and trees: support/files.h) ---------------

// The Windows path of a Unix path of this machine (the build tree, a log file).
std::string DosPath(const char* unixPath);
// The build's medium folder: setup.exe beside the demo SETUP.INF and payload.
std::string BuildMedium();

// Fills `dir` afresh with the build's medium; `inf`, when given, replaces its SETUP.INF.
int MakeMedium(const char* dir, const char* inf = nullptr);

// ---- The setup process ------------------------------------------------------------------

struct SetupRun {
    PROCESS_INFORMATION pi = {};
    std::string traceFrom;    // relay functions traced in this run, empty for none
    std::string trace;        // the relay lines of this run, once TakeTrace has read them
    int traceId = 0;
};

// Starts mediumDir\setup.exe with the medium as current directory. With `relay` (a
// RelayInclude list such as "user32.ExitWindowsEx;advapi32.AdjustTokenPrivileges") Wine
// traces those calls on setup.exe's stderr; TakeTrace collects them after the end.
// `args`, when given, follow the program's name on its command line.
int StartSetup(SetupRun* run, const char* mediumDir, const char* relay = nullptr, const char* args = nullptr);
// Starts another program of the package (the uninstaller, from the command line its
// Uninstall entry holds) in `currentDir`, tracked in `run` like setup.exe.
int StartCommand(SetupRun* run, const char* commandLine, const char* currentDir);
// Waits for setup.exe to end; kills it when it outlives `timeoutMs`. 1 when it ended by
// itself, its exit code in `exitCode`.
int WaitSetupEnd(SetupRun* run, DWORD timeoutMs, DWORD* exitCode = nullptr);
// Ends setup.exe if it still runs and closes the handles. Safe to call twice.
void KillSetup(SetupRun* run);
int SetupRunning(const SetupRun* run);
// Once setup.exe has ended: the relay trace lines it wrote, also kept in run->trace.
// Empty when the test program was not started with a trace log (see TraceAvailable).
const std::string& TakeTrace(SetupRun* run);
int TraceAvailable();
// Lines of `trace` that contain `what` (in any case), in order.
std::vector<std::string> TraceLines(const std::string& trace, const char* what);
// The calls and returns of traced functions in `trace`, one a line, without Wine's
// tracing of window procedures and module start-up: for failure messages.
std::string TraceCalls(const std::string& trace);

// ---- Wine settings of the prefix ---------------------------------------------------------

// Tells Wine which Windows to report to setup.exe ("win98", "nt40"); nullptr removes the
// setting so Wine reports its default.
int SetReportedVersion(const char* version);
// The version the whole run uses (environment variable E2E_WINVER), nullptr for default.
const char* SuiteVersion();
// Puts the prefix back as a run starts: the suite's version, no relay list left over
// from a run that was killed.
void ResetPrefixSettings();

// What an installation leaves in the registry, and removing it: support/registry.h.

// ---- Waiting -------------------------------------------------------------------------

// How long a wait for something setup.exe does (a window appearing or going, a text
// changing, the program ending) may last before the test gives up. Every such wait ends
// as soon as the thing happens; this only bounds a program that hangs. Alone, a page
// comes within a second; beside other Wine workloads on the same two cores, or in a fresh
// prefix whose desktop process is still starting, it can take many seconds.
constexpr DWORD kWaitLimit = 60000;

// ---- Windows of setup.exe --------------------------------------------------------------

// A visible top-level window of the run with class `cls` (and caption, when given),
// once its thread has finished setting it up; nullptr after the timeout.
HWND WaitWindow(const SetupRun& run, const char* cls, const char* caption, DWORD timeoutMs);
HWND WaitPage(const SetupRun& run, const char* cls, DWORD timeoutMs = kWaitLimit);
HWND FindRunWindow(const SetupRun& run, const char* cls);   // visible or not, no wait
int WaitGone(HWND w, DWORD timeoutMs = kWaitLimit);
// Lets the window's thread handle everything sent before (a round trip of WM_NULL).
int Settle(HWND w);

// Texts and classes of windows: support/windows.h.
int SetItemText(HWND dlg, int id, const char* text);  // WM_SETTEXT
RECT Rect(HWND w);                                 // window rectangle, screen coordinates

// Presses a push button as a click would (BM_CLICK, posted: a press may open a modal box
// or end the page, and this returns at once).
int Press(HWND dlg, int id);
// Presses and waits until the page is gone.
int PressAndLeave(HWND page, int id, DWORD timeoutMs = kWaitLimit);
// Clicks a check box or radio button (BM_CLICK, sent: returns once handled).
int Click(HWND dlg, int id);
int Checked(HWND dlg, int id);                     // BM_GETCHECK
// Posts a key press and release to the window that has the focus in w's thread (or w),
// which the page's IsDialogMessageA loop handles as the keyboard would.
int Key(HWND w, UINT vk);
// The same with the Alt key held (WM_SYSKEYDOWN): AltKey(page, VK_F4) is Alt+F4.
int AltKey(HWND w, UINT vk);
HWND FocusOf(HWND w);                              // focus window of w's thread
// Real keys, as the keyboard gives them (SendInput): they go to the focus of the active
// window through its thread's own message loop, with the key state (Shift, Alt) that
// the dialog manager reads. `vk` pressed and released while `modifier` (VK_SHIFT,
// VK_MENU, or 0) is held.
int RealKey(UINT vk, UINT modifier = 0);
// Types `text` as characters (Unicode key events) into the focused control.
int TypeText(const char* text);
// The ID of the control of `page` that has the focus, once it is `id` or 3 s have passed:
// 0 when the focus is on the page itself, -1 when it is elsewhere or nowhere.
int WaitFocusId(HWND page, int id);
// The ID of the push button of `page` that has the default push-button style, 0 for none.
int DefaultButtonId(HWND page);

// ---- Message boxes and the Browse dialog -------------------------------------------

// A dialog box (#32770) owned by `owner` (nullptr: any top-level box of the run without
// owner).
HWND WaitBox(const SetupRun& run, HWND owner, DWORD timeoutMs = kWaitLimit);
int PressOk(HWND box);                             // OK and wait until it is gone

HWND WaitBrowse(const SetupRun& run, HWND page, DWORD timeoutMs = kWaitLimit);
// Entries of a list box or combo box (LB_GETTEXT / CB_GETLBTEXT).
std::vector<std::string> ListItems(HWND dlg, int id);
// Selects `entry` of the directory list (1121) and sends the double-click notification
// the list would send. 0 when there is no such entry.
int DoubleClickDir(HWND browse, const char* entry);
// Chooses drive `letter` in the drive list (1137) and sends the selection-change
// notification the list would send. 0 when the list has no such drive.
int SelectDrive(HWND browse, char letter);
// Ends the Browse dialog with OK (1) or Cancel (2) and waits until it is gone.
int EndBrowse(HWND browse, int id);

// ---- Windows of the test process ---------------------------------------------------------

// A hidden top-level window kept for the whole run, so that Wine's desktop process
// stays up between setup runs.
void KeepDesktop();
// A hidden top-level window titled `title` that counts the WM_CLOSE requests it gets
// (and stays). `noteInstall` records, at each request, whether a Installing page existed.
struct UtilityWindow {
    HWND hwnd = nullptr;
    int closes = 0;
    int installPageSeen = 0;      // requests that arrived while SETUP_INSTALL existed
};
int CreateUtilityWindow(UtilityWindow* u, const char* title);
void DestroyUtilityWindow(UtilityWindow* u);

// ---- Screenshots --------------------------------------------------------------------

// Saves the whole screen as a 24-bit BMP file. 1/0.
int SaveScreenshot(const char* path);
// Saves one when the environment variable E2E_SCREENSHOTS names a folder: <folder>\<name>.bmp.
void MaybeScreenshot(const char* name);

// ---- Measuring -------------------------------------------------------------------------

// The window size of a dialog built here from an in-memory template of cx x cy dialog
// units, Arial 8, WS_POPUP|WS_CAPTION|DS_MODALFRAME|DS_SETFONT: what a page template
// of that size gives before the page adjusts it.
SIZE TemplateWindowSize(short cx, short cy);
