// setup.exe's switches, and /S: the Typical installation as the wizard makes it, for a
// deployment tool that reads the exit code instead of a user who reads the pages.
#include "app/unattended.h"
#include "base/cmdline.h"
#include "base/loadtext.h"
#include "base/log.h"
#include "engine/installation.h"
#include "engine/utility.h"
#include "pages/pages.h"

int ReadRunOptions(const char* args, RunOptions* out)
{
    *out = RunOptions{};
    out->silent = HasSwitch(args, "S");
    out->noRestart = HasSwitch(args, "NORESTART");
    int valid = 1;
    if (HasValueSwitch(args, "D"))
        valid = SwitchValue(args, "D", out->dest, kPathRoom) && out->dest[0];
    if (HasValueSwitch(args, "LOG"))
        valid = SwitchValue(args, "LOG", out->log, MAX_PATH) && out->log[0] && valid;
    out->reported = out->silent || out->noRestart || HasValueSwitch(args, "D") || HasValueSwitch(args, "LOG");
    return valid;
}

Outcome RunUnattended()
{
    int created = 0;
    const int refusal = CheckDestination(g_destDir, g_minimumSpace, &created);
    if (refusal) {
        LogLine("destination %s refused: %s", g_destDir, LoadText(refusal));
        return Outcome::Failed;
    }
    Installation run = {};
    run.utilityWasRunning = CloseUtility(kUtilityWait);
    return RunInstallation(&run, g_destDir, created, nullptr);
}
