// Process-wide state shared by the subsystems: the settings the setup script fills, the
// user's setup options and what start-up takes from the system.
#pragma once
#include <windows.h>

// Rooms of the fixed text buffers and record fields, in characters including the
// terminator, and the counts the setup holds (kPathRoom, kTextRoom, kMaxDisks,
// kDirKeyCount, ...): the medium format's definition, which the medium builder reads too.
#define MEDIUM_NUMBER(name, value) constexpr int name = value;
#include "res/medium.def"

// Setup options, in this order: one flag per box of the Components page, then the
// script's choice of banner and the user's choice of restart.
enum SetupOption {
    kOptMouseDriver = 0, // "Mouse Driver"
    kOptControlPanel,    // "Mouse Control Panel": without it nothing is installed at all
    kOptMenuFiles,       // "Online Menu Files"
    kOptOthers,          // "Others"
    kOptLogoHidden,      // OEM: leaves out the backdrop's footer banner
    kOptRestart,         // cleared when the user declines the restart
    kOptionCount
};
constexpr int kComponentCount = kOptOthers - kOptMouseDriver + 1;

// Set by start-up.
extern HINSTANCE g_instance;
extern short g_screenWidth;
extern short g_screenHeight;
extern char g_windowsDir[kPathRoom];
extern HWND g_backdrop;

// Filled by the setup-script reader.
extern char g_programDir[kPathRoom];
extern char g_destDir[kPathRoom];
extern char g_productName[kProductRoom];
extern char g_caption[kPathRoom];
extern short g_minimumSpace;
extern char g_diskLabels[kMaxDisks][kLabelRoom];
extern short g_diskCount;
extern char g_dirNames[kDirKeyCount][kPathRoom];
extern short g_fileCounts[kMaxDisks];
extern short g_totalFiles;
extern char g_utilityFile[kPathRoom];
extern char g_titleText[kPathRoom];
extern char g_controlPanelFile[kPathRoom];

// Read from the script and used by nothing yet: the program group's name and title, the
// device's PnP id and the number of program items (the items themselves are in the
// plan's tail). Kept because the script's format carries them and a medium's builder
// writes them: the reader takes the whole format, so a script that holds them is read
// the same way by every version, and the fuzz run reads them too.
extern char g_groupName[kTextRoom];
extern char g_groupTitle[kTextRoom];
extern char g_pnpId[kPnpRoom];
extern short g_programItemCount;

// Setup options and setup type (1 Typical, 0 Custom).
extern int g_options[kOptionCount];
extern int g_setupType;
