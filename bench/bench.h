// The bench's measurements: one run of the floor program, of setup.exe driven through
// the wizard, of the no-op program; and the summary of several rounds.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// Milliseconds on the performance counter.
double NowMs();

// Where a medium and its payload lie (Windows paths) and what it holds.
struct Medium {
    std::string name;      // payload name, e.g. "p200"
    std::string kind;      // "packed" or "plain"
    std::string dir;       // the medium: SETUP.INF, setup.exe, the files
    std::string payload;   // the plain files under their directory names
    std::string listFile;  // files.txt: directory, name, size per line
    int files = 0;
    double mib = 0;
};
// Reads the medium's file list; 0 when it is missing or empty.
int LoadMedium(Medium* m);

// The destination every run installs to: the payloads' DefaultPath, C:\BENCHOUT, unless
// the bench is told another (the wizard is then given it on the Destination page).
extern std::string g_dest;

struct FloorRun {
    bool ok = false;
    std::string error;
    double ms = 0;         // the copy loop alone, as the floor program timed it
    double readMs = 0;     // its reading of SETUP.INF and building of the install plan
};
FloorRun RunFloor(const std::string& floorExe, const Medium& m);

struct SetupTimes {
    bool ok = false;
    std::string error;
    double toBackdrop = 0;  // launch -> backdrop window created
    double dissolve = 0;    // backdrop created -> Welcome page created: first paint, dissolve
    double firstPage = 0;   // Welcome page created -> painted and waiting for input
    double install = 0;     // Installing page created -> Finish page created, less the 1 s wait
    double peakMib = 0;     // peak working set of setup.exe, read at the Finish page
};
SetupTimes RunSetup(const Medium& m);

// Launch to exit of the no-op program; negative when it could not be started.
double RunNoop(const std::string& noopExe);

// 1 when every file of the payload lies under the destination with the same bytes;
// otherwise 0 and `error` names the first difference.
int SameAsPayload(const Medium& m, std::string* error);

// Minimum and median of the samples (0 when there are none).
struct Summary {
    double min = 0, median = 0;
    int count = 0;
};
Summary Summarise(std::vector<double> samples);
