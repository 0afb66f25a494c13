// The setup script SETUP.INF: the text loader, the field splitter and the reader that
// fills the global settings and builds the install plan.
#pragma once

// Loads string-table entry `id` into the next of four rotating 128-character buffers
// and returns it, or nullptr when the table has no such entry.
const char* LoadText(int id);

// Copies the next comma-separated field of `pos`, with the blanks around it dropped, into
// `field` (room 128) and returns the position behind the field's comma (or the end).
const char* NextField(const char* pos, char* field);

// Reads SETUP.INF beside the program: takes the program directory from the module path,
// then reads the script in it. 1 on success, 0 when the install plan's memory cannot be
// had. Needs g_instance and g_windowsDir.
int ReadSetupScript();

// Reads the script in g_programDir (already set). The part of ReadSetupScript after the
// program directory is known.
int ReadSetupScriptInProgramDir();
