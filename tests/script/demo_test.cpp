// The demo medium as the build lays it out: run by the demo_medium test, which names the
// medium and the plain payload in SETUP_MEDIUM and SETUP_PAYLOAD.
#include "script_fixture.h"
#include "tools/common/expand.h"
#include <set>

namespace {

std::string Env(const char* name)
{
    char value[MAX_PATH] = "";
    DWORD len = GetEnvironmentVariableA(name, value, MAX_PATH);
    return len > 0 && len < MAX_PATH ? value : "";
}

} // namespace

TEST(DemoMedium, EveryRecordExpandsToItsPlainOriginal)
{
    const std::string medium = Env("SETUP_MEDIUM");
    const std::string payload = Env("SETUP_PAYLOAD");
    if (medium.empty() || payload.empty())
        GTEST_SKIP() << "run through the demo_medium test, which names the medium";
    g_instance = GetModuleHandleA(nullptr);
    GetWindowsDirectoryA(g_windowsDir, kPathRoom);
    ASSERT_EQ(1, SetProgramDir((medium + "\\setup.exe").c_str()));
    ASSERT_EQ(1, ReadSetupScriptInProgramDir());

    EXPECT_STREQ("Velan Wheel Mouse", g_productName);
    EXPECT_STREQ("Velan Wheel Mouse Setup", g_titleText);
    EXPECT_STRNE("", g_utilityFile);
    EXPECT_STRNE("", g_controlPanelFile);
    ASSERT_EQ(2, g_diskCount);

    std::set<std::string> dirs, installed;
    int compressed = 0, plain = 0;
    for (int d = 0; d < g_diskCount; ++d) {
        for (int i = 0; i < g_fileCounts[d]; ++i) {
            const FileRecord* r = PlanRecord(d, i);
            SCOPED_TRACE(r->sourceName);
            ASSERT_STRNE("", r->sourceName);
            ASSERT_STRNE("", r->dirName) << "every record names a known directory key";
            dirs.insert(r->dirName);
            installed.insert(r->targetName);
            char source[200]; // the medium of a build may lie deep: not the program's room
            ASSERT_EQ(1, SourcePath(d, i, source, sizeof source));
            const std::string stored = ReadFileText(source);
            ASSERT_FALSE(stored.empty());
            const bool szdd = stored.size() > 4 && stored.compare(0, 4, "SZDD") == 0;
            (szdd ? compressed : plain) += 1;
            if (szdd)
                EXPECT_EQ('_', r->sourceName[strlen(r->sourceName) - 1]);
            // The uninstaller's script is written by the builder, not taken from the payload.
            const bool script = lstrcmpiA(r->targetName, "UNINSTAL.INF") == 0;
            const std::string original =
                script ? stored : ReadFileText(payload + "\\" + r->dirName + "\\" + r->targetName);
            ASSERT_FALSE(original.empty());
            std::string expanded;
            ExpandToScratch(source, &expanded);
            EXPECT_TRUE(std::string(original.begin(), original.end()) == expanded);
        }
    }
    EXPECT_EQ(10u, dirs.size()); // files go to every directory key
    EXPECT_GE(compressed, 3);
    EXPECT_GE(plain, 3);
    EXPECT_EQ(1u, installed.count(g_utilityFile));
    EXPECT_EQ(1u, installed.count(g_controlPanelFile));
    EXPECT_EQ(1u, installed.count("UNINSTAL.EXE"));
    EXPECT_EQ(1u, installed.count("UNINSTAL.INF"));
    FreePlan();
}
