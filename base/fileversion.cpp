// The fixed file version of a program or library, read from its version resource with
// the system's loader alone (no version library).
#include "base/fileversion.h"
#include "base/text.h"

namespace {

// The signature that opens the fixed part of a version resource.
constexpr DWORD kFixedSignature = 0xFEEF04BD;

// The fixed part inside the resource's `size` bytes: the first DWORD on a 4-byte
// boundary that holds the signature, with room for the whole structure after it.
const VS_FIXEDFILEINFO* FindFixedInfo(const BYTE* data, DWORD size)
{
    for (DWORD at = 0; at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4)
        if (*(const DWORD*)(data + at) == kFixedSignature)
            return (const VS_FIXEDFILEINFO*)(data + at);
    return nullptr;
}

// Called for each version resource of the file (there is one): takes the versions from
// the first whose fixed part is found.
BOOL CALLBACK FromResource(HMODULE file, LPCSTR type, LPSTR name, LONG_PTR versions)
{
    HRSRC found = FindResourceA(file, name, type);
    HGLOBAL loaded = found ? LoadResource(file, found) : nullptr;
    const BYTE* data = loaded ? (const BYTE*)LockResource(loaded) : nullptr;
    const VS_FIXEDFILEINFO* fixed = data ? FindFixedInfo(data, SizeofResource(file, found)) : nullptr;
    if (!fixed)
        return TRUE;
    DWORD* out = (DWORD*)versions;
    out[0] = fixed->dwFileVersionMS;
    out[1] = fixed->dwFileVersionLS;
    out[2] = 1;
    return FALSE;
}

} // namespace

int ReadFileVersion(const char* path, DWORD* ms, DWORD* ls)
{
    // Mapped as data: nothing of the file runs, and a file of the same name that this
    // process has loaded is not the one read. A file that another program holds open
    // without sharing cannot be mapped: it reads as one without a version.
    HMODULE file = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!file)
        return 0;
    DWORD versions[3] = {0, 0, 0}; // ms, ls, found
    EnumResourceNamesA(file, (LPCSTR)RT_VERSION, FromResource, (LONG_PTR)versions);
    FreeLibrary(file);
    if (!versions[2])
        return 0;
    *ms = versions[0];
    *ls = versions[1];
    return 1;
}

void FormatFileVersion(DWORD ms, DWORD ls, char* out, int room)
{
    char text[48];
    wsprintfA(text, "%u.%u.%u.%u", (unsigned)HIWORD(ms), (unsigned)LOWORD(ms), (unsigned)HIWORD(ls),
              (unsigned)LOWORD(ls));
    TextCopy(out, room, text);
}
