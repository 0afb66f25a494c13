#include "support/files.h"
#include <algorithm>

bool ReadFileText(const std::string& path, std::string* data)
{
    data->clear();
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got)
        data->append(buf, got);
    CloseHandle(f);
    return true;
}

std::string ReadFileText(const std::string& path)
{
    std::string data;
    ReadFileText(path, &data);
    return data;
}

bool WriteFileText(const std::string& path, const std::string& data)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    bool ok = WriteFile(f, data.data(), (DWORD)data.size(), &put, nullptr) && put == data.size();
    CloseHandle(f);
    return ok;
}

bool WriteFileText(const std::string& path, const std::vector<BYTE>& data)
{
    return WriteFileText(path, std::string(data.begin(), data.end()));
}

bool FileExists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeDirs(const std::string& path)
{
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') {
            std::string part = path.substr(0, i);
            if (!DirExists(part) && !CreateDirectoryA(part.c_str(), nullptr))
                return false;
        }
    }
    return DirExists(path);
}

bool RemoveTree(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return true;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(a & FILE_ATTRIBUTE_DIRECTORY))
        return DeleteFileA(path.c_str()) != 0;
    for (const std::string& name : ListNames(path))
        RemoveTree(path + "\\" + name);
    RemoveDirectoryA(path.c_str());
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool CopyTree(const std::string& from, const std::string& to)
{
    if (!MakeDirs(to) || !DirExists(from))
        return false;
    bool ok = true;
    for (const std::string& name : ListNames(from)) {
        const std::string src = from + "\\" + name, dst = to + "\\" + name;
        if (DirExists(src))
            ok &= CopyTree(src, dst);
        else
            ok &= CopyFileA(src.c_str(), dst.c_str(), FALSE) != 0;
    }
    return ok;
}

std::vector<std::string> ListNames(const std::string& dir, const char* pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\" + pattern).c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string n = fd.cFileName;
            if (n != "." && n != "..")
                names.push_back(n);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ListDir(const std::string& dir)
{
    std::string all;
    for (const std::string& n : ListNames(dir))
        all += (all.empty() ? "" : " ") + n;
    return all;
}

ScratchDir::ScratchDir(const char* prefix)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    // A name no other directory has: a program that crashed may have left its own.
    static unsigned serial;
    for (;;) {
        char name[MAX_PATH];
        wsprintfA(name, "%s%s%lu_%u", temp, prefix, GetCurrentProcessId(), ++serial);
        if (CreateDirectoryA(name, nullptr)) {
            path = name;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return; // path stays empty
    }
}

ScratchDir::~ScratchDir()
{
    if (!path.empty())
        RemoveTree(path);
}
