#include "files.h"
#include <algorithm>
#include <vector>

std::string ReadWhole(const std::string& path, bool* ok)
{
    std::string data;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (ok)
        *ok = f != INVALID_HANDLE_VALUE;
    if (f == INVALID_HANDLE_VALUE)
        return data;
    char buf[4096];
    DWORD got;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got)
        data.append(buf, got);
    CloseHandle(f);
    return data;
}

bool WriteWhole(const std::string& path, const std::string& data)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    bool ok = WriteFile(f, data.data(), (DWORD)data.size(), &put, nullptr) && put == data.size();
    CloseHandle(f);
    return ok;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ListDir(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string n = fd.cFileName;
            if (n != "." && n != "..")
                names.push_back(n);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    std::sort(names.begin(), names.end());
    std::string all;
    for (const std::string& n : names)
        all += (all.empty() ? "" : " ") + n;
    return all;
}

void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string n = fd.cFileName;
            if (n == "." || n == "..")
                continue;
            std::string p = dir + "\\" + n;
            SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(p);
            else
                DeleteFileA(p.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(dir.c_str());
}

std::string SampleDir()
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string dir = exe;
    return dir.substr(0, dir.rfind('\\')) + "\\samples";
}

ScratchDir::ScratchDir()
{
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    for (unsigned n = GetTickCount() & 0xFFFF;; ++n) {
        char name[MAX_PATH];
        wsprintfA(name, "%sinst%04X", tmp, n & 0xFFFF);
        if (CreateDirectoryA(name, nullptr)) {
            path = name;
            break;
        }
    }
}

ScratchDir::~ScratchDir()
{
    RemoveTree(path);
}
