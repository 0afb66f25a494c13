// The switches of a program's command line: "/S" standing alone, "/NAME=value" up to the
// next blank (or a quoted value), and "/D=path" taking the rest of the line up to the next
// of setup.exe's switches (/S, /LOG=, /NORESTART), so that a destination with blanks
// needs no quotes. Switch names are matched without regard to
// case; whatever else the line holds is for the caller to ignore.
#pragma once

// 1 when `args` (the arguments after the program's name) hold switch `name` (without its
// slash, e.g. "S") as a whole argument: "/S", not "/SILENT" nor "/S=1". A switch inside
// the value of an earlier "/D=" does not count.
int HasSwitch(const char* args, const char* name);

// 1 when `args` hold switch "/NAME=" (`name` without slash and sign), whatever its value.
int HasValueSwitch(const char* args, const char* name);

// The value of switch "/NAME=" in `args` into `out` (room in characters including the
// terminator): the text up to its closing quote when it begins with one, otherwise up
// to the next blank (for "/D=" the rest of the line up to a blank that "/S", "/LOG=" or
// "/NORESTART" follows, without trailing blanks). 1 when the switch is there and its
// value fits whole; 0 otherwise, with `out` empty.
int SwitchValue(const char* args, const char* name, char* out, int room);
