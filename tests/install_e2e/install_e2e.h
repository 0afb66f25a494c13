// What the end-to-end installation and removal tests share: the demo package's files and
// where they go, its script for a destination, installing it through the wizard,
// starting its uninstaller, and snapshots of what an installation touches.
#pragma once
#include "e2e.h"
#include "support/registry.h"
#include <string>
#include <utility>
#include <vector>

std::string WindowsDir();

// Where each file of the demo payload is installed; "<dest>" and "<win>" stand for the
// destination and the Windows directory.
inline constexpr std::pair<const char*, const char*> kDemoFiles[] = {
    {"README.TXT", "<dest>\\README.TXT"},
    {"VWHEEL.EXE", "<dest>\\VWHEEL.EXE"},
    {"VWCPL.DLL", "<dest>\\VWCPL.DLL"},
    {"UNINSTAL.EXE", "<dest>\\UNINSTAL.EXE"},
    {"DRIVERS\\VWMOUSE.SYS", "<win>\\SYSTEM32\\DRIVERS\\VWMOUSE.SYS"},
    {"DRIVERS\\VWFILTER.SYS", "<win>\\SYSTEM32\\DRIVERS\\VWFILTER.SYS"},
    {"INF\\VWMOUSE.INF", "<win>\\INF\\VWMOUSE.INF"},
    {"SYSTEM\\VWHOOK.DLL", "<win>\\SYSTEM\\VWHOOK.DLL"},
    {"WINDOWS\\VWHEEL.INI", "<win>\\VWHEEL.INI"},
    {"HELP\\VWHEEL.HLP", "<dest>\\HELP\\VWHEEL.HLP"},
    {"HELP\\VWHEEL.CNT", "<dest>\\HELP\\VWHEEL.CNT"},
    {"DOCS\\MANUAL.TXT", "<dest>\\DOCS\\MANUAL.TXT"},
    {"DOCS\\LICENSE.TXT", "<dest>\\DOCS\\LICENSE.TXT"},
    {"TOOLS\\VWTEST.EXE", "<dest>\\TOOLS\\VWTEST.EXE"},
    {"SCHEMES\\DEFAULT.VWS", "<dest>\\SCHEMES\\DEFAULT.VWS"},
    {"SCHEMES\\OFFICE.VWS", "<dest>\\SCHEMES\\OFFICE.VWS"},
    {"SAMPLES\\SCROLL.TXT", "<dest>\\SAMPLES\\SCROLL.TXT"},
};

// The installed path of a kDemoFiles target, "<dest>" being kDest or `dest`.
std::string Installed(const char* where, const std::string& dest = kDest);

// The medium checker's exit status for `medium`: 0 sound, 1 incomplete; -1 when it
// cannot be run.
int CheckMedium(const char* medium);

// The demo medium's SETUP.INF with `dest` as its destination.
std::string DemoScript(const std::string& dest = kDest);

class InstallE2E : public E2ETest {
protected:
    // The demo's files in the Windows directories and their shared-file counts go.
    void TearDown() override;
    // From the Welcome page through Typical and the destination to the Installing page.
    HWND ToInstalling(HWND welcome) { return Go(WelcomeToDestination(welcome, false), IDC_NEXT, kInstalling); }
    // Installs the demo medium to `dest` with Typical and no restart.
    void InstallDemo(const std::string& dest = kDest);
    // Starts the command of the Uninstall entry as the list of installed programs does
    // (or `program`, when given) and answers its question with IDYES or IDNO. The closing
    // box's text, or "" when none came.
    std::string Uninstall(int answer, const std::string& program = "");
};

// The files an installation of the demo can touch (the destination's tree and the demo's
// files in the Windows directories) and the registry keys of the registration, one line
// per file, directory, key, value and subkey, sorted.
std::vector<std::string> Snapshot();

// The system's list of files to remove or rename at the next restart (REG_MULTI_SZ,
// kept raw so that a test can put it back).
std::string PendingRenames();
void RestorePendingRenames(const std::string& raw);
// 1 when the pending list removes `path` (a file, or a directory with its closing
// backslash) at the restart: its entry is followed by an empty target.
int PendingRemoval(const std::string& list, std::string path);
// The pairs of the pending list: what each operation takes and where it puts it ("" to
// delete, "!" in front to replace).
std::vector<std::pair<std::string, std::string>> PendingPairs(const std::string& list);
