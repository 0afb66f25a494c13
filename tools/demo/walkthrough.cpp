// walkthrough: clicks through the wizard on a medium as a user would, for the demo on a
// machine without a display of its own.
//
//   walkthrough MEDIUM SHOTS_DIR
//   walkthrough --uninstall SHOTS_DIR
//
// First an installation: Welcome, Typical, the default destination, the Installing page,
// no restart. Then the installed resident utility is started as a logon would start it,
// from its Run entry, and the wizard is walked once more: before the Installing page the
// setup asks the utility to close, and the utility ends. A screenshot of the backdrop,
// of every page and of every message box on the way is saved as a BMP file in SHOTS_DIR.
// Exit status 0 when both walks ended as a user expects.
//
// With --uninstall it removes the installed package as a user would: it starts the
// command of the package's entry among the installed programs, answers Yes, and shoots
// and shows both of the uninstaller's boxes. Exit status 0 when both boxes came.
#include "typical_walk.h"
#include "engine/registration.h"
#include "engine/utility.h"
#include <cstdio>

namespace {


std::string g_shots;
int g_shotCount;
HANDLE g_utility; // the installed utility while it runs

void Say(const char* format, const std::string& text = "")
{
    printf(format, text.c_str());
    printf("\n");
    fflush(stdout);
}

// Saves the screen as the next numbered shot `name`; `number`, when given, saves it again
// under that earlier shot's number instead. The number used.
int Shot(const char* name, int number = 0)
{
    if (!number)
        number = ++g_shotCount;
    char path[MAX_PATH];
    wsprintfA(path, "%s\\%02d-%s.bmp", g_shots.c_str(), number, name);
    if (!SaveScreenshot(path))
        Say("  (no screenshot %s)", name);
    return number;
}

// A page shown and fully painted: its thread has handled everything before, and the
// screen has caught up with the paint.
HWND Page(const SetupRun& run, const char* cls)
{
    HWND page = WaitPage(run, cls);
    if (!page) {
        Say("  the page %s did not appear", cls);
        return nullptr;
    }
    Pump(300);
    Settle(page);
    return page;
}

// Presses Next (or Finish) and waits for the page to go; a message box that the press
// opens instead is shot, reported and confirmed, and counts as a failure.
int Next(const SetupRun& run, HWND page)
{
    Press(page, 1);
    DWORD start = GetTickCount();
    while (IsWindow(page) && GetTickCount() - start < kWaitLimit) {
        if (HWND box = WaitBox(run, page, 50)) {
            Shot("message-box");
            Say("  message box: %s", BoxText(box));
            PressOk(box);
            return 0;
        }
    }
    return !IsWindow(page);
}

// The Installing page runs the whole installation while it is up; it ends on "Updating
// Registry...", shown for a second with the bar full. The page is shot as soon as it is
// seen and once more, over the first, when the registration shows: a walkthrough held
// off the processor for that second on a loaded machine still has its shot.
int WatchInstalling(HWND page, bool shots)
{
    if (g_utility)
        Say(WaitForSingleObject(g_utility, 0) == WAIT_OBJECT_0
                ? "Close request: the utility \"ZaderUvori\" has ended%s"
                : "Close request: the utility \"ZaderUvori\" is still running%s");
    Say("Installing: the page creates the directories and copies the files");
    std::string status;
    const int shot = shots ? Shot("installing") : 0;
    DWORD start = GetTickCount();
    while (IsWindow(page) && GetTickCount() - start < 2 * kWaitLimit) {
        std::string now = ItemText(page, IDC_STATUS);
        if (now != status && now.compare(0, 7, "Copying") == 0)
            Say("Installing: %s", now.substr(0, now.find('\n')));
        status = now;
        if (status == "Updating Registry...") {
            Say("Installing: %s", status);
            Pump(200);
            if (shots)
                Shot("installing", shot);
            break;
        }
        Pump(5);
    }
    return 1;
}

// One walk from the Welcome page to the end; `shots` chooses whether every page is shot.
int Walk(SetupRun* run, const char* medium, bool shots)
{
    if (!StartSetup(run, medium)) {
        Say("  setup.exe could not be started from %s", medium);
        return 0;
    }
    TypicalWalker walker;
    walker.run = run;
    walker.arrive = [&](const WalkStep& step) {
        return step.leavesByItself ? WaitPage(*run, step.page) : Page(*run, step.page);
    };
    walker.onPage = [&](const WalkStep& step, HWND page) {
        const std::string cls = step.page;
        if (cls == "SETUP_BEGIN") {
            if (shots) {
                // The backdrop alone: the page steps aside for a moment.
                ShowWindow(page, SW_HIDE);
                Pump(500);
                Shot("backdrop");
                ShowWindow(page, SW_SHOWNA);
                Pump(300);
                Settle(page);
                Shot("welcome");
            }
            Say("Welcome: %s", ItemText(page, IDC_WELCOME_TEXT));
        } else if (cls == "SETUP_SELDIR") {
            if (shots)
                Shot("destination");
            Say("Destination: %s", ItemText(page, IDC_DEST_LABEL));
        } else if (step.leavesByItself) {
            return WatchInstalling(page, shots);
        }
        return 1;
    };
    walker.chosen = [&](const WalkStep& step, HWND) {
        if (step.choice == IDC_TYPICAL) {
            if (shots)
                Shot("setup-type");
            Say("Setup type: Typical");
        } else if (step.choice == IDC_RESTART_NO) {
            if (shots)
                Shot("finish");
            Say("Finish: %s", "no restart");
        }
        return 1;
    };
    walker.leave = [&](const WalkStep& step, HWND page) {
        return step.leavesByItself ? WaitGone(page) : Next(*run, page);
    };
    if (!WalkTypical(walker))
        return 0;
    DWORD code = 0;
    if (!WaitSetupEnd(run, kWaitLimit, &code)) {
        Say("  setup.exe did not end");
        return 0;
    }
    Say("setup.exe ended");
    return 1;
}

// Runs the command line of the Run entry, as a logon would.
int StartUtility(PROCESS_INFORMATION* pi)
{
    char command[MAX_PATH] = "";
    DWORD size = sizeof command - 1, type = 0;
    HKEY key;
    const RegValue* value = nullptr;
    const RegStep* run = FindRegValue(RegData::UtilityCommand, &value);
    if (!run || RegOpenKeyExA(RegRootKey(run->root), run->key, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    LONG r = RegQueryValueExA(key, value->name, nullptr, &type, (BYTE*)command, &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS)
        return 0;
    Say("Logon: running %s", command);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, pi))
        return 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitLimit; Pump(50))
        if (HWND w = FindWindowA(nullptr, kUtilityTitle))
            if (IsWindowVisible(w))
                return 1;
    return 0;
}

