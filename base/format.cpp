// Formatting into a fixed room. wsprintfA writes up to 1024 characters whatever the
// buffer it is given: the text is formatted into a room of that size, then copied into
// the caller's room with the bounded copy.
#include "base/format.h"
#include "base/loadtext.h"
#include "base/text.h"
#include <windows.h>
#include <stdarg.h>

namespace {

int FormatArgs(char* out, int room, const char* format, va_list args)
{
    char formatted[1025];
    if (!format)
        formatted[0] = '\0';
    else
        wvsprintfA(formatted, format, args);
    return TextCopy(out, room, formatted);
}

} // namespace

int FormatText(char* out, int room, int id, ...)
{
    va_list args;
    va_start(args, id);
    const int whole = FormatArgs(out, room, LoadText(id), args);
    va_end(args);
    return whole;
}

int FormatWith(char* out, int room, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int whole = FormatArgs(out, room, format, args);
    va_end(args);
    return whole;
}
