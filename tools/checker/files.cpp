// The install plan as the setup will walk it: every file record with its source on the
// medium, what that source holds, and its target; then the directories the Installing
// page creates and the registry entries it writes.
#include "tools/checker/check.h"
#include "base/globals.h"
#include "base/text.h"
#include "script/plan.h"
#include "base/loadtext.h"
#include "engine/registration.h"
#include "tools/common/expand.h"
#include "res/ids.h"
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Room of the paths this tool composes to show them, beyond the setup's own rooms.
constexpr int kShowRoom = 400;

// A path reduced for comparison: upper case, without empty and "." components.
std::string Normal(const char* path)
{
    std::string out, part;
    for (const char* p = path;; ++p) {
        if (*p && *p != '\\') {
            part += *p;
            continue;
        }
        if (!part.empty() && part != ".") {
            if (!out.empty())
                out += '\\';
            out += part;
        }
        part.clear();
        if (!*p)
            break;
    }
    CharUpperBuffA(&out[0], (DWORD)out.size());
    return out;
}

struct Installed {
    std::string target; // normalised
    int disk, line;
};
std::vector<Installed> s_installed;

// Names of the destination's sub-directories that exist once the Installing page has
// created RootDir and SubDir1-5 in that order: a name with a backslash needs its parent.
std::vector<std::string> s_created;

bool Created(const char* dir)
{
    std::string d = Normal(dir);
    if (d.empty()) // the destination itself
        return true;
    for (const std::string& c : s_created)
        if (c == d)
            return true;
    return false;
}

void CheckDirectories()
{
    for (int k = 0; k < kDirKeyCount; ++k) {
        const char* name = g_dirNames[k];
        if (!DirKeyIsSubDirectory(k) || Normal(name).empty()) // nothing, or the destination
            continue;
        char path[kShowRoom];
        snprintf(path, sizeof path, "%s\\%s", g_destDir, name);
        printf("Creates      %s\n", path);
        std::string n = Normal(name);
        size_t cut = n.rfind('\\');
        if (lstrlenA(path) > kPathRoom - 1)
            Report(kWarning, "%s: the path is longer than %d characters; the setup does not "
                   "create it", LoadText(IDS_ROOTDIR + k), kPathRoom - 1);
        else if (cut != std::string::npos && !Created(n.substr(0, cut).c_str()))
            Report(kWarning, "%s: its parent directory is not created before it, so the setup "
                   "cannot create it", LoadText(IDS_ROOTDIR + k));
        else
            s_created.push_back(n);
    }
}

// What a source on the medium holds.
struct Source {
    enum { kMissing, kDirectory, kPlain, kCompressed } state;
    DWORD stored;   // bytes on the medium
    DWORD declared; // expanded size the SZDD header declares
    LONG expanded;  // what the platform's expansion service wrote, or its error
};

Source Inspect(const char* path)
{
    Source s = {Source::kMissing, 0, 0, 0};
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return s;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        s.state = Source::kDirectory;
        return s;
    }
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return s;
    BYTE header[14] = {};
    DWORD got = 0;
    s.stored = GetFileSize(f, nullptr);
    ReadFile(f, header, sizeof header, &got, nullptr);
    CloseHandle(f);
    static const BYTE kMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    if (got < sizeof header || memcmp(header, kMagic, sizeof kMagic) != 0) {
        s.state = Source::kPlain;
        s.expanded = (LONG)s.stored;
        return s;
    }
    s.state = Source::kCompressed;
    s.declared = header[10] | header[11] << 8 | header[12] << 16 | (DWORD)header[13] << 24;
    s.expanded = ExpandToScratch(path); // as the setup would
    return s;
}

// Why the setup refuses a record whose line is present: the fields that do not fit
// their rooms in the record, a directory key that names no directory. Returns how many; reports them when `report` is set.
int ExplainRefusal(const char* line, bool report)
{
    DiskLine fields;
    SplitDiskLine(line, &fields);
    const char* source = fields.source;
    const char* target = fields.target;
    const char* key = fields.key;
    int reasons = 0;
    auto reason = [&](const char* format, const char* a, const char* b, const char* c = "") {
        ++reasons;
        if (report)
            Report(kError, format, a, b, c);
    };
    char names[80];
    snprintf(names, sizeof names, "is longer than %d characters", kNameFieldRoom - 1);
    if (lstrlenA(source) > kNameFieldRoom - 1)
        reason("source name \"%s\" %s: the setup drops this file", source, names);
    if (lstrlenA(target) > kNameFieldRoom - 1)
        reason("target name \"%s\" %s: the setup drops this file", target, names);
    const int known = DirKeyIndex(key);
    const char* suffix = DirKeyWindowsSuffix(known);
    if (!key[0])
        reason("no directory key (fewer than four fields)%s%s", "", ": the setup drops this file");
    else if (known < 0)
        reason("unknown directory key \"%s\"%s", key, ": the setup drops this file");
    char dirs[80];
    snprintf(dirs, sizeof dirs, "is longer than %d characters", kDirFieldRoom - 1);
    if (known >= 0 && lstrlenA(g_dirNames[known]) > kDirFieldRoom - 1)
        reason("the DirectoryName of %s %s (\"%s\"): the setup drops this file", key, dirs,
               g_dirNames[known]);
    else if (suffix && lstrlenA(g_windowsDir) + lstrlenA(suffix) > kDirFieldRoom - 1)
        reason("the Windows directory %s with the %s suffix %s: the setup drops this file",
               g_windowsDir, key, dirs);
    return reasons;
}

