// bench: start-up and install speed of setup.exe beside what the platform itself needs.
//
//   bench [--rounds N] [--dest DIR] DATA_ROOT PAYLOAD...
//
// DATA_ROOT holds one folder per payload (bench/payload.py): its files under payload\,
// the list files.txt, and the medium twice, packed\ and plain\, each with setup.exe
// beside its SETUP.INF. After a warm-up that is not counted, every round runs once the
// no-op program (benchnoop.exe, beside this program) and, for every payload and both
// media, the floor program (benchfloor.exe) and then setup.exe through the wizard: the
// rows are interleaved so that a slow moment of the machine touches every row alike.
// Each installation is compared with its payload afterwards. Prints every run, then the
// tables (Markdown) of minimum and median. Exit status 0 when every run installed its
// payload whole.
#include "bench.h"
#include "driver.h"
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Row {
    Medium medium;
    std::vector<double> floor, read, setup, peak;
    std::vector<SetupTimes> startup;
};

std::string ProgramDir()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n < MAX_PATH ? n : 0);
    return p.substr(0, p.rfind('\\'));
}

void Say(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    fflush(stdout);
}

void PrintInstallTable(const std::vector<Row>& rows)
{
    Say("\n| payload | medium | files | MiB | floor ms (min / median) | setup ms (min / median) |"
        " setup / floor (min / median) | overhead per file ms | peak working set MiB |\n"
        "|---|---|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& r : rows) {
        Summary f = Summarise(r.floor), s = Summarise(r.setup), p = Summarise(r.peak);
        if (!f.count || !s.count)
            continue;
        Say("| %s | %s | %d | %.1f | %.0f / %.0f | %.0f / %.0f | %.2f / %.2f | %.3f | %.1f |\n",
            r.medium.name.c_str(), r.medium.kind.c_str(), r.medium.files, r.medium.mib, f.min, f.median,
            s.min, s.median, s.min / f.min, s.median / f.median, (s.median - f.median) / r.medium.files,
            p.median);
    }
}

