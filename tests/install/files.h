// File helpers for the install tests: a scratch directory of the test's own under the
// Wine prefix's temporary directory, whole-file reads and writes, the samples.
#pragma once
#include <windows.h>
#include <string>

// Whole content of a file; `ok` false when it cannot be read.
std::string ReadWhole(const std::string& path, bool* ok = nullptr);
bool WriteWhole(const std::string& path, const std::string& data);
bool Exists(const std::string& path);
// Names in `dir` (without . and ..), sorted, joined by blanks.
std::string ListDir(const std::string& dir);
// Removes a directory tree, clearing read-only attributes on the way.
void RemoveTree(const std::string& dir);
// Directory of the samples written beside the test program.
std::string SampleDir();

// A fresh empty directory, removed again at the end of the test.
struct ScratchDir {
    std::string path;
    ScratchDir();
    ~ScratchDir();
    std::string operator/(const std::string& name) const { return path + "\\" + name; }
};
