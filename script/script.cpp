// The setup-script reader: fills the global settings from SETUP.INF in the program
// directory and builds the install plan on the way.
#include "script/script.h"
#include "script/fields.h"
#include "base/loadtext.h"
#include "script/plan.h"
#include "base/globals.h"
#include "base/text.h"
#include "base/path.h"
#include "res/ids.h"

static_assert(kProgramItems * sizeof(ProgramItem) == kPlanTailBytes, "the items fill the plan's tail");

ProgramItem* g_programItems[kProgramItems];

namespace {

// Path of the script being read; empty when there is none to read.
char s_scriptPath[MAX_PATH];

void ReadText(int sectionId, int keyId, const char* def, char* out, int room)
{
    ReadScriptText(sectionId, LoadText(keyId), def, out, room);
}

int ReadInt(int sectionId, int keyId, int def)
{
    return ReadScriptInt(sectionId, LoadText(keyId), def);
}

short ClampShort(int value, int low, int high)
{
    return (short)(value < low ? low : value > high ? high : value);
}

void ReadDiskLabels()
{
    g_diskCount = 0;
    for (int i = 0; i < kMaxDisks; ++i) {
        ReadText(IDS_DISKLABEL, IDS_DISK1 + i, "", g_diskLabels[i], kLabelRoom);
        if (g_diskLabels[i][0])
            ++g_diskCount;
    }
}

// Counts of the disks in use. A negative count is taken as 0; the total is capped at
// 32767 by cutting the count of the disk that would pass it (and of every later disk), so
// the total fits its 16 bits and the plan's block (at most 32767 * 176 + 600 bytes) is
// never sized from an overflowed or negative number.
void ReadFileCounts()
{
    int total = 0;
    for (int i = 0; i < kMaxDisks; ++i) {
        int count = 0;
        if (i < g_diskCount)
            count = ReadInt(IDS_FILECOUNTS, IDS_DISK1 + i, 0);
        count = ClampShort(count, 0, 32767 - total);
        g_fileCounts[i] = (short)count;
        total += count;
    }
    g_totalFiles = (short)total;
}

// Every line of every disk section, handed to the plan: keys 1 to the disk's file count.
void ReadDiskLines()
{
    LayOutDisks();
    for (int i = 0; i < g_diskCount; ++i) {
        for (int j = 0; j < g_fileCounts[i]; ++j) {
            char key[12];
            char line[kTextRoom];
            wsprintfA(key, "%d", j + 1);
            ReadScriptText(IDS_DISK1 + i, key, "", line, kTextRoom);
            FillPlanRecord(i, j, line);
        }
    }
}

// Program items from PM Info, keys 1 to 10, up to the first empty one, in the plan's
// tail behind the last disk's records.
void ReadProgramItems()
{
    g_programItems[0] = (ProgramItem*)g_diskStart[g_diskCount];
    for (int i = 1; i < kProgramItems; ++i)
        g_programItems[i] = g_programItems[i - 1] + 1;
    g_programItemCount = 0;
    for (int i = 0; i < kProgramItems; ++i) {
        char key[12];
        char line[kTextRoom];
        wsprintfA(key, "%d", i + 1);
        ReadScriptText(IDS_PMINFO, key, "", line, kTextRoom);
        if (!line[0])
            break;
        FillProgramItem(g_programItems[i], line);
        ++g_programItemCount;
    }
}

} // namespace

void ReadScriptText(int sectionId, const char* key, const char* def, char* out, int room)
{
    if (room <= 0)
        return;
    const char* section = LoadText(sectionId);
    // A null section or key would make the INI service list names instead of reading one.
    if (!s_scriptPath[0] || !section || !key) {
        TextCopy(out, room, def);
        return;
    }
    GetPrivateProfileStringA(section, key, def, out, (DWORD)room, s_scriptPath);
}

int ReadScriptInt(int sectionId, const char* key, int def)
{
    const char* section = LoadText(sectionId);
    if (!s_scriptPath[0] || !section || !key)
        return def;
    return (int)GetPrivateProfileIntA(section, key, def, s_scriptPath);
}

