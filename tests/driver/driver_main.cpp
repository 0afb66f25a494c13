// Entry of every test program built with wizard_test(): the prefix is put in order once
// before the tests and after them.
#include "wizard_test.h"

namespace {

class WizardEnvironment : public ::testing::Environment {
    void SetUp() override
    {
        KeepDesktop();
        ResetPrefixSettings();
        RemoveTree(kWorkRoot);
        RemoveRegistration();
    }
    void TearDown() override
    {
        RemoveTree(kWorkRoot);
        SetReportedVersion(nullptr);
    }
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new WizardEnvironment);
    return RUN_ALL_TESTS();
}
