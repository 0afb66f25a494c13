// What one installation could not install or write: the log's lines and the list the
// warning after the copy shows.
#pragma once
#include "engine/registration.h"

// The heading, ten lines of a name (14) and the longest reason, and the closing count.
constexpr int kFailedListRoom = 1024;

struct FailedList {
    int count;                  // everything noted, shown or not
    char text[kFailedListRoom]; // the first ten, one per line
};

// Notes file `name` as not installed for the reason string `reason`.
void NoteFailedFile(FailedList* list, const char* name, int reason);
// Notes registry value `value` (nullptr: the default value) of `key` as not written,
// named as the list names a file: root \ key \ value.
void NoteFailedEntry(FailedList* list, RegRoot root, const char* key, const char* value);
// The warning's text: the heading, at most ten lines, then how many more. `out` of `room`.
void FailedListText(const FailedList* list, char* out, int room);
