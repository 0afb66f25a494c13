// The default destination directory from the script's DefaultPath.
#include "script/script.h"
#include "base/globals.h"
#include "base/text.h"

namespace {

const char kProgramFilesFallback[] = "C:\\Program Files";

const char kBuiltInDestination[] = "C:\\VELAN";

// The drive form: the value with its drive letter replaced by the Windows directory's.
void TakeDriveForm(const char* value)
{
    TextCopy(g_destDir, value);
    if (g_windowsDir[0])
        g_destDir[0] = g_windowsDir[0];
}

// ProgramFilesDir of the registry into `out` (room kPathRoom). The key must open with full
// access; a value that is missing, empty, not a string or too long for the room counts as
// unreadable. Either way the fallback is "C:\Program Files", so the destination never
// starts with a bare backslash nor holds a cut directory.
void ReadProgramFilesDir(char* out)
{
    TextCopy(out, kPathRoom, kProgramFilesFallback);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    char value[kPathRoom + 1];
    DWORD type = 0;
    DWORD size = kPathRoom;
    LONG result = RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type, (BYTE*)value, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ || size > kPathRoom)
        return;
    value[size] = '\0'; // stored data need not carry its terminator
    if (value[0] && lstrlenA(value) < kPathRoom)
        TextCopy(out, kPathRoom, value);
}

} // namespace

void SetDestinationFromDefaultPath(const char* value)
{
    if (lstrlenA(value) > 2 && value[1] == ':') {
        TakeDriveForm(value);
        return;
    }
    char dest[kPathRoom];
    ReadProgramFilesDir(dest);
    int whole = 1;
    if (value[0] != '\\')
        whole = TextAppend(dest, "\\");
    if (whole)
        whole = TextAppend(dest, value);
    // A relative path too long for the room is not cut into some other directory: the
    // product's own default in the drive form is taken instead.
    if (whole)
        TextCopy(g_destDir, dest);
    else
        TakeDriveForm(kBuiltInDestination);
}
