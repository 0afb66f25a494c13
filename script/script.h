// The setup script SETUP.INF: the reader that fills the global settings and builds the
// install plan.
#pragma once
#include "base/globals.h"

// A line of the PM Info section: a program item, in the fixed rooms it is kept in. The
// reader keeps up to ten of them behind the plan's records; nothing reads them yet, but
// they are part of the script's format and of the plan block's layout.
struct ProgramItem {
    char fileName[kItemNameRoom];
    char title[kItemTitleRoom];
    char iconIndex[kItemIconRoom];
};
static_assert(sizeof(ProgramItem) == 60, "program-item records are 60 bytes");

// Rooms of a program item's three fields, terminator included.
constexpr int kItemFieldRooms[3] = {sizeof(ProgramItem::fileName), sizeof(ProgramItem::title),
                                    sizeof(ProgramItem::iconIndex)};

// kProgramItems, the number of items, is the medium format's (base/globals.h).
extern ProgramItem* g_programItems[kProgramItems];

// Fills a program item from a PM Info line; fields longer than 14, 39 or 4 characters
// are cut there.
void FillProgramItem(ProgramItem* item, const char* line);

// Reads SETUP.INF beside the program: takes the program directory from the module path,
// then reads the script in it. 1 on success, 0 when the install plan's memory cannot be
// had. Needs g_instance and g_windowsDir.
int ReadSetupScript();

// Reads the script in g_programDir (already set). The part of ReadSetupScript after the
// program directory is known. An empty g_programDir means there is no script to read:
// every setting takes its default.
int ReadSetupScriptInProgramDir();
// The same for the script `fileName` in g_programDir (the uninstaller reads UNINSTAL.INF,
// the copy of SETUP.INF that the installation leaves in the destination).
int ReadScriptInProgramDir(const char* fileName);

// Sets g_programDir from the program's full path: the path cut before its last backslash.
// A directory that does not fit its 80-character room is taken in its short form; when
// even that does not fit, g_programDir is left empty and 0 is returned.
int SetProgramDir(const char* modulePath);

// Sets g_destDir from a DefaultPath value: the drive form takes the Windows directory's
// drive letter, any other value goes under the ProgramFilesDir of the registry.
void SetDestinationFromDefaultPath(const char* value);

// Reads one text or integer of the script whose path the reader has set, the section
// given by its string-table number. Without a script, or when the section or key name is
// missing, the default is taken. A text is cut to `room` less one.
void ReadScriptText(int sectionId, const char* key, const char* def, char* out, int room);
int ReadScriptInt(int sectionId, const char* key, int def);
