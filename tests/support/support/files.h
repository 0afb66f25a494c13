// Files and folders for the tests: whole-file reads and writes, directory trees made,
// listed, copied and removed, and a scratch folder of the test's own.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// The whole content of a file into `data`; false when it cannot be opened. Opened
// shared, so a log another process still writes can be read.
bool ReadFileText(const std::string& path, std::string* data);
// The same, "" when the file cannot be read.
std::string ReadFileText(const std::string& path);
// Writes `data` as the file's whole content; true when all of it was written.
bool WriteFileText(const std::string& path, const std::string& data);
bool WriteFileText(const std::string& path, const std::vector<BYTE>& data);

bool FileExists(const std::string& path);
bool DirExists(const std::string& path);
// Makes the directory with every missing parent (a path "X:\..."); true when it is
// there afterwards.
bool MakeDirs(const std::string& path);
// Removes a file or a directory tree, clearing read-only attributes on the way; true
// when nothing is left.
bool RemoveTree(const std::string& path);
// Copies a directory tree into `to`, made when missing; true when every file copied.
bool CopyTree(const std::string& from, const std::string& to);
// Names in `dir` matching `pattern` (without . and ..), sorted.
std::vector<std::string> ListNames(const std::string& dir, const char* pattern = "*");
// Every name in `dir`, sorted, joined by blanks.
std::string ListDir(const std::string& dir);

// A fresh empty directory under the temporary directory, removed with everything in it
// when the object goes.
struct ScratchDir {
    std::string path;
    explicit ScratchDir(const char* prefix = "tst");
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string operator/(const std::string& name) const { return path + "\\" + name; }
};
