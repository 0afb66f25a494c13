// The end-to-end tests' shared helpers: the demo package installed through the wizard and
// removed with its uninstaller, and what an installation touches.
#include "install_e2e.h"
#include "engine/restartlist.h"
#include <algorithm>

std::string WindowsDir()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, MAX_PATH);
    return dir;
}

std::string Installed(const char* where, const std::string& dest)
{
    std::string path = where;
    size_t at = path.find('>');
    std::string root = path.compare(0, 6, "<dest>") == 0 ? dest : WindowsDir();
    return root + path.substr(at + 1);
}

int CheckMedium(const char* medium)
{
    const std::string line = "\"" + DosPath(MEDIUMCHECK_EXE) + "\" " + medium;
    SetupRun checker;
    DWORD code = (DWORD)-1;
    if (StartCommand(&checker, line.c_str(), nullptr))
        WaitSetupEnd(&checker, kWaitLimit, &code);
    KillSetup(&checker);
    return (int)code;
}

std::string DemoScript(const std::string& dest)
{
    std::string inf;
    EXPECT_TRUE(ReadFileText((BuildMedium() + "\\SETUP.INF").c_str(), &inf));
    size_t at = inf.find("DefaultPath=VELAN");
    EXPECT_NE(std::string::npos, at);
    if (at != std::string::npos)
        inf.replace(at, 17, std::string("DefaultPath=") + dest);
    return inf;
}

void InstallE2E::TearDown()
{
    for (const auto& f : kDemoFiles)
        if (std::string(f.second).compare(0, 5, "<win>") == 0) {
            DeleteFileA(Installed(f.second).c_str());
            SetSharedCount(Installed(f.second), -1);
        }
    E2ETest::TearDown();
}

std::string InstallE2E::Uninstall(int answer, const std::string& program)
{
    std::string command =
        program.empty() ? RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString") : "\"" + program + "\"";
    std::string path = command;
    path.erase(std::remove(path.begin(), path.end(), '"'), path.end());
    std::string dir = path.substr(0, path.rfind('\\'));
    if (!StartCommand(&run, command.c_str(), dir.c_str())) {
        ADD_FAILURE() << "cannot start " << command;
        return "";
    }
    HWND box = WaitBox(run, nullptr);
    if (!box) {
        ADD_FAILURE() << "no question from " << command;
        return "";
    }
    EXPECT_EQ("Remove Velan Wheel Mouse and all of its components?", BoxText(box));
    EXPECT_EQ("Velan Wheel Mouse Uninstall", Text(box));
    EXPECT_TRUE(Press(box, answer));
    EXPECT_TRUE(WaitGone(box));
    std::string closing;
    if (answer == IDYES && (box = WaitBox(run, nullptr)) != nullptr) {
        closing = BoxText(box);
        MaybeScreenshot("uninstall-closing");
        EXPECT_TRUE(PressOk(box));
    }
    End();
    return closing;
}

namespace {

void ListTree(const std::string& dir, std::vector<std::string>* out)
{
    if (!DirExists(dir.c_str()))
        return;
    out->push_back(dir + "\\");
    for (const std::string& name : ListNames(dir)) {
        const std::string path = dir + "\\" + name;
        if (DirExists(path.c_str()))
            ListTree(path, out);
        else
            out->push_back(path);
    }
}

void DumpKey(HKEY root, const std::string& key, std::vector<std::string>* out)
{
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k))
        return;
    out->push_back(key + "\\");
    char name[256], data[1024], sub[256];
    DWORD type;
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = sizeof name, dataLen = sizeof data - 1;
        if (RegEnumValueA(k, i, name, &nameLen, nullptr, &type, (BYTE*)data, &dataLen))
            break;
        data[dataLen] = '\0';
        out->push_back(key + ":" + name + "=" + (type == REG_SZ ? data : "(binary)"));
    }
    for (DWORD i = 0; !RegEnumKeyA(k, i, sub, sizeof sub); ++i)
        out->push_back(key + "\\" + sub + "\\");
    RegCloseKey(k);
}


} // namespace

std::vector<std::string> Snapshot()
{
    std::vector<std::string> lines;
    ListTree(kDest, &lines);
    for (const auto& f : kDemoFiles)
        if (std::string(f.second).compare(0, 5, "<win>") == 0 && FileExists(Installed(f.second).c_str()))
            lines.push_back(Installed(f.second));
    for (const char* key : {kClassKey, kServerKey})
        DumpKey(HKEY_CLASSES_ROOT, key, &lines);
    for (const std::string& key : {std::string(kHandlersKey), std::string(kHandlersKey) + "\\ZelMousePage",
                                   std::string(kRunKey), std::string(kUninstallKey)})
        DumpKey(HKEY_LOCAL_MACHINE, key, &lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string PendingRenames()
{
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_READ, &k))
        return "";
    std::string data(65536, '\0');
    DWORD size = (DWORD)data.size(), type;
    LONG r = RegQueryValueExA(k, kPendingRenamesValue, nullptr, &type, (BYTE*)&data[0], &size);
    RegCloseKey(k);
    return r ? "" : data.substr(0, size);
}

void RestorePendingRenames(const std::string& raw)
{
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_SET_VALUE, &k))
        return;
    if (raw.empty())
        RegDeleteValueA(k, kPendingRenamesValue);
    else
        RegSetValueExA(k, kPendingRenamesValue, 0, REG_MULTI_SZ, (const BYTE*)raw.data(), (DWORD)raw.size());
    RegCloseKey(k);
}

int PendingRemoval(const std::string& list, std::string path)
{
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    std::string lower = list, want = "\\??\\" + path + std::string(2, '\0');
    CharLowerBuffA(&lower[0], (DWORD)lower.size());
    CharLowerBuffA(&want[0], (DWORD)want.size());
    return lower.find(want) != std::string::npos;
}

std::vector<std::pair<std::string, std::string>> PendingPairs(const std::string& list)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    size_t at = 0;
    while (at < list.size() && list[at]) {
        std::string from = list.c_str() + at;
        at += from.size() + 1;
        std::string to = at < list.size() ? list.c_str() + at : "";
        at += to.size() + 1;
        pairs.emplace_back(from, to);
    }
    return pairs;
}

void InstallE2E::InstallDemo(const std::string& dest)
{
    HWND welcome = StartAtWelcome(DemoScript(dest));
    ASSERT_TRUE(welcome);
    // Checked while the wizard waits on its Welcome page: the checker's start alone can
    // outlast the whole Installing page on a loaded machine.
    EXPECT_EQ(0, CheckMedium(kMediumDir)) << "the checker fails the medium the setup installs";
    HWND i = ToInstalling(welcome);
    ASSERT_TRUE(i);
    // The page shows the registration for a second with the bar full, then goes. A test
    // thread held off the processor for longer misses it; the page's own tests
    // (install_tests) pin the bar and the texts, so only what is seen is checked here.
    for (DWORD start = GetTickCount(); IsWindow(i) && GetTickCount() - start < kWaitLimit; Pump(10)) {
        if (ItemText(i, IDC_STATUS) == "Updating Registry...") {
            const std::string percent = ItemText(i, IDC_PERCENT);
            EXPECT_TRUE(percent == "100%" || !IsWindow(i)) << percent;
            MaybeScreenshot("install-registry");
            break;
        }
    }
    HWND f = WaitPage(run, kFinish);
    ASSERT_TRUE(f);
    FinishAndEnd(f, false);
}
