// Process-wide state shared by the subsystems: the settings the setup script fills, the
// setup options, the page result and what start-up takes from the system.
#pragma once
#include <windows.h>

// Rooms of the fixed text buffers, in characters including the terminator.
constexpr int kPathRoom = 80;
constexpr int kTextRoom = 128;
constexpr int kProductRoom = 72;
constexpr int kLabelRoom = 40;
constexpr int kPnpRoom = 10;
constexpr int kMaxDisks = 6;
constexpr int kDirKeyCount = 10;

// Private message sent to every page right after its creation; pages fill their
// controls there.
constexpr UINT WM_PAGEINIT = WM_USER + 100;

// Page results.
constexpr short kResultCancel = 0;
constexpr short kResultNext = 1;
constexpr short kResultBack = 2;

// Setup options: seven flags in this order.
enum SetupOption {
    kOptComponent0 = 0, // "Mouse Driver"
    kOptComponent1,     // "Mouse Control Panel": decides whether anything is installed
    kOptComponent2,     // "Online Menu Files"
    kOptComponent3,     // "Others"
    kOptLogoHidden,     // OEM: leaves out the backdrop's footer banner
    kOptRestart,        // cleared when the user declines the restart
    kOptFirstPaint,     // cleared by the backdrop after every paint
    kOptionCount
};

// Set by start-up.
extern HINSTANCE g_instance;
extern short g_screenWidth;
extern short g_screenHeight;
extern char g_windowsDir[kPathRoom];
extern HWND g_backdrop;

// Filled by the setup-script reader.
extern char g_programDir[kPathRoom];
extern char g_destDir[kPathRoom];
extern char g_groupName[kTextRoom];
extern char g_groupTitle[kTextRoom];
extern char g_productName[kProductRoom];
extern char g_caption[kPathRoom];
extern short g_minimumSpace;
extern char g_pnpId[kPnpRoom];
extern char g_diskLabels[kMaxDisks][kLabelRoom];
extern short g_diskCount;
extern char g_dirNames[kDirKeyCount][kPathRoom];
extern short g_fileCounts[kMaxDisks];
extern short g_totalFiles;
extern short g_programItemCount;
extern char g_utilityFile[kPathRoom];
extern char g_titleText[kPathRoom];
extern char g_controlPanelFile[kPathRoom];

// Setup options and setup type (1 Typical, 0 Custom).
extern int g_options[kOptionCount];
extern int g_setupType;

// 0 Cancel, 1 Next, 2 Back; written by the pages, returned by the page runner.
extern short g_pageResult;
