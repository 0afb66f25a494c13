// Joining and comparing paths: one backslash between parts, and the plain form in which
// two spellings of one path become equal.
#include "base/path.h"
#include "base/text.h"
#include <windows.h>

int PathAppend(char* dst, int room, const char* part)
{
    if (room <= 0)
        return 0;
    while (*part == '\\')
        ++part;
    if (!*part)
        return TextAppend(dst, room, "");
    const int len = lstrlenA(dst);
    if (len > 0 && dst[len - 1] != '\\' && !TextAppend(dst, room, "\\"))
        return 0;
    return TextAppend(dst, room, part);
}

int PlainPath(const char* path, char* out, int room)
{
    if (room <= 0)
        return 0;
    if (path[0] == '\\' && path[1] == '?' && path[2] == '?' && path[3] == '\\')
        path += 4;
    // The part that ".." never takes away: "X:\" of a drive, "\\" of a share, or "\".
    int len = 0;
    int floor = 0;
    auto put = [&](char c) {
        if (len >= room - 1)
            return false;
        out[len++] = c;
        return true;
    };
    const char* p = path;
    if (p[0] && p[1] == ':') {
        if (!put(p[0]) || !put(':'))
            return out[0] = '\0', 0;
        p += 2;
    }
    const bool rooted = *p == '\\' || *p == '/';
    if (rooted) {
        if (!put('\\'))
            return out[0] = '\0', 0;
        // A share's "\\server" keeps its two backslashes.
        if (len == 1 && (p[1] == '\\' || p[1] == '/') && !put('\\'))
            return out[0] = '\0', 0;
    }
    floor = len;
    while (*p) {
        while (*p == '\\' || *p == '/')
            ++p;
        const char* start = p;
        while (*p && *p != '\\' && *p != '/')
            ++p;
        const int n = (int)(p - start);
        if (n == 0 || (n == 1 && start[0] == '.'))
            continue;
        if (n == 2 && start[0] == '.' && start[1] == '.') {
            // Back to the backslash before the last part, never below the floor.
            while (len > floor && out[len - 1] != '\\')
                --len;
            if (len > floor)
                --len;
            continue;
        }
        if (len > floor && !put('\\'))
            return out[0] = '\0', 0;
        for (int i = 0; i < n; ++i)
            if (!put(start[i]))
                return out[0] = '\0', 0;
    }
    out[len] = '\0';
    return 1;
}

int SamePath(const char* a, const char* b)
{
    char pa[MAX_PATH], pb[MAX_PATH];
    return PlainPath(a, pa, MAX_PATH) && PlainPath(b, pb, MAX_PATH) && lstrcmpiA(pa, pb) == 0;
}

int PathInside(const char* path, const char* dir)
{
    char pp[MAX_PATH], pd[MAX_PATH];
    if (!PlainPath(path, pp, MAX_PATH) || !PlainPath(dir, pd, MAX_PATH))
        return 0;
    const int n = lstrlenA(pd);
    if (n == 0 || lstrlenA(pp) <= n)
        return 0;
    // The directory's plain form ends in a backslash only at a root ("C:\").
    const bool root = pd[n - 1] == '\\';
    if (!root && pp[n] != '\\')
        return 0;
    char head[MAX_PATH];
    lstrcpynA(head, pp, n + 1);
    return lstrcmpiA(head, pd) == 0;
}