int SetProgramDir(const char* modulePath)
{
    char dir[MAX_PATH];
    g_programDir[0] = '\0';
    if (!TextCopy(dir, modulePath))
        return 0;
    // From the last character back to the second: the first backslash ends the directory.
    for (int i = lstrlenA(dir) - 1; i >= 1; --i) {
        if (dir[i] == '\\') {
            dir[i] = '\0';
            break;
        }
    }
    if (TextCopy(g_programDir, dir))
        return 1;
    // Too long for its room: the short form names the same directory in fewer characters.
    char shortDir[MAX_PATH];
    DWORD len = GetShortPathNameA(dir, shortDir, MAX_PATH);
    if (len > 0 && len < MAX_PATH && TextCopy(g_programDir, shortDir))
        return 1;
    g_programDir[0] = '\0';
    return 0;
}

int ReadSetupScript()
{
    char path[MAX_PATH];
    DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH)
        path[0] = '\0';
    // A program directory that cannot be held leaves nothing to read: the defaults apply
    // and the plan is empty, so no file is taken from a wrong place.
    SetProgramDir(path);
    return ReadSetupScriptInProgramDir();
}

void FillProgramItem(ProgramItem* item, const char* line)
{
    char field[kTextRoom];
    const char* pos = NextField(line, field);
    TextCopy(item->fileName, field);
    pos = NextField(pos, field);
    TextCopy(item->title, field);
    NextField(pos, field);
    TextCopy(item->iconIndex, field);
}

int ReadSetupScriptInProgramDir()
{
    return ReadScriptInProgramDir("SETUP.INF");
}

int ReadScriptInProgramDir(const char* fileName)
{
    FreePlan(); // a second reading replaces the plan of the first
    s_scriptPath[0] = '\0';
    if (g_programDir[0] && !(TextCopy(s_scriptPath, g_programDir) && PathAppend(s_scriptPath, fileName)))
        s_scriptPath[0] = '\0'; // a cut path would name another file: nothing is read

    char defaultPath[kPathRoom];
    ReadText(IDS_MAIN, IDS_DEFAULTPATH, "C:\\VELAN", defaultPath, kPathRoom);
    SetDestinationFromDefaultPath(defaultPath);

    ReadText(IDS_MAIN, IDS_GROUPNAME, "VELAN.GRP", g_groupName, kTextRoom);
    ReadText(IDS_MAIN, IDS_GROUPTITLE, "VELAN", g_groupTitle, kTextRoom);
    ReadText(IDS_MAIN, IDS_PRODUCTNAME, "Velan", g_productName, kProductRoom);

    // A product name near its full 71 characters leaves no room for the whole caption:
    // the caption is then cut at 79 characters.
    TextCopy(g_caption, g_productName);
    TextAppend(g_caption, " ");
    TextAppend(g_caption, LoadText(IDS_SETUP_PROGRAM));

    // Kilobytes in 16 bits: below 0 means no minimum, above 32767 the most it can hold.
    g_minimumSpace = ClampShort(ReadInt(IDS_MAIN, IDS_MINIMUMSPACE, 1024), 0, 32767);
    ReadText(IDS_MAIN, IDS_PNPID, "KTX0005", g_pnpId, kPnpRoom);

    ReadDiskLabels();
    for (int k = 0; k < kDirKeyCount; ++k)
        ReadText(IDS_DIRECTORYNAME, IDS_ROOTDIR + k, "", g_dirNames[k], kPathRoom);
    ReadFileCounts();

    if (!AllocPlan(g_totalFiles))
        return 0;
    ReadDiskLines();

    ReadProgramItems();
    g_options[kOptLogoHidden] = ReadScriptInt(IDS_MAIN, "OEM", 0);
    ReadText(IDS_STARTUP, IDS_FILENAME, "", g_utilityFile, kPathRoom);
    ReadText(IDS_STARTUP, IDS_TITLE, "", g_titleText, kPathRoom);
    ReadText(IDS_STARTUP, IDS_CONTROLPANEL, "", g_controlPanelFile, kPathRoom);
    return 1;
}
