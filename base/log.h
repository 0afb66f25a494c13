// The log of a run started with /LOG=<file>: plain ANSI text, one line per event, each
// line starting with the time of day, so that a support desk can search it. A log that
// cannot be opened or written is no reason to stop: every call is then a no-op.
#pragma once

// Creates the log anew at `path`. 1 when it is open.
int LogOpen(const char* path);
// The opening lines: start time, program and version, command line.
void LogStart(const char* program, const char* args);
// 1 while a log is open.
int LogIsOpen();
// Writes one line, formatted with wsprintf's rules (cut at 1024 characters).
void LogLine(const char* format, ...);
void LogClose();
