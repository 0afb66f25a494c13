// The page runner, the behaviour every page shares, and the wizard pages.
#pragma once
#include "base/globals.h"

// The page protocol. The runner sends every page this private message right after its
// creation; the page fills its controls there from the globals.
constexpr UINT WM_PAGEINIT = WM_USER + 100;

// How a page ended, in g_pageResult: written by the page, returned by the runner, and
// never reset by it.
constexpr short kResultCancel = 0;
constexpr short kResultNext = 1; // also OK and Finish
constexpr short kResultBack = 2;
extern short g_pageResult;

// RunPage's answer when no page answered: the page could not be created, or its owner
// (the backdrop) went away while it was shown and took the page with it. Never written
// to g_pageResult.
constexpr short kResultNoPage = -1;

// Shows one page from its template, owned by the backdrop, until it is destroyed;
// returns the page result, or kResultNoPage. `init` goes to the page with WM_PAGEINIT
// as its lParam.
short RunPage(const char* className, WNDPROC proc, int templateId, LPARAM init = 0);

// The box saying the installation is not completed, owned by `page`.
void NotCompletedWarning(HWND page);

// Shared WM_CREATE handling: product-named title, one pixel larger, centred on the
// screen of the given size.
void PageCreate(HWND page, short screenWidth, short screenHeight);

// What a page's frame does beyond creation and destruction: which screen size centres
// it, and what a close that none of its buttons asked for means (Alt+F4, the close box,
// a WM_CLOSE from another program).
enum class PageFrame {
    Wizard,     // the kept screen size; such a close is Cancel
    Installing, // the kept screen size; the page answers close requests itself
    Finish,     // the screen size measured now; such a close finishes without restart
};

// Creation, destruction and close requests, alike on every page of a frame: WM_CREATE
// runs PageCreate, WM_DESTROY ends the runner's loop, WM_CLOSE from elsewhere than the
// page's own buttons is answered as the frame says (and ignored while a box of the page
// is open); a WM_COMMAND is left to the page once the focus is followed (PageFollowFocus).
// 1 when `msg` has been handled.
int PageFrameMessage(HWND page, UINT msg, PageFrame frame);

// Closes the page as one of its buttons does.
void PageClose(HWND page);

// The dialog manager's keyboard handling on a page whose messages end in DefWindowProcA.
// PageFocusFirst gives a new page's focus to its button 1 (Next, Finish) once its
// controls exist; PageFollowFocus, after every message, remembers the control that has
// the focus and gives the default push-button border to it when it is a push button, else
// back to button 1, so that Enter presses the button that has the focus.
void PageFocusFirst(HWND page);
void PageFollowFocus(HWND page);

// What a wizard page hands on instead of calling DefWindowProcA itself: the focus moves
// that the dialog manager asks of a dialog (WM_NEXTDLGCTL: Tab, Shift+Tab, the arrows
// between push buttons), and the focus given back to the remembered control when the
// page gets it (activated again after a box or the Browse dialog). Everything else goes
// to DefWindowProcA.
LRESULT PageDefault(HWND page, UINT msg, WPARAM wp, LPARAM lp);

// Where PageCreate puts a window whose rectangle is `window`: one pixel wider and higher
// than its extent, centred on the screen (division truncating toward zero).
struct PagePlace {
    short x, y, width, height;
};
PagePlace PlacePage(const RECT& window, short screenWidth, short screenHeight);

// Writes the page result and closes the page (PageClose).
void PageEnd(HWND page, short result);

// Cancel: the not-completed warning, then PageEnd with Cancel.
void PageCancel(HWND page);

// Replaces the text of control `id` by that text used as a format with the product name
// as its only argument (the "%s" of the template text).
void FormatProductText(HWND page, int id);

LRESULT CALLBACK WelcomePageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK SetupTypePageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ComponentsPageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK DestinationPageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK FinishPageProc(HWND, UINT, WPARAM, LPARAM);
// The Installing page, in pages/installing.cpp: WM_PAGEINIT's lParam is the Installation
// it runs (engine/installation.h) into the destination in force; its outcome is there
// when the page has ended.
LRESULT CALLBACK InstallPageProc(HWND, UINT, WPARAM, LPARAM);

// The blue bar for `percent` inside the progress area `control` (page client
// coordinates): the area shrunk by 2, moved 1 left and up, cut to the percentage.
void ProgressBarRect(const RECT* control, int percent, RECT* bar);

// Waits `ms` milliseconds, taking and discarding every message of the thread meanwhile.
void TimedWait(DWORD ms);

// The destination checks of the Destination page's Next, in pages/destination_check.cpp.

// 1 when `path` names an existing directory.
int IsDirectory(const char* path);

// 1 when `dest` has the drive form: any character, a colon, a backslash.
int HasDriveForm(const char* dest);

// The root "X:\" of `dest`'s drive, its first character upper-cased (a-z only).
void DriveRoot(const char* dest, char root[4]);

// Free kilobytes from GetDiskFreeSpaceA's figures, without overflow.
unsigned long long FreeKilobytes(DWORD sectorsPerCluster, DWORD bytesPerSector, DWORD freeClusters);

// 1 when `freeKb` covers the minimum space; a negative minimum asks for nothing.
int EnoughSpace(unsigned long long freeKb, short minimumKb);

// Runs the checks in order and creates the directory when it is missing: 0 when `dest`
// can be used, else the string number of the message to show (33, 34, or 86 when a file
// of the plan would not fit its path room under `dest`). `created`, when given, tells
// whether the directory was created.
int CheckDestination(const char* dest, short minimumKb, int* created = nullptr);

// 1 when every file and sub-directory the plan puts under destination `dest` has a path
// that fits the path room.
int PlanFitsUnder(const char* dest);

// The Destination page created the destination directory on its last Next: an
// installation that does not finish removes it again when it is empty.
extern int g_destinationCreated;

// The Browse dialog, in pages/browse.cpp: on OK the destination directory holds the
// chosen path.
void BrowseForDirectory(HWND owner);
