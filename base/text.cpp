#include "base/text.h"

int TextCopy(char* dst, int room, const char* src)
{
    if (room <= 0)
        return 0;
    dst[0] = '\0';
    return TextAppend(dst, room, src);
}

int TextAppend(char* dst, int room, const char* src)
{
    if (room <= 0)
        return 0;
    int len = 0;
    while (len < room && dst[len])
        ++len;
    if (len >= room) { // not terminated within its room: terminate at the edge
        dst[room - 1] = '\0';
        return 0;
    }
    if (!src)
        return 1;
    while (*src && len < room - 1)
        dst[len++] = *src++;
    dst[len] = '\0';
    return *src == '\0';
}
