#include "tools/common/expand.h"
#include "base/text.h"
#include <lzexpand.h>

LONG ExpandFile(const char* source, const char* target)
{
    // LZOpenFileA takes writable names.
    char in[MAX_PATH], out[MAX_PATH];
    if (!TextCopy(in, source) || !TextCopy(out, target))
        return LZERROR_BADINHANDLE;
    OFSTRUCT ofIn = {}, ofOut = {};
    INT src = LZOpenFileA(in, &ofIn, OF_READ);
    if (src < 0)
        return src;
    INT dst = LZOpenFileA(out, &ofOut, OF_CREATE);
    LONG result = dst < 0 ? dst : LZCopy(src, dst);
    if (dst >= 0)
        LZClose(dst);
    LZClose(src);
    return result;
}

int ReadWholeFile(const char* path, std::string* data)
{
    data->clear();
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    data->resize(GetFileSize(f, nullptr));
    DWORD got = 0;
    if (!data->empty())
        ReadFile(f, &(*data)[0], (DWORD)data->size(), &got, nullptr);
    data->resize(got);
    CloseHandle(f);
    return 1;
}

LONG ExpandToScratch(const char* source, std::string* data)
{
    char temp[MAX_PATH], scratch[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    GetTempFileNameA(temp, "lzx", 0, scratch);
    LONG result = ExpandFile(source, scratch);
    if (data)
        ReadWholeFile(scratch, data);
    DeleteFileA(scratch);
    return result;
}
