// The field splitter for the comma-separated lines of the disk sections and PM Info.
#pragma once

// Copies the next comma-separated field of `pos`, with the blanks around it dropped, into
// `field` (room 128; a longer field is cut to 127) and returns the position behind the
// field's comma (or the end).
const char* NextField(const char* pos, char* field);
