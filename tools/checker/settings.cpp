// The script's settings as the setup reads them: [Main], [Startup], the disk labels, the
// directory names and the file counts, each compared with what is written.
#include "tools/checker/check.h"
#include "base/globals.h"
#include "script/plan.h"
#include "base/loadtext.h"
#include "script/fields.h"
#include "script/script.h"
#include "res/ids.h"
#include <cstdio>

// The [Main] and [Startup] settings with the rooms the setup reads them into, as the
// medium format defines them (the builder refuses a value longer than its room).
static constexpr struct {
    const char* section;
    const char* key;
    int room; // 0 for a number
} kSettings[] = {
#define MEDIUM_SETTING(word, section, key, room) {section, key, room},
#include "res/medium.def"
};

// The room of a setting of the medium format's table.
static int SettingRoom(const char* section, const char* key)
{
    for (const auto& s : kSettings)
        if (lstrcmpA(s.section, section) == 0 && lstrcmpA(s.key, key) == 0)
            return s.room;
    return kRawRoom;
}

// A text value against the room the setup reads it into.
static void CheckRoom(const char* section, const char* key, int room, Severity severity,
                      const char* consequence)
{
    char raw[kRawRoom];
    if (RawValue(section, key, raw) && lstrlenA(raw) > room - 1)
        Report(severity, "%s is %d characters; the setup keeps the first %d%s", key,
               lstrlenA(raw), room - 1, consequence);
}

// An integer value: one that is not a plain decimal number is read as what the INI
// service makes of it.
static void CheckNumber(const char* section, const char* key, long low, long high, long read)
{
    char raw[kRawRoom];
    long value = 0;
    if (!RawValue(section, key, raw))
        return;
    if (!PlainNumber(raw, &value))
        Report(kWarning, "%s \"%s\" is not a plain number; the setup reads %ld", key, raw, read);
    else if (value < low || value > high)
        Report(kWarning, "%s %ld is outside %ld to %ld; the setup takes %ld", key, value, low,
               high, read);
}

static void CheckMain()
{
    char raw[kRawRoom];
    printf("Product      \"%s\"\n", g_productName);
    CheckRoom("Main", "ProductName", SettingRoom("Main", "ProductName"), kWarning, "");
    printf("Caption      \"%s\"\n", g_caption);
    if (lstrlenA(g_productName) + 1 + lstrlenA(LoadText(IDS_SETUP_PROGRAM)) > kPathRoom - 1)
        Report(kWarning, "the message caption is cut to %d characters: the product name is "
               "too long for it (at most %d characters fit)", kPathRoom - 1,
               kPathRoom - 2 - lstrlenA(LoadText(IDS_SETUP_PROGRAM)));

    int present = RawValue("Main", "DefaultPath", raw);
    printf("Destination  %s\n", g_destDir);
    if (!present) {
        Report(kNote, "no DefaultPath: the setup's own default C:\\VELAN on the Windows drive");
    } else if (lstrlenA(raw) > 2 && raw[1] == ':') {
        if ((raw[0] | 0x20) != (g_windowsDir[0] | 0x20))
            Report(kNote, "DefaultPath \"%s\" takes the Windows directory's drive letter", raw);
        if (lstrlenA(raw) > kPathRoom - 1)
            Report(kWarning, "DefaultPath is %d characters; the setup keeps the first %d",
                   lstrlenA(raw), kPathRoom - 1);
        if (raw[2] != '\\')
            Report(kWarning, "DefaultPath \"%s\" has no backslash after the colon: the "
                   "Destination page refuses it until the user browses to another", raw);
    } else {
        // The relative form goes under ProgramFilesDir; when that does not fit, the setup
        // takes its own default instead.
        int len = lstrlenA(g_destDir), tail = lstrlenA(raw);
        if (tail > len || lstrcmpiA(g_destDir + len - tail, raw) != 0)
            Report(kWarning, "DefaultPath \"%s\" does not fit under ProgramFilesDir in %d "
                   "characters; the setup takes %s instead", raw, kPathRoom - 1, g_destDir);
    }
    printf("Minimum      %d KB free on the destination drive\n", g_minimumSpace);
    CheckNumber("Main", "MinimumSpace", 0, kMaxMinimumSpace, g_minimumSpace);
    static const char* const kUnused[] = {"GroupName", "GroupTitle", "PnpID"};
    for (const char* unused : kUnused)
        CheckRoom("Main", unused, SettingRoom("Main", unused), kWarning,
                  " (nothing in the setup reads it)");
    CheckNumber("Main", "OEM", -2147483647L - 1, 2147483647L, g_options[kOptLogoHidden]);
    if (g_options[kOptLogoHidden])
        Report(kNote, "OEM is set: the backdrop leaves out its footer banner");
}

static void CheckStartup()
{
    char raw[kRawRoom];
    printf("Title        \"%s\"\n", g_titleText);
    CheckRoom("Startup", "Title", SettingRoom("Startup", "Title"), kWarning, " for the backdrop");
    if (!g_titleText[0])
        Report(kNote, "no Title: the backdrop shows no title text");
    static const struct {
        const char* key;
        const char* what;
        const char* value;
    } kFiles[] = {{"FileName", "resident utility", g_utilityFile},
                  {"ControlPanel", "control-panel extension", g_controlPanelFile}};
    for (const auto& f : kFiles) {
        printf("%-12s %s\n", f.key, f.value);
        const int room = SettingRoom("Startup", f.key);
        if (RawValue("Startup", f.key, raw) && lstrlenA(raw) > room - 1)
            Report(kError, "%s is %d characters; the setup registers the first %d", f.key,
                   lstrlenA(raw), room - 1);
        // A package without the program: the setup registers none (the medium builder
        // accepts such a description too).
        if (!f.value[0])
            Report(kNote, "no %s in [Startup]: the setup registers no %s", f.key, f.what);
    }
}

