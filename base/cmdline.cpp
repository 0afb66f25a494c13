// Finding switches on a command line. The arguments are walked one by one, as the
// platform splits them (blanks between, quotes keep blanks inside); an unquoted "/D="
// value is the rest of the line up to the next of setup.exe's own switches.
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

// The switches setup.exe knows besides "/D=": standing alone, or with a value.
constexpr struct {
    const char* name;
    bool valued;
} kOurSwitches[] = {{"S", false}, {"NORESTART", false}, {"LOG", true}};

// Where the unquoted value of "/D=" at `p` ends: at the line's end, or at a blank that one
// of our switches follows (quoted whole or not). A folder name holds no slash, so such a
// blank cannot lie inside a path: "/D=C:\X /S /LOG=C:.log" is three switches.
const char* RestEnd(const char* p)
{
    for (; *p; ++p) {
        if (!Blank(*p))
            continue;
        const char* next = p + 1;
        while (Blank(*next))
            ++next;
        if (*next == '"')
            ++next;
        for (const auto& known : kOurSwitches)
            if (IsSwitch(next, known.name, known.valued))
                return p;
    }
    return p;
}

// Past the argument at `p`: to the next blank outside quotes, or for "/D=" with a value
// that is not quoted, to the end of that value.
const char* SkipArgument(const char* p)
{
    if (TakesTheRest(p) && p[3] != '"')
        return RestEnd(p);
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
        end = RestEnd(p);
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
