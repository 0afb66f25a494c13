// The machine-wide lock of the package's setup and uninstaller: a named mutex, in the
// global namespace where the system has one, so that a second session's run sees it too.
#include "engine/runlock.h"
#include <windows.h>

namespace {

constexpr char kGlobalName[] = "Global\\ZaderUvori setup and uninstall";
constexpr char kLocalName[] = "ZaderUvori setup and uninstall";

} // namespace

int TakeRunLock()
{
    // Without sessions (NT 4.0) a backslash is no namespace but an invalid name: the plain
    // name is then the machine's only namespace anyway.
    HANDLE lock = CreateMutexA(nullptr, FALSE, kGlobalName);
    if (!lock)
        lock = CreateMutexA(nullptr, FALSE, kLocalName);
    if (!lock)
        return 1; // nothing to hold: a lock that cannot be made must not stop the run
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(lock);
        return 0;
    }
    return 1; // the handle stays open until the process ends
}