// Start-up per payload: the script's size is read before the backdrop exists.
void PrintStartupTable(const std::vector<double>& noop, const std::vector<Row>& rows)
{
    struct Phase {
        const char* what;
        double (*of)(const SetupTimes&);
    } phases[] = {
        {"setup.exe launch to backdrop window created: process start, SETUP.INF and plan read",
         [](const SetupTimes& t) { return t.toBackdrop; }},
        {"backdrop created to Welcome page created: first paint with the dissolve",
         [](const SetupTimes& t) { return t.dissolve; }},
        {"Welcome page created to painted, waiting for input", [](const SetupTimes& t) { return t.firstPage; }},
        {"**backdrop created to Welcome page painted** (target 1000)",
         [](const SetupTimes& t) { return t.dissolve + t.firstPage; }},
        {"launch to Welcome page painted", [](const SetupTimes& t) { return t.toBackdrop + t.dissolve + t.firstPage; }},
    };
    std::vector<std::string> names;
    for (const Row& r : rows)
        if (names.empty() || names.back() != r.medium.name)
            names.push_back(r.medium.name);
    Say("\n| start-up ms, min / median |");
    for (const std::string& n : names)
        Say(" %s |", n.c_str());
    Say("\n|---|");
    for (size_t i = 0; i < names.size(); ++i)
        Say("---:|");
    Summary n = Summarise(noop);
    Say("\n| Wine process start: no-op program, launch to exit |");
    for (size_t i = 0; i < names.size(); ++i)
        Say(" %.0f / %.0f |", n.min, n.median);
    Say("\n| SETUP.INF and install plan read by the same reader, in the floor program |");
    for (const std::string& name : names) {
        std::vector<double> samples;
        for (const Row& r : rows)
            if (r.medium.name == name)
                samples.insert(samples.end(), r.read.begin(), r.read.end());
        Summary s = Summarise(samples);
        Say(" %.0f / %.0f |", s.min, s.median);
    }
    for (const Phase& p : phases) {
        Say("\n| %s |", p.what);
        for (const std::string& name : names) {
            std::vector<double> samples;
            for (const Row& r : rows)
                if (r.medium.name == name)
                    for (const SetupTimes& t : r.startup)
                        samples.push_back(p.of(t));
            Summary s = Summarise(samples);
            Say(" %.0f / %.0f |", s.min, s.median);
        }
    }
    Say("\n");
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = 5, arg = 1;
    for (; arg + 1 < argc && argv[arg][0] == '-'; arg += 2) {
        if (!strcmp(argv[arg], "--rounds"))
            rounds = atoi(argv[arg + 1]);
        else if (!strcmp(argv[arg], "--dest"))
            g_dest = argv[arg + 1];
        else
            break;
    }
    if (argc - arg < 2 || rounds < 1) {
        fprintf(stderr, "usage: bench [--rounds N] [--dest DIR] DATA_ROOT PAYLOAD...\n");
        return 2;
    }
    const std::string root = argv[arg][0] == '/' ? DosPath(argv[arg]) : std::string(argv[arg]);
    const std::string tools = ProgramDir();
    const std::string floorExe = tools + "\\benchfloor.exe", noopExe = tools + "\\benchnoop.exe";

    std::vector<Row> rows;
    for (int i = arg + 1; i < argc; ++i) {
        for (const char* kind : {"packed", "plain"}) {
            Row r;
            Medium& m = r.medium;
            m.name = argv[i];
            m.kind = kind;
            m.dir = root + "\\" + m.name + "\\" + kind;
            m.payload = root + "\\" + m.name + "\\payload";
            m.listFile = root + "\\" + m.name + "\\files.txt";
            if (!LoadMedium(&m) || !FileExists((m.dir + "\\setup.exe").c_str())) {
                fprintf(stderr, "bench: no medium with setup.exe and file list at %s\n", m.dir.c_str());
                return 2;
            }
            rows.push_back(r);
        }
    }

    KeepDesktop(); // Wine's desktop process stays up between the runs: a warm Wine
    ResetPrefixSettings();
    // Not counted: the first start of a process loads Wine's own files, the first read of a
    // medium brings it into the page cache.
    RunNoop(noopExe);
    for (const Row& r : rows)
        RunFloor(floorExe, r.medium);
    int failures = 0;
    std::vector<double> noop;
    for (int round = 1; round <= rounds; ++round) {
        double ms = RunNoop(noopExe);
        Say("round %d  no-op program            %8.1f ms\n", round, ms);
        if (ms >= 0)
            noop.push_back(ms);
        for (Row& r : rows) {
            const Medium& m = r.medium;
            std::string error;
            FloorRun f = RunFloor(floorExe, m);
            if (f.ok && SameAsPayload(m, &error)) {
                r.floor.push_back(f.ms);
                r.read.push_back(f.readMs);
                Say("round %d  %-6s %-6s floor      %8.1f ms\n", round, m.name.c_str(), m.kind.c_str(), f.ms);
            } else {
                ++failures;
                Say("round %d  %-6s %-6s floor      FAILED: %s\n", round, m.name.c_str(), m.kind.c_str(),
                    f.ok ? error.c_str() : f.error.c_str());
            }
            SetupTimes s = RunSetup(m);
            if (s.ok && SameAsPayload(m, &error)) {
                r.setup.push_back(s.install);
                r.peak.push_back(s.peakMib);
                r.startup.push_back(s);
                Say("round %d  %-6s %-6s setup.exe  %8.1f ms  (start-up %.0f + %.0f + %.0f ms, peak %.1f MiB)\n",
                    round, m.name.c_str(), m.kind.c_str(), s.install, s.toBackdrop, s.dissolve, s.firstPage,
                    s.peakMib);
            } else {
                ++failures;
                Say("round %d  %-6s %-6s setup.exe  FAILED: %s\n", round, m.name.c_str(), m.kind.c_str(),
                    s.ok ? error.c_str() : s.error.c_str());
            }
        }
    }
    RemoveTree(g_dest.c_str());
    RemoveRegistration();

    PrintInstallTable(rows);
    PrintStartupTable(noop, rows);
    Say("\n%d rounds after a warm-up. floor ms: the floor program's copy loop; setup ms: Installing page "
        "created to Finish page created, less the 1 s wait after the last file; overhead per file: "
        "(setup - floor) / files, medians; peak working set: setup.exe's, median.\n",
        rounds);
    if (failures)
        Say("%d runs FAILED\n", failures);
    return failures ? 1 : 0;
}
