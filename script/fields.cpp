// The field splitter for the comma-separated lines of the disk sections and PM Info.
#include "script/fields.h"
#include "base/globals.h"

const char* NextField(const char* pos, char* field)
{
    int len = 0;
    bool started = false;
    while (*pos && *pos != ',') {
        // Only the space is a blank here; tabs and other white space are kept.
        if (*pos != ' ')
            started = true;
        // A field longer than its room is cut there; the rest up to the comma is skipped
        // so that the next field still starts in the right place.
        if (started && len < kTextRoom - 1)
            field[len++] = *pos;
        ++pos;
    }
    while (len > 0 && field[len - 1] == ' ')
        --len;
    field[len] = '\0';
    return *pos == ',' ? pos + 1 : pos;
}