// Findings on the fields of a line whose record the setup kept.
void CheckFields(const char* cut)
{
    DiskLine fields;
    SplitDiskLine(cut, &fields);
    const char* key = fields.key;
    if (!fields.source[0])
        Report(kError, "no source name: the setup opens a directory and copies nothing");
    if (!fields.target[0])
        Report(kError, "no target name: the setup copies nothing");
    if (lstrlenA(fields.description) > kDescriptionRoom - 1)
        Report(kWarning, "the description is %d characters; the Installing page shows the "
               "first %d", lstrlenA(fields.description), kDescriptionRoom - 1);
    const int known = DirKeyIndex(key);
    // A record kept by the setup always has a known key (see ExplainRefusal).
    if (known >= 0 && !g_dirNames[known][0])
        Report(kWarning, "%s has no DirectoryName: the paths hold a doubled backslash", key);
}

// The line of record `line` of `disk` into `raw`; 0 when it is absent or empty.
int LinePresent(int disk, int line, char* raw)
{
    char section[8], key[8];
    wsprintfA(section, "Disk%d", disk + 1);
    wsprintfA(key, "%d", line + 1);
    return RawValue(section, key, raw) && raw[0];
}

// Lists record `line` of `disk` with its findings; returns how many records it covered.
int ListRecord(int disk, int line)
{
    const FileRecord* r = PlanRecord(disk, line);
    char section[8], raw[kRawRoom];
    wsprintfA(section, "Disk%d", disk + 1);
    if (!LinePresent(disk, line, raw)) {
        // A run of missing lines is one finding.
        int last = line;
        while (last + 1 < g_fileCounts[disk] && !LinePresent(disk, last + 1, raw))
            ++last;
        if (last == line) {
            printf("  %3d  (no line)\n", line + 1);
            Report(kError, "[%s] has no line %d: the setup visits an empty record and copies "
                   "nothing", section, line + 1);
        } else {
            printf("  %3d  (no lines up to %d)\n", line + 1, last + 1);
            Report(kError, "[%s] has no lines %d to %d: the setup visits empty records and "
                   "copies nothing", section, line + 1, last + 1);
        }
        return last - line + 1;
    }
    char cut[kTextRoom];
    TextCopy(cut, kTextRoom, raw); // the line as the setup reads it
    const bool empty =
        !r->sourceName[0] && !r->targetName[0] && !r->dirName[0] && !r->description[0];
    if (empty && ExplainRefusal(cut, false)) {
        printf("  %3d  (dropped)  %s\n", line + 1, raw);
        if (lstrlenA(raw) > kTextRoom - 1)
            Report(kWarning, "the line is %d characters; the setup reads the first %d",
                   lstrlenA(raw), kTextRoom - 1);
        ExplainRefusal(cut, true);
        return 1;
    }
    char source[kShowRoom], target[kShowRoom];
    int sourceFits = SourcePath(disk, line, source, kPathRoom);
    if (!sourceFits)
        SourcePath(disk, line, source, kShowRoom);
    int targetFits = TargetPath(g_destDir, disk, line, target, kPathRoom);
    if (!targetFits)
        TargetPath(g_destDir, disk, line, target, kShowRoom);
    const Source s = Inspect(source);
    static const char* const kStates[] = {"missing", "directory", "plain", "compressed"};
    char size[24] = "";
    if (s.state == Source::kPlain)
        wsprintfA(size, "%lu", s.stored);
    else if (s.state == Source::kCompressed)
        wsprintfA(size, "%lu", s.declared);
    char shown[kShowRoom];
    snprintf(shown, sizeof shown, "%s\\%s", r->dirName, r->sourceName);
    printf("  %3d  %-22s %-10s %9s  %s\n", line + 1, shown, kStates[s.state], size, target);
    if (s.state == Source::kPlain || s.state == Source::kCompressed)
        ReportVersion(source, s.state == Source::kCompressed);

    if (lstrlenA(raw) > kTextRoom - 1)
        Report(kWarning, "the line is %d characters; the setup reads the first %d", lstrlenA(raw),
               kTextRoom - 1);
    CheckFields(cut);
    if (!sourceFits)
        Report(kError, "the source path is %d characters from this medium's place; the setup "
               "holds %d", lstrlenA(source), kPathRoom - 1);
    if (s.state == Source::kMissing)
        Report(kError, "the source %s is not on the medium", shown);
    else if (s.state == Source::kDirectory)
        Report(kError, "the source %s is a directory", shown);
    else if (s.state == Source::kCompressed && s.expanded != (LONG)s.declared)
        Report(kError, "the compressed source expands to %ld bytes, not the %lu its header "
               "declares", s.expanded < 0 ? 0L : (long)s.expanded, s.declared);
    else if (s.state == Source::kCompressed && s.declared >= 1 && s.declared <= 15)
        Report(kWarning, "compressed from %lu bytes: mscompress corrupts files of 1 to 15 "
               "bytes; store it plain", s.declared);
    if (!targetFits)
        Report(kError, "the target path is %d characters; the setup holds %d", lstrlenA(target),
               kPathRoom - 1);
    if (r->systemDir) {
        DWORD a = GetFileAttributesA(r->targetDir);
        if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY))
            Report(kWarning, "%s does not exist on this system, and the setup never creates "
                   "directories under the Windows directory", r->targetDir);
    } else if (!Created(r->targetDir)) {
        Report(kError, "the setup never creates %s\\%s: the file cannot be written",
               g_destDir, r->targetDir);
    }
    const std::string normal = Normal(target);
    for (const Installed& i : s_installed)
        if (i.target == normal)
            Report(kWarning, "disk %d line %d installs the same target: this file replaces it",
                   i.disk, i.line);
    s_installed.push_back({normal, disk + 1, line + 1});
    return 1;
}

