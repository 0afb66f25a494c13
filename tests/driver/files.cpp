// Paths for the driver: Unix paths of the build turned into Windows paths, and a test's
// own medium.
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

int MakeMedium(const char* dir, const char* inf)
{
    if (!RemoveTree(dir) || !CopyTree(BuildMedium(), dir))
        return 0;
    if (!FileExists(std::string(dir) + "\\setup.exe"))
        return 0;
    return inf ? WriteFileText(std::string(dir) + "\\SETUP.INF", inf) : 1;
}
