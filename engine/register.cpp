// System registration: writes the entries of the registration table (engine/registration.h)
// for the run's destination, through the run's registry journal, so that an installation
// that does not finish takes them back. An entry that cannot be written is named among
// the failures; the next step still runs.
#include "engine/register.h"
#include "engine/registration.h"
#include "base/log.h"

namespace {

int WriteKey(Installation* run, const RegStep& step)
{
    HKEY root = RegRootKey(step.root);
    if (step.kind == RegKey::Emptied) {
        // Only an empty key goes; one that still holds other handlers' subkeys stays and
        // is reopened by the next step.
        JournalDeleteEmptyKey(&run->journal, root, step.key);
        return 1;
    }
    if (StepNamesNoProgram(step)) {
        LogLine("skipped registry %s\\%s: the script names no program", RegRootName(step.root), step.key);
        return 1;
    }
    int whole = 1;
    for (const RegValue& value : step.values) {
        if (value.data == RegData::None)
            continue;
        // A value that does not fit whole would point at a wrong file: not written.
        char data[kPathRoom];
        const int composed = ComposeRegData(value, run->dest, data);
        if (composed)
            LogLine("registry %s\\%s [%s] = %s", RegRootName(step.root), step.key, value.name ? value.name : "(default)",
                    data);
        if (!composed ||
            !JournalSetValue(&run->journal, root, step.key, value.name, REG_SZ, data, (DWORD)lstrlenA(data) + 1)) {
            NoteFailedEntry(&run->failed, step.root, step.key, value.name);
            whole = 0;
        }
    }
    return whole;
}

} // namespace

int RegisterSystem(Installation* run)
{
    int whole = 1;
    for (const RegStep& step : kRegSteps)
        whole = WriteKey(run, step) && whole;
    return whole;
}
