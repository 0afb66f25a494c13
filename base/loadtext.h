// The string-table loader: every text the program shows, and the setup script's section
// and key names, are string-table entries.
#pragma once

// Loads string-table entry `id` into the next of four rotating 128-character buffers
// and returns it, or nullptr when the table has no such entry. Four, so that a caller can
// hold a section and a key name, or a format and its arguments, at once.
const char* LoadText(int id);
