// The plain and compressed samples the build writes beside the install tests' program
// (make-sample.sh): samples\SAMPLE.BIN and its compressed form samples\SAMPLE.BI_.
#pragma once
#include <windows.h>
#include <string>

inline std::string SampleDir()
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string dir = exe;
    return dir.substr(0, dir.rfind('\\')) + "\\samples";
}
