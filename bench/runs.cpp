// One measured run each: the floor program, setup.exe through the wizard, the no-op
// program; and the check that an installation equals its payload.
//
// setup.exe's moments are taken from outside by polling for its windows by class every
// millisecond or so: the backdrop (SetupMain), the Welcome page, the Installing page and
// the Finish page each exist from the moment their creation starts. While the files are
// copied the bench only looks every 5 ms whether the Installing page is still there, and
// polls closely again for the Finish page, which follows a few milliseconds later.
#include "bench.h"
#include "driver.h"
#include "typical_walk.h"
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Handles the bench's own messages (its keep-alive window) while waiting up to `ms` for
// the process to end; 1 when it has ended.
int WaitOrPump(HANDLE process, DWORD ms)
{
    DWORD r = MsgWaitForMultipleObjects(1, &process, FALSE, ms, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return r == WAIT_OBJECT_0;
}

double PeakWorkingSetMib(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    if (!GetProcessMemoryInfo(process, &pmc, sizeof pmc))
        return 0;
    return pmc.PeakWorkingSetSize / 1048576.0;
}

// Waits for a window of class `cls` of the run; `at` takes the moment it was seen.
HWND PollWindow(const SetupRun& run, const char* cls, DWORD timeoutMs, double* at)
{
    const double start = NowMs();
    for (;;) {
        for (HWND w = FindWindowA(cls, nullptr); w; w = FindWindowExA(nullptr, w, cls, nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == run.pi.dwProcessId) {
                *at = NowMs();
                return w;
            }
        }
        if (NowMs() - start > timeoutMs || WaitOrPump(run.pi.hProcess, 1))
            return nullptr;
    }
}

// Waits until window `w` of the run is gone, looking every `periodMs` only: a long wait
// must not load the Wine server that setup.exe is busy with. `at` takes the moment seen.
int WaitWindowGone(const SetupRun& run, HWND w, DWORD periodMs, DWORD timeoutMs, double* at)
{
    const double start = NowMs();
    while (IsWindow(w)) {
        if (NowMs() - start > timeoutMs || WaitOrPump(run.pi.hProcess, periodMs))
            return 0;
    }
    *at = NowMs();
    return 1;
}

bool NeedsPaint(HWND w)
{
    RECT r;
    if (GetUpdateRect(w, &r, FALSE))
        return true;
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c) && GetUpdateRect(c, &r, FALSE))
            return true;
    return false;
}

// Waits until the page and its controls are painted and its thread waits for input:
// nothing left to paint, then a round trip through its message loop (which lets a
// paint under way finish). `at` takes that moment.
int WaitPainted(const SetupRun& run, HWND page, DWORD timeoutMs, double* at)
{
    const double start = NowMs();
    while (NowMs() - start < timeoutMs && IsWindow(page)) {
        DWORD_PTR r;
        if (IsWindowVisible(page) && !NeedsPaint(page) &&
            SendMessageTimeoutA(page, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r) && !NeedsPaint(page)) {
            *at = NowMs();
            return 1;
        }
        if (WaitOrPump(run.pi.hProcess, 1))
            return 0;
    }
    return 0;
}

SetupTimes Fail(SetupRun* run, SetupTimes t, const char* what)
{
    t.ok = false;
    t.error = what;
    KillSetup(run);
    return t;
}

} // namespace

std::string g_dest = "C:\\BENCHOUT";

double NowMs()
{
    static LARGE_INTEGER freq;
    if (!freq.QuadPart)
        QueryPerformanceFrequency(&freq);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * (double)now.QuadPart / (double)freq.QuadPart;
}

int LoadMedium(Medium* m)
{
    std::string text;
    if (!ReadFileText(m->listFile.c_str(), &text))
        return 0;
    m->files = 0;
    double bytes = 0;
    for (size_t pos = 0; pos < text.size();) {
        size_t nl = text.find('\n', pos);
        std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? text.size() : nl + 1;
        size_t tab = line.rfind('\t');
        if (tab == std::string::npos)
            continue;
        bytes += atof(line.c_str() + tab + 1);
        ++m->files;
    }
    m->mib = bytes / 1048576.0;
    return m->files > 0;
}

