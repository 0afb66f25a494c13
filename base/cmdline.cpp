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

// Past the argument at `p`: to the next blank outside quotes, or to the line's end for a
// "/NAME=" switch whose value is not quoted (it takes the rest of the line).
const char* SkipArgument(const char* p)
{
    const bool isSwitch = *p == '/';
    bool quoted = false;
    for (; *p && (quoted || !Blank(*p)); ++p) {
        if (*p == '"')
            quoted = !quoted;
        else if (isSwitch && *p == '=' && !quoted && p[1] != '"')
            return p + lstrlenA(p);
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
        p = SkipArgument(p);
    }
}

} // namespace

int HasSwitch(const char* args, const char* name)
{
    return FindSwitch(args, name, false) != nullptr;
}

int SwitchValue(const char* args, const char* name, char* out, int room)
{
    if (room <= 0)
        return 0;
    out[0] = '\0';
    const char* p = FindSwitch(args, name, true);
    if (!p)
        return 0;
    p += 1 + lstrlenA(name) + 1; // past "/NAME="
    const char* end;
    if (*p == '"') {
        end = ++p;
        while (*end && *end != '"')
            ++end;
    } else {
        end = p + lstrlenA(p);
        while (end > p && Blank(end[-1]))
            --end;
    }
    const int len = (int)(end - p);
    if (len >= room)
        return 0;
    lstrcpynA(out, p, len + 1);
    return 1;
}