// Shoots the uninstaller's box, says its text and presses `button`.
int AnswerBox(const SetupRun& run, const char* name, int button)
{
    HWND box = WaitBox(run, nullptr);
    if (!box) {
        Say("  no box from the uninstaller");
        return 0;
    }
    Pump(300);
    Settle(box);
    Shot(name);
    Say("  \"%s\"", BoxText(box));
    Press(box, button);
    return WaitGone(box);
}

int Uninstall()
{
    const RegValue* value = nullptr;
    const RegStep* entry = FindRegValue(RegData::UninstallCommand, &value);
    const std::string command =
        entry ? RegText(RegRootKey(entry->root), entry->key, value->name) : "<none>";
    if (command == "<none>") {
        Say("  no Uninstall entry: nothing to remove");
        return 0;
    }
    std::string dir = command;
    if (!dir.empty() && dir[0] == '"')
        dir = dir.substr(1, dir.find('"', 1) - 1);
    dir = dir.substr(0, dir.rfind('\\'));
    Say("Remove: running %s", command);
    SetupRun run;
    if (!StartCommand(&run, command.c_str(), dir.c_str())) {
        Say("  the command did not start");
        return 0;
    }
    int ok = AnswerBox(run, "uninstall-question", IDYES) && AnswerBox(run, "uninstall-closing", IDOK);
    ok = WaitSetupEnd(&run, kWaitLimit) && ok;
    KillSetup(&run);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: walkthrough MEDIUM SHOTS_DIR\n       walkthrough --uninstall SHOTS_DIR\n");
        return 2;
    }
    const char* medium = argv[1];
    g_shots = argv[2][0] == '/' ? DosPath(argv[2]) : std::string(argv[2]);
    MakeDirs(g_shots.c_str());
    KeepDesktop();
    if (lstrcmpA(medium, "--uninstall") == 0) {
        g_shotCount = 50; // after the installation's
        return Uninstall() ? 0 : 1;
    }

    SetupRun run;
    Say("== Installing from %s", medium);
    int ok = Walk(&run, medium, true);
    KillSetup(&run);
    if (!ok) {
        Shot("stopped");
        Say("The walk stopped here.");
        return 1;
    }

    Say("\n== The installed utility runs; the setup is run again");
    PROCESS_INFORMATION utility = {};
    if (!StartUtility(&utility)) {
        Say("  the installed utility did not show its window");
        return 1;
    }
    Pump(300);
    Shot("utility-running");
    g_utility = utility.hProcess;
    ok = Walk(&run, medium, false);
    KillSetup(&run);
    const bool ended = WaitForSingleObject(utility.hProcess, kWaitLimit) == WAIT_OBJECT_0;
    Say(ended ? "The utility received the setup's close request and ended."
              : "The utility is still running: the close request did not reach it.");
    if (!ended)
        TerminateProcess(utility.hProcess, 1);
    CloseHandle(utility.hProcess);
    CloseHandle(utility.hThread);
    return ok && ended ? 0 : 1;
}
