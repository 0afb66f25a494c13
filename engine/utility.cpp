// The resident mouse utility holds the package's files open while it runs: the setup
// asks it to close before copying, the uninstaller before removing.
#include "engine/utility.h"
#include "base/log.h"

int CloseUtility(UINT timeoutMs)
{
    HWND utility = FindWindowA(nullptr, kUtilityTitle);
    if (!utility) {
        LogLine("resident utility: not running");
        return 0;
    }
    // Its answer does not matter; a utility that hangs must not hold the setup.
    DWORD_PTR answer;
    SendMessageTimeoutA(utility, WM_CLOSE, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &answer);
    LogLine("resident utility: asked to close, %s", IsWindow(utility) ? "still running after the wait" : "closed");
    return 1;
}
