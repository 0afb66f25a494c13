#include "wizard_test.h"

void WizardTest::TearDown()
{
    KillSetup(&run);
    RemoveTree(kWorkRoot);
    RemoveRegistration();
    ResetPrefixSettings();
}

bool WizardTest::Start(const char* inf, const char* relay, const char* args)
{
    if (!MakeMedium(kMediumDir, inf)) {
        ADD_FAILURE() << "cannot make the medium in " << kMediumDir << " from " << BuildMedium();
        return false;
    }
    if (!StartSetup(&run, kMediumDir, relay, args)) {
        ADD_FAILURE() << "cannot start setup.exe, error " << GetLastError();
        return false;
    }
    return true;
}

DWORD WizardTest::End(DWORD timeoutMs)
{
    DWORD code = 0xDEAD;
    EXPECT_TRUE(WaitSetupEnd(&run, timeoutMs, &code)) << "setup.exe did not end and was killed";
    return code;
}
