// The fixture of tests that drive setup.exe: a medium of the test's own in the prefix,
// setup.exe started on it, and everything removed again after the test, setup.exe
// included.
#pragma once
#include "driver.h"
#include <gtest/gtest.h>

// Media and destinations of the tests live here; removed after every test.
constexpr char kWorkRoot[] = "C:\\e2e";
constexpr char kMediumDir[] = "C:\\e2e\\medium";

class WizardTest : public ::testing::Test {
protected:
    SetupRun run;

    void TearDown() override;
    // Makes the test's medium (the build's, with `inf` as SETUP.INF when given) and
    // starts setup.exe on it; `relay` as for StartSetup.
    bool Start(const char* inf, const char* relay = nullptr, const char* args = nullptr);
    // Waits for setup.exe to end; a run that has to be killed fails the test.
    DWORD End(DWORD timeoutMs = kWaitLimit);
};
