// The fixed file version of a program or library, and the texts of its version resource
// (company, product version), read with the system's loader alone (no version library).
#pragma once
#include <windows.h>

// Reads the file version of the version resource of `path` into `ms` (major << 16 | minor)
// and `ls` (build << 16 | revision). 1 when found; 0 for a file without one, a file that
// is no program or library, and a file that cannot be read (missing, or held open by a
// program that shares it with nobody).
int ReadFileVersion(const char* path, DWORD* ms, DWORD* ls);

// Reads text `name` ("CompanyName", "ProductVersion", ...) of the first string table of
// the version resource of `path` into `out` of `room` characters. 1 when found, not
// empty and whole in `room`; 0 otherwise (`out` then empty): for a file without one, as
// ReadFileVersion, and for a text that does not fit.
int ReadVersionText(const char* path, const char* name, char* out, int room);

// The version as "a.b.c.d" into `out` (cut at `room`, always terminated).
void FormatFileVersion(DWORD ms, DWORD ls, char* out, int room);
