// A fuzz run of the script reader and the install plan: generated SETUP.INF files
// (damaged scripts, mutated bytes, random bytes) read by the real reader through the
// platform's INI service, each plan walked record by record. The plan's block, the
// buffers the paths are written to and the lines given to the field splitter all end at
// an inaccessible page, so a read or write past them faults and ends the program.
//
// CI runs a short fixed-seed run. The full run:
//     SCRIPT_FUZZ_FILES=100000 tools/test.sh -R script_tests -V
// (SCRIPT_FUZZ_SEED picks another seed; the summary line gives files, records and time.)
#include "script_fixture.h"
#include "support/random.h"
#include "support/guarded.h"
#include "base/memory.h"
#include "res/ids.h"
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

std::string Text(int id)
{
    const char* t = LoadText(id);
    return t ? t : "";
}

// The section and key names the reader asks for, from the program's string table.
struct Names {
    std::string main, labels, dirs, counts, pm, startup;
    std::vector<std::string> disks, mainKeys, dirKeys, startupKeys, all;
    Names()
    {
        main = Text(IDS_MAIN);
        labels = Text(IDS_DISKLABEL);
        dirs = Text(IDS_DIRECTORYNAME);
        counts = Text(IDS_FILECOUNTS);
        pm = Text(IDS_PMINFO);
        startup = Text(IDS_STARTUP);
        for (int i = 0; i < kMaxDisks; ++i)
            disks.push_back(Text(IDS_DISK1 + i));
        for (int id : {IDS_DEFAULTPATH, IDS_GROUPNAME, IDS_GROUPTITLE, IDS_PRODUCTNAME, IDS_MINIMUMSPACE, IDS_PNPID})
            mainKeys.push_back(Text(id));
        mainKeys.push_back("OEM");
        for (int k = 0; k < kDirKeyCount; ++k)
            dirKeys.push_back(Text(IDS_ROOTDIR + k));
        for (int id : {IDS_FILENAME, IDS_TITLE, IDS_CONTROLPANEL})
            startupKeys.push_back(Text(id));
        all = {main, labels, dirs, counts, pm, startup};
        all.insert(all.end(), disks.begin(), disks.end());
        all.insert(all.end(), mainKeys.begin(), mainKeys.end());
        all.insert(all.end(), dirKeys.begin(), dirKeys.end());
        all.insert(all.end(), startupKeys.begin(), startupKeys.end());
        for (const std::string& n : all)
            EXPECT_FALSE(n.empty());
    }
};

// Writes SETUP.INF files: mostly scripts of the right shape with damaged sections,
// keys and values, some of them mutated byte by byte, some random bytes.
class Generator {
public:
    Generator(const Names& n, Random& r) : n_(n), r_(r) {}

