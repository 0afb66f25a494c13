// The fixed file version of a program or library, and the texts of its version resource,
// read with the system's loader alone (no version library).
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

// The version resource of a file mapped as data: where it is and how long.
struct Resource {
    const BYTE* data;
    DWORD size;
};

// Called for each version resource of the file (there is one): takes the first.
BOOL CALLBACK FromResource(HMODULE file, LPCSTR type, LPSTR name, LONG_PTR found)
{
    HRSRC r = FindResourceA(file, name, type);
    HGLOBAL loaded = r ? LoadResource(file, r) : nullptr;
    Resource* out = (Resource*)found;
    out->data = loaded ? (const BYTE*)LockResource(loaded) : nullptr;
    out->size = out->data ? SizeofResource(file, r) : 0;
    return out->data ? FALSE : TRUE;
}

// Maps `path` as data and finds its version resource. The module, to be freed, or nullptr.
// Mapped as data: nothing of the file runs, and a file of the same name that this process
// has loaded is not the one read. A file that another program holds open without sharing
// cannot be mapped: it reads as one without a version.
HMODULE MapVersion(const char* path, Resource* found)
{
    *found = Resource{};
    HMODULE file = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (file)
        EnumResourceNamesA(file, (LPCSTR)RT_VERSION, FromResource, (LONG_PTR)found);
    return file;
}

// One block of the version resource: a length, a value length, a type, a key in UTF-16
// (terminated), then the value and the child blocks, each on a 4-byte boundary from the
// resource's start.
struct Block {
    const WCHAR* key;
    const BYTE* value;    // the value: UTF-16 text (type 1) or bytes
    DWORD valueBytes;
    const BYTE* children; // the first child block
    const BYTE* end;      // just after the block
};

// The block at `at`, inside [base, limit). 0 when it does not lie whole there.
int ReadBlock(const BYTE* base, const BYTE* at, const BYTE* limit, Block* b)
{
    auto aligned = [base](const BYTE* p) { return base + ((p - base + 3) & ~3); };
    if (at < base || limit - at < 6)
        return 0;
    const WORD* head = (const WORD*)at;
    if (head[0] < 6 || head[0] > limit - at)
        return 0;
    b->end = at + head[0];
    b->key = (const WCHAR*)(at + 6);
    const WCHAR* k = b->key;
    while ((const BYTE*)(k + 1) <= b->end && *k)
        ++k;
    if ((const BYTE*)(k + 1) > b->end)
        return 0; // no terminator inside the block
    b->value = aligned((const BYTE*)(k + 1));
    if (b->value > b->end)
        b->value = b->end;
    // Cut at the block's end: some tools count a text's length in bytes, not characters.
    b->valueBytes = head[2] == 1 ? head[1] * 2u : head[1];
    if (b->valueBytes > (DWORD)(b->end - b->value))
        b->valueBytes = (DWORD)(b->end - b->value);
    b->children = aligned(b->value + b->valueBytes);
    return 1;
}

// 1 when UTF-16 `key` is the ASCII text `name`.
int KeyIs(const WCHAR* key, const char* name)
{
    for (; *name; ++key, ++name)
        if (*key != (WCHAR)(BYTE)*name)
            return 0;
    return *key == 0;
}

// The child of `parent` whose key is `name` (nullptr: the first child) in `*found`.
int FindChild(const BYTE* base, const Block& parent, const char* name, Block* found)
{
    const BYTE* at = parent.children;
    while (at < parent.end && ReadBlock(base, at, parent.end, found)) {
        if (!name || KeyIs(found->key, name))
            return 1;
        at = base + ((found->end - base + 3) & ~3);
    }
    return 0;
}

} // namespace

int ReadFileVersion(const char* path, DWORD* ms, DWORD* ls)
{
    Resource r;
    HMODULE file = MapVersion(path, &r);
    if (!file)
        return 0;
    const VS_FIXEDFILEINFO* fixed = r.data ? FindFixedInfo(r.data, r.size) : nullptr;
    if (fixed) {
        *ms = fixed->dwFileVersionMS;
        *ls = fixed->dwFileVersionLS;
    }
    FreeLibrary(file);
    return fixed != nullptr;
}

int ReadVersionText(const char* path, const char* name, char* out, int room)
{
    if (room > 0)
        out[0] = '\0';
    Resource r;
    HMODULE file = MapVersion(path, &r);
    if (!file)
        return 0;
    // VS_VERSION_INFO \ StringFileInfo \ the first table (one per language) \ `name`.
    Block root, strings, table, text;
    int found = r.data && room > 1 && ReadBlock(r.data, r.data, r.data + r.size, &root) &&
                FindChild(r.data, root, "StringFileInfo", &strings) && FindChild(r.data, strings, nullptr, &table) &&
                FindChild(r.data, table, name, &text);
    if (found) {
        // The value's characters up to its terminator, converted only when they fit whole.
        const WCHAR* value = (const WCHAR*)text.value;
        int chars = 0;
        while (chars < (int)(text.valueBytes / 2) && value[chars])
            ++chars;
        const int len = chars ? WideCharToMultiByte(CP_ACP, 0, value, chars, out, room - 1, nullptr, nullptr) : 0;
        out[len > 0 ? len : 0] = '\0';
        found = len > 0;
    }
    FreeLibrary(file);
    return found;
}

void FormatFileVersion(DWORD ms, DWORD ls, char* out, int room)
{
    char text[48];
    wsprintfA(text, "%u.%u.%u.%u", (unsigned)HIWORD(ms), (unsigned)LOWORD(ms), (unsigned)HIWORD(ls),
              (unsigned)LOWORD(ls));
    TextCopy(out, room, text);
}