FloorRun RunFloor(const std::string& floorExe, const Medium& m)
{
    FloorRun f;
    RemoveTree(g_dest.c_str());
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) {
        f.error = "no pipe";
        return f;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string cmd = "\"" + floorExe + "\" \"" + m.dir + "\" \"" + g_dest + "\"";
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    std::string out;
    char buf[512];
    DWORD got;
    while (started && ReadFile(readEnd, buf, sizeof buf, &got, nullptr) && got)
        out.append(buf, got);
    CloseHandle(readEnd);
    if (!started) {
        f.error = "benchfloor could not be started";
        return f;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    size_t at = out.find(" ms ");
    if (code != 0 || at == std::string::npos) {
        f.error = "benchfloor failed: " + out;
        return f;
    }
    f.ms = atof(out.c_str() + at + 4);
    size_t read = out.find(" read ");
    f.readMs = read == std::string::npos ? 0 : atof(out.c_str() + read + 6);
    f.ok = true;
    return f;
}

SetupTimes RunSetup(const Medium& m)
{
    SetupTimes t;
    SetupRun run;
    RemoveTree(g_dest.c_str());
    const double launch = NowMs();
    if (!StartSetup(&run, m.dir.c_str()))
        return Fail(&run, t, "setup.exe could not be started");
    // The Typical walk, timed: each page is waited for until it is painted and waits for
    // input, except the Installing page; its creation and the Finish page's bound the
    // installation.
    const char* why = nullptr;
    double installing = 0;
    TypicalWalker walker;
    walker.run = &run;
    walker.arrive = [&](const WalkStep& step) -> HWND {
        const std::string cls = step.page;
        double seen, painted;
        if (cls == "SETUP_BEGIN") {
            double backdrop;
            if (!PollWindow(run, "SetupMain", kWaitLimit, &backdrop)) {
                why = "no backdrop";
                return nullptr;
            }
            HWND page = PollWindow(run, step.page, kWaitLimit, &seen);
            if (!page || !WaitPainted(run, page, kWaitLimit, &painted)) {
                why = "no Welcome page";
                return nullptr;
            }
            t.toBackdrop = backdrop - launch;
            t.dissolve = seen - backdrop;
            t.firstPage = painted - seen;
            return page;
        }
        if (step.leavesByItself) {
            HWND page = PollWindow(run, step.page, kWaitLimit, &installing);
            why = page ? nullptr : "no Installing page";
            return page;
        }
        if (cls == "SETUP_END") {
            HWND page = PollWindow(run, step.page, kWaitLimit, &seen);
            if (!page) {
                why = "no Finish page";
                return nullptr;
            }
            t.install = seen - installing - 1000.0;
            t.peakMib = PeakWorkingSetMib(run.pi.hProcess);
            if (!WaitPainted(run, page, kWaitLimit, &painted)) {
                why = "the Finish page did not settle";
                return nullptr;
            }
            return page;
        }
        HWND page = PollWindow(run, step.page, kWaitLimit, &seen);
        if (!page || !WaitPainted(run, page, kWaitLimit, &painted)) {
            why = cls == "SETUP_SELTYPE" ? "no Setup type page" : "no Destination page";
            return nullptr;
        }
        return page;
    };
    walker.onPage = [&](const WalkStep& step, HWND page) {
        // The label shows the destination that Next takes, as the Browse dialog leaves it.
        if (std::string(step.page) == "SETUP_SELDIR" && ItemText(page, IDC_DEST_LABEL) != g_dest &&
            !SetItemText(page, IDC_DEST_LABEL, g_dest.c_str())) {
            why = "the Destination page did not take the bench's destination";
            return 0;
        }
        return 1;
    };
    walker.leave = [&](const WalkStep& step, HWND page) {
        double closed;
        if (step.leavesByItself && !WaitWindowGone(run, page, 5, 600000, &closed)) {
            why = "the Installing page did not close";
            return 0;
        }
        if (!step.leavesByItself)
            Press(page, IDC_NEXT); // the next page's arrival is what is timed
        return 1;
    };
    if (!WalkTypical(walker))
        return Fail(&run, t, why ? why : "the walk stopped");
    DWORD code = 0;
    if (!WaitSetupEnd(&run, kWaitLimit, &code))
        return Fail(&run, t, "setup.exe did not end after Finish");
    KillSetup(&run);
    t.ok = true;
    return t;
}

double RunNoop(const std::string& noopExe)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::vector<char> line(noopExe.begin(), noopExe.end());
    line.push_back('\0');
    PROCESS_INFORMATION pi = {};
    const double start = NowMs();
    if (!CreateProcessA(noopExe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    while (!WaitOrPump(pi.hProcess, 1000)) {
    }
    const double ms = NowMs() - start;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return ms;
}

int SameAsPayload(const Medium& m, std::string* error)
{
    std::string list;
    if (!ReadFileText(m.listFile.c_str(), &list)) {
        *error = "no file list " + m.listFile;
        return 0;
    }
    for (size_t pos = 0; pos < list.size();) {
        size_t nl = list.find('\n', pos);
        std::string line = list.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? list.size() : nl + 1;
        size_t tab1 = line.find('\t'), tab2 = line.rfind('\t');
        if (tab1 == std::string::npos || tab2 == tab1)
            continue;
        std::string dir = line.substr(0, tab1), name = line.substr(tab1 + 1, tab2 - tab1 - 1);
        std::string rel = dir == "." ? name : dir + "\\" + name;
        std::string installed, original;
        std::string target = g_dest + "\\" + rel;
        if (!ReadFileText(target.c_str(), &installed)) {
            *error = target + " is missing";
            return 0;
        }
        if (!ReadFileText((m.payload + "\\" + rel).c_str(), &original)) {
            *error = m.payload + "\\" + rel + " cannot be read";
            return 0;
        }
        if (installed != original) {
            *error = target + " differs from the payload";
            return 0;
        }
    }
    return 1;
}

Summary Summarise(std::vector<double> samples)
{
    Summary s;
    s.count = (int)samples.size();
    if (samples.empty())
        return s;
    std::sort(samples.begin(), samples.end());
    s.min = samples.front();
    const size_t n = samples.size();
    s.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    return s;
}
