// Paths and files for the driver: Unix paths of the build turned into Windows paths,
// directory trees made, copied and removed, and a test's own medium.
#include "driver.h"

std::string DosPath(const char* unixPath)
{
    // Wine's own conversion knows every drive mapping of the prefix; Z: is the fallback.
    typedef WCHAR* (CDECL * ToDos)(const char*);
    auto toDos = (ToDos)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name");
    if (toDos) {
        WCHAR* wide = toDos(unixPath);
        if (wide) {
            char buf[MAX_PATH * 2];
            int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, buf, sizeof buf, nullptr, nullptr);
            HeapFree(GetProcessHeap(), 0, wide);
            if (n > 0)
                return buf;
        }
    }
    std::string out = "Z:";
    for (const char* p = unixPath; *p; ++p)
        out += *p == '/' ? '\\' : *p;
    return out;
}

std::string BuildMedium()
{
    return DosPath(DRIVER_MEDIUM_DIR);
}

int DirExists(const char* path)
{
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

int FileExists(const char* path)
{
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

int MakeDirs(const char* path)
{
    std::string p = path;
    for (size_t i = 3; i <= p.size(); ++i) {
        if (i == p.size() || p[i] == '\\') {
            std::string part = p.substr(0, i);
            if (!DirExists(part.c_str()) && !CreateDirectoryA(part.c_str(), nullptr))
                return 0;
        }
    }
    return DirExists(path);
}

int RemoveTree(const char* path)
{
    DWORD a = GetFileAttributesA(path);
    if (a == INVALID_FILE_ATTRIBUTES)
        return 1;
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        return DeleteFileA(path) ? 1 : 0;
    }
    WIN32_FIND_DATAA fd;
    std::string pattern = std::string(path) + "\\*";
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!lstrcmpA(fd.cFileName, ".") || !lstrcmpA(fd.cFileName, ".."))
                continue;
            RemoveTree((std::string(path) + "\\" + fd.cFileName).c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path);
    return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
}

int CopyTree(const char* from, const char* to)
{
    if (!MakeDirs(to))
        return 0;
    WIN32_FIND_DATAA fd;
    std::string pattern = std::string(from) + "\\*";
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int ok = 1;
    do {
        if (!lstrcmpA(fd.cFileName, ".") || !lstrcmpA(fd.cFileName, ".."))
            continue;
        std::string src = std::string(from) + "\\" + fd.cFileName;
        std::string dst = std::string(to) + "\\" + fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok &= CopyTree(src.c_str(), dst.c_str());
        else
            ok &= CopyFileA(src.c_str(), dst.c_str(), FALSE) ? 1 : 0;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return ok;
}

int WriteFileText(const char* path, const std::string& text)
{
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    DWORD done = 0;
    BOOL ok = WriteFile(h, text.data(), (DWORD)text.size(), &done, nullptr);
    CloseHandle(h);
    return ok && done == text.size();
}

int ReadFileText(const char* path, std::string* text)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    text->clear();
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got)
        text->append(buf, got);
    CloseHandle(h);
    return 1;
}

int MakeMedium(const char* dir, const char* inf)
{
    if (!RemoveTree(dir) || !CopyTree(BuildMedium().c_str(), dir))
        return 0;
    if (!FileExists((std::string(dir) + "\\setup.exe").c_str()))
        return 0;
    return inf ? WriteFileText((std::string(dir) + "\\SETUP.INF").c_str(), inf) : 1;
}
