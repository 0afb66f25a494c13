// The medium checker: reads a medium's SETUP.INF with the setup's own reader and plan,
// prints the install plan as the setup will see it and flags what the setup would cut,
// skip or resolve to nothing.
#pragma once
#include <windows.h>

// Rooms of the raw reads: far beyond any room of the setup, so a value the setup cuts is
// seen whole here.
constexpr int kRawRoom = 1024;

// ---- Findings ------------------------------------------------------------------------

enum Severity {
    kNote,    // how the setup will take a value; nothing is lost
    kWarning, // the setup cuts or ignores something, but installs every file and entry
    kError,   // a file or registry entry would not be installed as the script means
};
// Prints one finding, indented under the line it belongs to, and counts it.
void Report(Severity severity, const char* format, ...);
int ErrorCount();
int WarningCount();

// ---- The script as written ---------------------------------------------------------

// The path of the script being checked.
extern char g_scriptPath[MAX_PATH];
// The raw value of `key` in `section` into `out` (room kRawRoom); 0 when the key is absent.
int RawValue(const char* section, const char* key, char* out);
// Every key of `section`, each terminated, the list ending with an empty one.
void RawKeys(const char* section, char* out, int room);
// 1 when `text` is a decimal number as the setup writes it, its value in `value`.
int PlainNumber(const char* text, long* value);

// ---- The checks, in the order they print ---------------------------------------------

// [Main], [Startup], the disk labels, directory names and file counts as read.
void CheckSettings();
// Sections and lines that the setup never reads.
void CheckUnreadLines();
// One line per file record with its source, what it holds and its target; then the
// directories the Installing page creates and the registry entries it writes.
void CheckFiles();
void CheckRegistry();
// The file version of a program or library on the medium (`compressed`: expanded first),
// one line under its record; nothing for a file without one.
void ReportVersion(const char* source, bool compressed);
// LOGO.BMP beside the script, when there is one.
void CheckLogo();
