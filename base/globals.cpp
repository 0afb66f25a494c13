#include "base/globals.h"

HINSTANCE g_instance;
short g_screenWidth;
short g_screenHeight;
char g_windowsDir[kPathRoom];
HWND g_backdrop;

char g_programDir[kPathRoom];
char g_destDir[kPathRoom];
char g_groupName[kTextRoom];
char g_groupTitle[kTextRoom];
char g_productName[kProductRoom];
char g_caption[kPathRoom];
short g_minimumSpace;
char g_pnpId[kPnpRoom];
char g_diskLabels[kMaxDisks][kLabelRoom];
short g_diskCount;
char g_dirNames[kDirKeyCount][kPathRoom];
short g_fileCounts[kMaxDisks];
short g_totalFiles;
short g_programItemCount;
char g_utilityFile[kPathRoom];
char g_titleText[kPathRoom];
char g_controlPanelFile[kPathRoom];

int g_options[kOptionCount] = {1, 1, 1, 1, 0, 1};
int g_setupType = 1;

