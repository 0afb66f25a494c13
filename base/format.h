// Texts with arguments: a string-table entry, or a format already in hand, filled in
// with wsprintf's rules and kept within the room of the buffer that receives it.
#pragma once

// Formats string-table text `id` with the arguments into `out` (room in characters
// including the terminator), cut at the room and always terminated. A missing entry
// gives an empty text. 1 when the whole text fitted.
int FormatText(char* out, int room, int id, ...);
// The same with the format given instead of a string-table number.
int FormatWith(char* out, int room, const char* format, ...);