// A registry value as the setup composes it for the destination checked. Reports when it
// does not fit the setup's room or names a file that this medium does not install.
void RegistryValue(const char* label, const RegValue& value)
{
    char data[kShowRoom];
    ComposeRegData(value, g_destDir, data, kShowRoom);
    printf("  %-32s %s\n", label, data);
    if (lstrlenA(data) > kPathRoom - 1) {
        Report(kError, "%d characters; the setup refuses values over %d", lstrlenA(data),
               kPathRoom - 1);
        return;
    }
    if (value.data == RegData::Fixed || value.data == RegData::ProductName)
        return;
    // A path, or a command line whose program path may stand in double quotes.
    char path[kShowRoom];
    TextCopy(path, kShowRoom, data[0] == '"' ? data + 1 : data);
    int len = lstrlenA(path);
    if (data[0] == '"' && len > 0)
        path[--len] = '\0';
    if (len > 0 && path[len - 1] == '\\') // no file named: the destination itself
        return;
    const std::string normal = Normal(path);
    for (const Installed& i : s_installed)
        if (i.target == normal)
            return;
    Report(kWarning, "this medium installs no file there");
}

} // namespace

void CheckFiles()
{
    CheckDirectories();
    for (int d = 0; d < g_diskCount; ++d) {
        if (g_diskLabels[d][0])
            printf("\nDisk %d \"%s\": %d file(s)\n", d + 1, g_diskLabels[d], g_fileCounts[d]);
        else
            printf("\nDisk %d (no label): %d file(s)\n", d + 1, g_fileCounts[d]);
        printf("  %3s  %-22s %-10s %9s  %s\n", "line", "source on the medium", "stored",
               "installs", "target");
        for (int i = 0; i < g_fileCounts[d];)
            i += ListRecord(d, i);
    }
}

void CheckRegistry()
{
    printf("\nRegistry entries for the destination %s\n", g_destDir);
    // The values the script and the destination decide, in the order the setup writes them.
    static const struct {
        RegData data;
        const char* entry; // what the value belongs to, for its label
    } kShown[] = {{RegData::ControlPanelPath, "control panel"},
                  {RegData::UtilityCommand, "Run"},
                  {RegData::ProductName, "Uninstall"},
                  {RegData::UninstallCommand, "Uninstall"}};
    for (const auto& shown : kShown) {
        const RegValue* value = nullptr;
        const RegStep* step = FindRegValue(shown.data, &value);
        if (!step)
            continue;
        // A key's default value goes by the key's last component.
        const char* name = value->name;
        if (!name) {
            const char* slash = strrchr(step->key, '\\');
            name = slash ? slash + 1 : step->key;
        }
        char label[kShowRoom];
        snprintf(label, sizeof label, "%s %s", shown.entry, name);
        RegistryValue(label, *value);
    }
}