    std::string File()
    {
        std::string f;
        const uint32_t kind = r_.Below(100);
        if (kind < 70) {
            f = Script();
        } else if (kind < 92) {
            f = Script();
            Mutate(f);
        } else if (kind < 97) {
            for (uint32_t i = r_.Below(2000); i > 0; --i)
                f += (char)r_.Next();
        } else {
            for (uint32_t i = r_.Below(60); i > 0; --i)
                f += Word() + Pick({"=", "[", "]", ",", " ", "\r\n", "\n", ";"});
        }
        if (r_.OneIn(40)) // byte-order marks change how the whole file is decoded
            f.insert(0, Pick({"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "\xFF"}));
        return f;
    }

private:
    const Names& n_;
    Random& r_;

    const char* Pick(std::initializer_list<const char*> l) { return l.begin()[r_.Below((uint32_t)l.size())]; }

    std::string Case(std::string s)
    {
        if (r_.OneIn(4))
            for (char& c : s)
                c = (char)(r_.OneIn(2) ? toupper((BYTE)c) : tolower((BYTE)c));
        return s;
    }

    std::string Letters(uint32_t len, bool wild)
    {
        static const char plain[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij0123456789._-\\ ";
        std::string s;
        for (uint32_t i = 0; i < len; ++i) {
            if (wild && r_.OneIn(6)) {
                // Control and 8-bit bytes, and the characters the INI syntax gives meaning.
                const uint32_t k = r_.Below(4);
                s += k == 0 ? (char)(1 + r_.Below(31)) : k == 1 ? (char)(128 + r_.Below(128))
                                                       : "=[];,\"\t\0\r\n"[r_.Below(10)];
            } else {
                s += plain[r_.Below(sizeof plain - 1)];
            }
        }
        return s;
    }

    std::string Word() { return r_.OneIn(3) ? Case(r_.Pick(n_.all)) : Letters(1 + r_.Below(12), r_.OneIn(4)); }

    // A text value: empty, short, just around one of the program's rooms, very long.
    std::string Value()
    {
        static const int rooms[] = {14, 15, 39, 40, 61, 62, 71, 72, 79, 80, 127, 128};
        const uint32_t k = r_.Below(100);
        std::string v;
        if (k < 8)
            v = "";
        else if (k < 50)
            v = Letters(1 + r_.Below(14), r_.OneIn(5));
        else if (k < 85)
            v = Letters(rooms[r_.Below(12)] - 1 + r_.Below(3), r_.OneIn(5));
        else if (k < 99)
            v = Letters(r_.Below(200), true);
        else if (r_.OneIn(10))
            v = Letters(1000 + r_.Below(7000), r_.OneIn(2)); // lines of several KB
        else
            v = Letters(200 + r_.Below(800), r_.OneIn(2));
        if (r_.OneIn(20))
            v = "\"" + v + "\"";
        if (r_.OneIn(30))
            v = Pick({"C:", "Z:\\", "\\\\server\\share", "C:\\", ".", "..\\..", " "}) + v;
        return v;
    }

    // A name or path that mostly fits `room` characters, so that records are kept and
    // their paths come near the 79 characters; otherwise any value.
    std::string Name(uint32_t room)
    {
        return r_.OneIn(3) ? Value() : Letters(1 + r_.Below(room), r_.OneIn(10));
    }

    // A number: small ones mostly, then negative, overflowing (the INI service wraps them
    // to 32 bits), malformed. A count that makes a plan of hundreds or up to 32767 records
    // costs a read of each line, up to seconds: such counts are rare.
    std::string Count()
    {
        const uint32_t k = r_.Below(20000);
        if (k == 0)
            return Pick({"32767", "32768", "65535", "65536", "2147483647", "-2147483649", "99999999999999999999"});
        if (k < 100)
            return Pick({"100", "127", "128", "300"});
        if (k < 2100)
            return Pick({"-1", "-32768", "-32769", "-2147483648", "-99999999999999999999", "-0", "2147483648",
                         "4294967295", "4294967296", "4294967297"});
        if (k < 4100)
            return Pick({" 3", "3abc", "0x10", "+2", "2.5", "", "1e3", "\t4", "\xB2", "--1"});
        return std::to_string(r_.Below(k < 6000 ? 40 : 4));
    }

    // A disk line: source, target, description, directory key; fields missing or extra.
    std::string DiskLine()
    {
        std::string line;
        const uint32_t fields = r_.OneIn(8) ? r_.Below(8) : 4;
        for (uint32_t i = 0; i < fields; ++i) {
            if (i)
                line += Pick({",", ",", ",", " , ", ",,", "\t,"});
            line += i == 3 && !r_.OneIn(6) ? Case(r_.Pick(n_.dirKeys)) : i < 2 ? Name(14) : Value();
        }
        return line;
    }

    std::string Eol() { return r_.OneIn(30) ? Pick({"\n", "\r", "\n\r", "\r\r\n", ""}) : "\r\n"; }

    std::string Header(const std::string& name)
    {
        if (!r_.OneIn(12))
            return "[" + Case(name) + "]";
        return Pick({"[", " [", "[ ", "", "[["}) + name + Pick({"]", " ]", "", "]]", "] ;x", "]junk"});
    }

    std::string Key(const std::string& key, const std::string& value)
    {
        if (r_.OneIn(15))
            return Pick({";", "", " ", "="}) + Case(key) + Pick({"", " ", "=="}) + value;
        return Pick({"", "", "", " "}) + Case(key) + Pick({"=", "=", "=", " = ", "= ", " ="}) + value;
    }

    // One section with the keys given, each possibly missing or given twice, plus noise.
    std::string Section(const std::string& name, const std::vector<std::pair<std::string, std::string>>& keys)
    {
        std::string s = Header(name) + Eol();
        for (const auto& kv : keys) {
            if (r_.OneIn(10))
                continue;
            for (int times = r_.OneIn(12) ? 2 : 1; times > 0; --times)
                s += Key(kv.first, times == 2 ? Value() : kv.second) + Eol();
            if (r_.OneIn(15))
                s += Pick({"; comment", "", "junk line", "=orphan", "[", "]"}) + Eol();
        }
        return s;
    }

    std::string Script()
    {
        std::vector<std::string> sections;
        std::vector<std::pair<std::string, std::string>> keys;
        for (const std::string& k : n_.mainKeys)
            keys.push_back({k, k == n_.mainKeys[4] || k == "OEM" ? Count() : k == n_.mainKeys[0] ? Name(79) : Value()});
        sections.push_back(Section(n_.main, keys));

        const int disks = (int)r_.Below(kMaxDisks + 2);
        keys.clear();
        for (int i = 0; i < disks && i < kMaxDisks; ++i)
            keys.push_back({n_.disks[i], r_.OneIn(10) ? "" : Value()});
        if (r_.OneIn(10))
            keys.push_back({Word(), Value()});
        sections.push_back(Section(n_.labels, keys));

        keys.clear();
        for (const std::string& k : n_.dirKeys)
            if (!r_.OneIn(3))
                keys.push_back({k, Name(39)});
        sections.push_back(Section(n_.dirs, keys));

        keys.clear();
        for (int i = 0; i < kMaxDisks; ++i)
            if (i < disks || r_.OneIn(8))
                keys.push_back({n_.disks[i], Count()});
        sections.push_back(Section(n_.counts, keys));

        for (int i = 0; i < kMaxDisks; ++i) {
            if (i >= disks && !r_.OneIn(10))
                continue;
            keys.clear();
            for (uint32_t j = 1, lines = r_.Below(r_.OneIn(20) ? 80 : 8); j <= lines; ++j)
                keys.push_back({r_.OneIn(20) ? Pick({"0", "-1", "01", " 1", "1 ", "99999"}) : std::to_string(j),
                                DiskLine()});
            sections.push_back(Section(n_.disks[i], keys));
        }

        keys.clear();
        for (uint32_t j = 1, items = r_.Below(13); j <= items; ++j)
            keys.push_back({std::to_string(j), DiskLine()});
        sections.push_back(Section(n_.pm, keys));

        keys.clear();
        for (const std::string& k : n_.startupKeys)
            keys.push_back({k, Value()});
        sections.push_back(Section(n_.startup, keys));

        // Any order, some sections missing, some twice.
        std::string f;
        for (uint32_t i = (uint32_t)sections.size() + r_.Below(3); i > 0; --i) {
            const std::string& s = sections[r_.Below((uint32_t)sections.size())];
            if (!r_.OneIn(10))
                f += s;
        }
        return f;
    }

    void Mutate(std::string& f)
    {
        static const char special[] = "[]=,;\r\n\0\xFF \"";
        for (uint32_t m = 1 + r_.Below(8); m > 0; --m) {
            const size_t at = r_.Below((uint32_t)f.size() + 1);
            switch (r_.Below(6)) {
            case 0:
                if (at < f.size())
                    f[at] = (char)r_.Next();
                break;
            case 1:
                f.insert(at, 1, special[r_.Below(sizeof special - 1)]);
                break;
            case 2:
                f.erase(at, r_.Below(64));
                break;
            case 3:
                f.insert(at, f.substr(r_.Below((uint32_t)f.size() + 1), r_.Below(200)));
                break;
            case 4:
                f.resize(at);
                break;
            case 5:
                if (at < f.size())
                    f[at] = special[r_.Below(sizeof special - 1)];
                break;
            }
        }
    }
};

// The plan's block, placed right before an inaccessible page while g_guardPlan is set.
// One at a time: the next reading frees the last.
bool g_guardPlan;
std::unique_ptr<GuardedBuffer> g_block;
SIZE_T g_blockSize;
BYTE* GuardedBlock(SIZE_T size)
{
    g_block.reset();
    g_block.reset(new GuardedBuffer(size));
    g_blockSize = size;
    return g_block->data;
}

bool Terminated(const char* field, size_t room) { return memchr(field, 0, room) != nullptr; }

// Which file a fault happened in: the program still ends as any unhandled fault ends it.
int g_case = -1;
uint32_t g_runSeed;
char g_infPath[MAX_PATH];
LONG WINAPI NameTheCase(EXCEPTION_POINTERS*)
{
    fprintf(stderr, "script fuzz: fault in file %d of seed %u; it stays at %s\n", g_case, g_runSeed, g_infPath);
    return EXCEPTION_CONTINUE_SEARCH;
}

unsigned long EnvNumber(const char* name, unsigned long def)
{
    const char* v = getenv(name);
    return v && *v ? strtoul(v, nullptr, 0) : def;
}

class ScriptFuzz : public ScriptTest {
protected:
    // Outputs that end at an inaccessible page: a write or read past `room` faults.
    GuardedBuffer path_{kPathRoom};
    GuardedBuffer line_{9000};
    GuardedBuffer item_{sizeof(ProgramItem)};
    long records_ = 0, fitted_ = 0, refused_ = 0;

    void TearDown() override
    {
        ScriptTest::TearDown();
        g_guardPlan = false;
        g_block.reset();
    }

    // The target path under the destination in force.
    static int TargetHere(int disk, int rec, char* out, int room) { return TargetPath(g_destDir, disk, rec, out, room); }

    // One path of one record, composed into rooms of every size that matters: what fits
    // 79 characters comes whole, what does not is refused and leaves the output empty.
    void CheckPath(int (*compose)(int, int, char*, int), int disk, int rec, uint32_t room)
    {
        char wide[400];
        ASSERT_EQ(1, compose(disk, rec, wide, sizeof wide)); // every part is bounded
        const size_t len = strlen(wide);
        char* out = (char*)path_.data;
        memset(out, 'x', kPathRoom);
        const int ok = compose(disk, rec, out, kPathRoom);
        if (len <= (size_t)kPathRoom - 1) {
            ASSERT_EQ(1, ok) << wide;
            ASSERT_STREQ(wide, out);
            ++fitted_;
        } else {
            ASSERT_EQ(0, ok) << wide;
            ASSERT_EQ('\0', out[0]);
            ++refused_;
        }
        // A smaller room, its end at the guard page too.
        out = (char*)path_.data + kPathRoom - room;
        const int small = compose(disk, rec, out, (int)room);
        if (len < room) {
            ASSERT_EQ(1, small);
            ASSERT_STREQ(wide, out);
        } else {
            ASSERT_EQ(0, small);
            if (room)
                ASSERT_EQ('\0', out[0]);
        }
    }

    void CheckMissing(int disk, int rec)
    {
        ASSERT_EQ(nullptr, PlanRecord(disk, rec));
        char* out = (char*)path_.data;
        out[0] = 'x';
        ASSERT_EQ(0, SourcePath(disk, rec, out, kPathRoom));
        ASSERT_EQ('\0', out[0]);
        out[0] = 'x';
        ASSERT_EQ(0, TargetPath(g_destDir, disk, rec, out, kPathRoom));
        ASSERT_EQ('\0', out[0]);
    }

    // The plan of the file just read: its layout inside the block, every record and
    // program item, every path.
    void CheckPlan(Random& r)
    {
        ASSERT_GE(g_diskCount, 0);
        ASSERT_LE(g_diskCount, kMaxDisks);
        int total = 0;
        for (int i = 0; i < kMaxDisks; ++i) {
            ASSERT_GE(g_fileCounts[i], 0);
            if (i >= g_diskCount)
                ASSERT_EQ(0, g_fileCounts[i]);
            total += g_fileCounts[i];
        }
        ASSERT_EQ(total, g_totalFiles);
        ASSERT_LE(total, 32767);
        ASSERT_EQ(g_block->data, g_plan);
        ASSERT_EQ((SIZE_T)total * sizeof(FileRecord) + kProgramItems * sizeof(ProgramItem), g_blockSize);
        ASSERT_EQ((FileRecord*)g_plan, g_diskStart[0]);
        for (int d = 0; d < g_diskCount; ++d)
            ASSERT_EQ(g_diskStart[d] + g_fileCounts[d], g_diskStart[d + 1]);
        ASSERT_EQ((ProgramItem*)g_diskStart[g_diskCount], g_programItems[0]);
        ASSERT_EQ(g_plan + g_blockSize, (BYTE*)(g_programItems[kProgramItems - 1] + 1));

        for (int d = 0; d < g_diskCount; ++d) {
            for (int i = 0; i < g_fileCounts[d]; ++i) {
                const FileRecord* rec = PlanRecord(d, i);
                ASSERT_EQ(g_diskStart[d] + i, rec);
                ASSERT_TRUE(Terminated(rec->dirName, sizeof rec->dirName));
                ASSERT_TRUE(Terminated(rec->targetDir, sizeof rec->targetDir));
                ASSERT_TRUE(Terminated(rec->sourceName, sizeof rec->sourceName));
                ASSERT_TRUE(Terminated(rec->targetName, sizeof rec->targetName));
                ASSERT_TRUE(Terminated(rec->description, sizeof rec->description));
                ASSERT_TRUE(rec->systemDir == 0 || rec->systemDir == 1);
                ASSERT_NO_FATAL_FAILURE(CheckPath(SourcePath, d, i, r.Below(kPathRoom + 1)));
                ASSERT_NO_FATAL_FAILURE(CheckPath(TargetHere, d, i, r.Below(kPathRoom + 1)));
                ++records_;
            }
            ASSERT_NO_FATAL_FAILURE(CheckMissing(d, -1));
            ASSERT_NO_FATAL_FAILURE(CheckMissing(d, g_fileCounts[d]));
            ASSERT_NO_FATAL_FAILURE(CheckMissing(d, INT_MAX));
        }
        for (int d : {-1, (int)g_diskCount, kMaxDisks, INT_MIN})
            ASSERT_NO_FATAL_FAILURE(CheckMissing(d, 0));

        ASSERT_LE(g_programItemCount, kProgramItems);
        for (const ProgramItem* item : g_programItems) {
            ASSERT_TRUE(Terminated(item->fileName, sizeof item->fileName));
            ASSERT_TRUE(Terminated(item->title, sizeof item->title));
            ASSERT_TRUE(Terminated(item->iconIndex, sizeof item->iconIndex));
        }
        // The texts the rest of the program takes from the script.
        ASSERT_LE(strlen(g_destDir), (size_t)kPathRoom - 1);
        ASSERT_LE(strlen(g_caption), (size_t)kPathRoom - 1);
        ASSERT_LE(strlen(g_productName), (size_t)kProductRoom - 1);
        ASSERT_GE(g_minimumSpace, 0);
        for (const char* label : g_diskLabels)
            ASSERT_TRUE(Terminated(label, kLabelRoom));
        for (const char* dir : g_dirNames)
            ASSERT_TRUE(Terminated(dir, kPathRoom));
    }

    // The field splitter on lines of any length, read from right before the guard page
    // into a program item that ends at one: nothing read past the line's end, nothing
    // written past the item.
    void CheckSplitter(const std::string& file, Random& r)
    {
        for (int n = 0; n < 3 && !file.empty(); ++n) {
            size_t from = r.Below((uint32_t)file.size());
            size_t to = file.find_first_of(std::string("\r\n\0", 3), from);
            std::string line = file.substr(from, (to == std::string::npos ? file.size() : to) - from);
            line.resize(std::min(line.size(), (size_t)8999));
            char* text = (char*)line_.data + 9000 - line.size() - 1;
            memcpy(text, line.c_str(), line.size() + 1);
            ProgramItem* item = (ProgramItem*)item_.data;
            memset(item, 'x', sizeof *item);
            FillProgramItem(item, text);
            ASSERT_TRUE(Terminated(item->fileName, sizeof item->fileName));
            ASSERT_TRUE(Terminated(item->title, sizeof item->title));
            ASSERT_TRUE(Terminated(item->iconIndex, sizeof item->iconIndex));
        }
    }
};

} // namespace

TEST_F(ScriptFuzz, GeneratedScriptsReadAndWalkWithinTheirMemory)
{
    const long files = (long)EnvNumber("SCRIPT_FUZZ_FILES", 800);
    g_runSeed = (uint32_t)EnvNumber("SCRIPT_FUZZ_SEED", 20261207);
    const Names names;
    const std::string marker = "[FuzzCase]\r\nN=";
    g_guardPlan = true;
    TextCopy(g_infPath, inf_);
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(NameTheCase);
    const DWORD start = GetTickCount();
    long bytes = 0;
    for (g_case = 0; g_case < files; ++g_case) {
        Random r(g_runSeed ^ (uint32_t)g_case * 0x9E3779B9u);
        Generator gen(names, r);
        std::string file = gen.File();
        // A last section the reader never asks for, read back below: the reader was
        // given this very file, not the INI service's copy of an earlier one.
        file += "\r\n" + marker + std::to_string(g_case) + "\r\n";
        bytes += (long)file.size();
        ASSERT_NO_FATAL_FAILURE(Write(file));
        ASSERT_EQ(1, ReadSetupScriptInProgramDir()) << "file " << g_case;
        // Unless a byte-order mark makes the INI service read the whole file as UTF-16.
        const bool utf16 = file.compare(0, 2, "\xFF\xFE") == 0 || file.compare(0, 2, "\xFE\xFF") == 0;
        if (!utf16)
            ASSERT_EQ(g_case, (int)GetPrivateProfileIntA("FuzzCase", "N", -1, inf_)) << "file " << g_case;
        ASSERT_NO_FATAL_FAILURE(CheckPlan(r)) << "file " << g_case << " of seed " << g_runSeed;
        ASSERT_NO_FATAL_FAILURE(CheckSplitter(file, r)) << "file " << g_case;
    }
    const DWORD ms = GetTickCount() - start;
    SetUnhandledExceptionFilter(previous);
    printf("script fuzz: %ld files (%ld KB) of seed %u, %ld records, %ld paths fitted, %ld refused, "
           "%lu ms\n",
           files, bytes / 1024, g_runSeed, records_, fitted_, refused_, ms);
}

// Linked instead of the program's own (script/planblock.cpp) into every test of this
// program: the same global memory, or the guarded block during the fuzz run.
BYTE* TakePlanBlock(HGLOBAL* handle, SIZE_T size)
{
    if (g_guardPlan)
        return GuardedBlock(size);
    return static_cast<BYTE*>(GlobalTake(handle, size));
}