// Labels decide the disk count: the setup reads the first `count` disks, whichever labels
// were given, so a gap makes it read an unlabelled disk and drop the last labelled one.
static void CheckLabels()
{
    printf("Disks        %d", g_diskCount);
    for (int i = 0; i < kMaxDisks; ++i)
        if (g_diskLabels[i][0])
            printf("%s Disk%d \"%s\"", i ? "," : ":", i + 1, g_diskLabels[i]);
    printf("\n");
    for (int i = 0; i < kMaxDisks; ++i) {
        char key[8];
        wsprintfA(key, "Disk%d", i + 1);
        CheckRoom("DiskLabel", key, kLabelRoom, kWarning, "");
        if (i < g_diskCount && !g_diskLabels[i][0])
            Report(kError, "DiskLabel has a gap: Disk%d has no label, yet the setup counts "
                   "%d labels and reads disks 1 to %d", i + 1, g_diskCount, g_diskCount);
        if (i >= g_diskCount && g_diskLabels[i][0])
            Report(kError, "Disk%d is labelled but lies beyond the %d disks the setup reads: "
                   "its files are never installed", i + 1, g_diskCount);
    }
    if (g_diskCount == 0)
        Report(kError, "no disk label: the setup installs nothing");
}

static void CheckDirectoryNames()
{
    for (int k = 0; k < kDirKeyCount; ++k)
        CheckRoom(LoadText(IDS_DIRECTORYNAME), LoadText(IDS_ROOTDIR + k), kPathRoom, kWarning, "");
}

static void CheckFileCounts()
{
    char raw[kRawRoom];
    long total = 0;
    for (int i = 0; i < kMaxDisks; ++i) {
        char key[8];
        wsprintfA(key, "Disk%d", i + 1);
        int present = RawValue("FileCounts", key, raw);
        long value = 0;
        int plain = present && PlainNumber(raw, &value);
        if (i >= g_diskCount) {
            if (present)
                Report(kWarning, "FileCounts %s is ignored: the setup reads %d disks", key,
                       g_diskCount);
            continue;
        }
        if (!present)
            Report(kWarning, "FileCounts has no %s: the setup installs no file of that disk", key);
        else if (!plain)
            Report(kWarning, "FileCounts %s \"%s\" is not a plain number; the setup reads %d",
                   key, raw, g_fileCounts[i]);
        else if (value < 0)
            Report(kWarning, "FileCounts %s is negative; the setup takes 0", key);
        total += plain && value > 0 ? value : 0;
    }
    if (total > kMaxFiles)
        Report(kError, "the file counts add up to %ld; the setup holds at most %d files and "
               "drops the rest", total, kMaxFiles);
}

static void CheckProgramItems()
{
    char raw[kRawRoom], beyond[8];
    wsprintfA(beyond, "%d", kProgramItems + 1);
    if (RawValue("PM Info", beyond, raw) && raw[0])
        Report(kWarning, "PM Info has more than %d items; the setup reads the first %d",
               kProgramItems, kProgramItems);
    for (int i = 0; i < kProgramItems; ++i) {
        char key[4];
        wsprintfA(key, "%d", i + 1);
        if (!RawValue("PM Info", key, raw) || !raw[0])
            break;
        char field[kTextRoom];
        const char* pos = raw;
        for (int f = 0; f < 3; ++f) {
            pos = NextField(pos, field);
            if (lstrlenA(field) > kItemFieldRooms[f] - 1)
                Report(kWarning, "PM Info %s: field %d \"%s\" is cut to %d characters (nothing "
                       "in the setup reads it)", key, f + 1, field, kItemFieldRooms[f] - 1);
        }
    }
}

void CheckSettings()
{
    CheckMain();
    CheckStartup();
    CheckLabels();
    CheckDirectoryNames();
    CheckFileCounts();
    CheckProgramItems();
}

// Disk sections the setup never opens, and lines beyond a disk's count.
void CheckUnreadLines()
{
    static char sections[16384];
    DWORD len = GetPrivateProfileSectionNamesA(sections, sizeof sections, g_scriptPath);
    if (len >= sizeof sections - 2)
        len = sizeof sections - 2;
    sections[len] = sections[len + 1] = '\0';
    for (const char* s = sections; *s; s += lstrlenA(s) + 1) {
        long disk = 0;
        if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, s, 4, "Disk", 4) != CSTR_EQUAL ||
            !PlainNumber(s + 4, &disk))
            continue;
        static char keys[65536];
        RawKeys(s, keys, sizeof keys);
        const bool read = disk >= 1 && disk <= g_diskCount;
        const long count = read ? g_fileCounts[disk - 1] : 0;
        int unread = 0, beyond = 0;
        for (const char* k = keys; *k; k += lstrlenA(k) + 1) {
            long line = 0;
            if (!PlainNumber(k, &line) || line < 1)
                Report(kWarning, "[%s] key \"%s\" is never read: lines are numbered 1, 2, 3, ...",
                       s, k);
            else if (!read)
                ++unread;
            else if (line > count)
                ++beyond;
        }
        if (unread)
            Report(kError, "[%s] holds %d file line(s) the setup never reads: it reads the "
                   "sections of disks 1 to %d only", s, unread, g_diskCount);
        if (beyond)
            Report(kError, "[%s] holds %d line(s) beyond its FileCounts of %ld: those files "
                   "are never installed", s, beyond, count);
    }
}
