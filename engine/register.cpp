// System registration: writes the entries of the registration table (engine/registration.h)
// for the run's destination, through the run's registry journal, so that an installation
// that does not finish takes them back. An entry that cannot be written is named among
// the failures; the next step still runs.
#include "engine/register.h"
#include "engine/commit.h"
#include "engine/registration.h"
#include "base/fileversion.h"
#include "base/log.h"
#include "base/path.h"
#include "base/text.h"

namespace {

// The decimal number `text` begins with.
DWORD Number(const char* text)
{
    DWORD n = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        n = n * 10 + (DWORD)(*text - '0');
    return n;
}

// The data read from what the run put in place: the utility's version texts (from the
// file that is the utility after this installation, its staged file while that waits for
// the restart) and the installed files' size in KB. Empty when there is none.
void ComposeInstalledData(const Installation* run, RegData data, char* out, int room)
{
    out[0] = '\0';
    if (data == RegData::InstalledSize) {
        wsprintfA(out, "%lu", (unsigned long)((InstalledBytes(run) + 1023) / 1024));
        return;
    }
    char utility[kPathRoom], file[MAX_PATH];
    if (!g_utilityFile[0] || !TextCopy(utility, run->dest) || !PathAppend(utility, g_utilityFile) ||
        !InstalledCopy(run, utility, file))
        return;
    ReadVersionText(file, data == RegData::UtilityVersion ? "ProductVersion" : "CompanyName", out, room);
}

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
        if (composed && RegDataDescribes(value.data))
            ComposeInstalledData(run, value.data, data, kPathRoom);
        if (composed && !data[0] && RegDataOptional(value.data))
            continue;
        if (composed)
            LogLine("registry %s\\%s [%s] = %s", RegRootName(step.root), step.key, value.name ? value.name : "(default)",
                    data);
        // A number goes as REG_DWORD, everything else as text with its terminator.
        const DWORD type = RegDataType(value.data), number = Number(data);
        const void* bytes = type == REG_DWORD ? static_cast<const void*>(&number) : data;
        const DWORD size = type == REG_DWORD ? sizeof number : (DWORD)lstrlenA(data) + 1;
        if (!composed || !JournalSetValue(&run->journal, root, step.key, value.name, type, bytes, size)) {
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
