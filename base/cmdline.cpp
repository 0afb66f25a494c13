// Finding switches on a command line. The arguments are walked one by one, as the
// platform splits them (blanks between, quotes keep blanks inside); a "/NAME=" argument
// with an unquoted value ends the walk, since its value is the rest of the line.
#include "base/cmdline.h"
#include "base/text.h"
#include <windows.h>

namespace {

bool Blank(char c)
{
    return c == ' ' || c == '\t';
}

// The argument at `p` (not blank) is "/<name>" followed by `end`: '=' for a valued
// switch, a blank or the line's end for one that stands alone.
bool IsSwitch(const char* p, const char* name, bool valued)
{
    if (*p != '/')
        return false;
    ++p;
    // Switch names are plain letters: case folds within ASCII.
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c; };
    for (; *name; ++p, ++name)
        if (!*p || upper(*p) != upper(*name))
            return false;
    return valued ? *p == '=' : !*p || Blank(*p);
}

// 1 for the switch whose unquoted value is the rest of the line: "/D=", the destination,
// so that a path with blanks needs no quotes (it comes last).
bool TakesTheRest(const char* p)
{
    return p[0] == '/' && (p[1] == 'D' || p[1] == 'd') && p[2] == '=';
}

// Past the argument at `p`: to the next blank outside quotes, or to the line's end for
// "/D=" with a value that is not quoted.
const char* SkipArgument(const char* p)
{
    if (TakesTheRest(p) && p[3] != '"')
        return p + lstrlenA(p);
    bool quoted = false;
    for (; *p && (quoted || !Blank(*p)); ++p) {
        if (*p == '"')
            quoted = !quoted;
    }
    return p;
}

// The argument that is switch `name`, or nullptr.
const char* FindSwitch(const char* args, const char* name, bool valued)
{
    const char* p = args ? args : "";
    for (;;) {
        while (Blank(*p))
            ++p;
        if (!*p)
            return nullptr;
        if (IsSwitch(p, name, valued))
            return p;
        // A valued switch quoted whole, as a program that quotes every argument with a
        // blank passes it: "/D=C:\Program Files\Velan".
        if (valued && *p == '"' && IsSwitch(p + 1, name, true))
            return p;
        p = SkipArgument(p);
    }
}

} // namespace

int HasSwitch(const char* args, const char* name)
{
    return FindSwitch(args, name, false) != nullptr;
}

int HasValueSwitch(const char* args, const char* name)
{
    return FindSwitch(args, name, true) != nullptr;
}

int SwitchValue(const char* args, const char* name, char* out, int room)
{
    if (room <= 0)
        return 0;
    out[0] = '\0';
    const char* p = FindSwitch(args, name, true);
    if (!p)
        return 0;
    const bool quotedWhole = *p == '"';
    if (quotedWhole)
        ++p;
    const bool rest = TakesTheRest(p);
    p += 1 + lstrlenA(name) + 1; // past "/NAME="
    const char* end;
    if (quotedWhole) {
        end = p;
        while (*end && *end != '"')
            ++end;
    } else if (*p == '"') {
        end = ++p;
        while (*end && *end != '"')
            ++end;
    } else if (rest) {
        end = p + lstrlenA(p);
        while (end > p && Blank(end[-1]))
            --end;
    } else {
        end = p;
        while (*end && !Blank(*end))
            ++end;
    }
    const int len = (int)(end - p);
    if (len >= room)
        return 0;
    lstrcpynA(out, p, len + 1);
    return 1;
}
