// Cancel, Escape and Alt+F4 on every page that has Cancel: the not-completed warning
// owned by the page, then the end with nothing installed.
#include "e2e.h"

namespace {

enum class How { Cancel, Escape, AltF4 };

struct CancelCase {
    const char* page;
    How how;
};

std::string CaseName(const testing::TestParamInfo<CancelCase>& info)
{
    static const char* const kHow[] = {"_Cancel", "_Escape", "_AltF4"};
    std::string name = info.param.page;
    return name.substr(name.find('_') + 1) + kHow[(int)info.param.how];
}

class Cancel : public E2ETest, public testing::WithParamInterface<CancelCase> {
protected:
    HWND GoToPage(const char* cls)
    {
        HWND w = StartAtWelcome(Script());
        if (!lstrcmpA(cls, kWelcome))
            return w;
        HWND t = Go(w, IDC_NEXT, kSetupType);
        if (!lstrcmpA(cls, kSetupType) || !t)
            return t;
        if (!lstrcmpA(cls, kDestination))
            return Go(t, IDC_NEXT, kDestination);
        Click(t, IDC_CUSTOM);
        return Go(t, IDC_NEXT, kComponents);
    }
};

} // namespace

TEST_P(Cancel, WarnsThatTheInstallationIsNotCompletedAndEnds)
{
    UtilityWindow utility;
    ASSERT_TRUE(CreateUtilityWindow(&utility, "ZaderUvori"));
    HWND page = GoToPage(GetParam().page);
    ASSERT_TRUE(page);
    if (GetParam().how == How::Escape)
        ASSERT_TRUE(Key(page, VK_ESCAPE));
    else if (GetParam().how == How::AltF4)
        ASSERT_TRUE(AltKey(page, VK_F4));
    else
        ASSERT_TRUE(Press(page, IDC_CANCEL));
    HWND box = WaitBox(run, page);
    ASSERT_TRUE(box) << "no warning owned by the page";
    EXPECT_EQ("Velan Setup Program", Text(box));
    EXPECT_EQ("Velan installation is not completed !", BoxText(box));
    EXPECT_TRUE(IsWindow(page)) << "the page went before the warning was answered";
    ASSERT_TRUE(PressOk(box));
    EXPECT_EQ(0u, End());
    EXPECT_EQ(0, utility.closes);
    DestroyUtilityWindow(&utility);
    EXPECT_FALSE(DirExists(kDest));
    EXPECT_FALSE(RegistrationPresent());
}

INSTANTIATE_TEST_SUITE_P(
    EveryPageWithCancel, Cancel,
    testing::Values(CancelCase{kWelcome, How::Cancel}, CancelCase{kWelcome, How::Escape},
                    CancelCase{kWelcome, How::AltF4}, CancelCase{kSetupType, How::Cancel},
                    CancelCase{kSetupType, How::Escape}, CancelCase{kSetupType, How::AltF4},
                    CancelCase{kComponents, How::Cancel}, CancelCase{kComponents, How::Escape},
                    CancelCase{kComponents, How::AltF4}, CancelCase{kDestination, How::Cancel},
                    CancelCase{kDestination, How::Escape}, CancelCase{kDestination, How::AltF4}),
    CaseName);
