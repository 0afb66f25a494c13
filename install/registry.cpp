// System registration: writes the entries of the registration table (install/registration.h)
// for the current destination, through the registry journal, so that an installation that
// does not finish takes them back. An entry that cannot be written is named among the
// failures; the next step still runs.
#include "install/install.h"
#include "install/registration.h"
#include "base/globals.h"
#include "base/text.h"
#include "base/log.h"
#include "res/ids.h"

void NoteFailedEntry(RegRoot root, const char* key, const char* value)
{
    char name[kTextRoom * 3];
    TextCopy(name, RegRootName(root));
    TextAppend(name, "\\");
    TextAppend(name, key);
    if (value) {
        TextAppend(name, "\\");
        TextAppend(name, value);
    }
    NoteFailedFile(name, IDS_FAIL_WRITE);
}

namespace {

int WriteKey(const RegStep& step)
{
    HKEY root = RegRootKey(step.root);
    if (step.kind == RegKey::Emptied) {
        // Only an empty key goes; one that still holds other handlers' subkeys stays and
        // is reopened by the next step.
        JournalDeleteEmptyKey(root, step.key);
        return 1;
    }
    int whole = 1;
    for (const RegValue& value : step.values) {
        if (value.data == RegData::None)
            continue;
        // A value that does not fit whole would point at a wrong file: not written.
        char data[kPathRoom];
        const int composed = ComposeRegData(value, data);
        if (composed)
            LogLine("registry %s\\%s [%s] = %s", RegRootName(step.root), step.key, value.name ? value.name : "(default)",
                    data);
        if (!composed ||
            !JournalSetValue(root, step.key, value.name, REG_SZ, data, (DWORD)lstrlenA(data) + 1)) {
            NoteFailedEntry(step.root, step.key, value.name);
            whole = 0;
        }
    }
    return whole;
}

} // namespace

int RegisterSystem()
{
    int whole = 1;
    for (const RegStep& step : kRegSteps)
        whole = WriteKey(step) && whole;
    return whole;
}
