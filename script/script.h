// The setup script SETUP.INF: the reader that fills the global settings and builds the
// install plan.
#pragma once

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
