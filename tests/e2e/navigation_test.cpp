// Back from every page that has it, and what each page shows again when it returns: the
// setup type, the component boxes, the destination; and the Typical and "Mouse Control
// Panel" branches of the page sequence.
#include "e2e.h"

namespace {

class Navigation : public E2ETest {};

} // namespace

TEST_F(Navigation, BackFromSetupTypeShowsWelcomeAgainAndKeepsTheChoice)
{
    HWND t = Go(StartAtWelcome(Script()), IDC_NEXT, kSetupType);
    ASSERT_TRUE(t);
    ASSERT_TRUE(Click(t, IDC_CUSTOM));
    HWND w = Go(t, IDC_BACK, kWelcome);
    ASSERT_TRUE(w);
    EXPECT_EQ("This program will install Velan into your computer.", ItemText(w, IDC_WELCOME_TEXT));
    ExpectPagePlaced(w, "Velan");
    t = Go(w, IDC_NEXT, kSetupType);
    ASSERT_TRUE(t);
    EXPECT_EQ(0, Checked(t, IDC_TYPICAL));
    EXPECT_EQ(1, Checked(t, IDC_CUSTOM));
    // Custom still in force: Next leads to the Components page.
    EXPECT_TRUE(Go(t, IDC_NEXT, kComponents));
}

TEST_F(Navigation, BackFromComponentsKeepsCustomAndTheBoxes)
{
    HWND t = Go(StartAtWelcome(Script()), IDC_NEXT, kSetupType);
    ASSERT_TRUE(Click(t, IDC_CUSTOM));
    HWND c = Go(t, IDC_NEXT, kComponents);
    ASSERT_TRUE(c);
    ASSERT_TRUE(Click(c, IDC_COMPONENT0));
    EXPECT_EQ(0, Checked(c, IDC_COMPONENT0));

    t = Go(c, IDC_BACK, kSetupType);
    ASSERT_TRUE(t);
    EXPECT_EQ(1, Checked(t, IDC_CUSTOM));
    EXPECT_EQ(0, Checked(t, IDC_TYPICAL));
    c = Go(t, IDC_NEXT, kComponents);
    ASSERT_TRUE(c);
    ExpectPagePlaced(c, "Velan");
    EXPECT_EQ(0, Checked(c, IDC_COMPONENT0)) << "\"Mouse Driver\" not restored as cleared";
    EXPECT_EQ(1, Checked(c, IDC_COMPONENT1));
    EXPECT_EQ(1, Checked(c, IDC_COMPONENT2));
    EXPECT_EQ(1, Checked(c, IDC_COMPONENT3));

    // Next from here keeps the boxes as well, as Back from the Destination page shows.
    ASSERT_TRUE(Click(c, IDC_COMPONENT0));
    ASSERT_TRUE(Click(c, IDC_COMPONENT0));
    HWND d = Go(c, IDC_NEXT, kDestination);
    c = Go(d, IDC_BACK, kComponents);
    ASSERT_TRUE(c);
    EXPECT_EQ(0, Checked(c, IDC_COMPONENT0));
    EXPECT_EQ(1, Checked(c, IDC_COMPONENT1));
}

TEST_F(Navigation, TypicalSetsAllFourComponentsAgain)
{
    HWND t = Go(StartAtWelcome(Script()), IDC_NEXT, kSetupType);
    ASSERT_TRUE(Click(t, IDC_CUSTOM));
    HWND c = Go(t, IDC_NEXT, kComponents);
    ASSERT_TRUE(c);
    ASSERT_TRUE(Click(c, IDC_COMPONENT0));
    t = Go(c, IDC_BACK, kSetupType);
    ASSERT_TRUE(t);
    ASSERT_TRUE(Click(t, IDC_TYPICAL));

    // Typical goes straight to the Destination page; Back returns to the Setup type.
    HWND d = Go(t, IDC_NEXT, kDestination);
    ASSERT_TRUE(d);
    EXPECT_FALSE(FindRunWindow(run, kComponents));
    t = Go(d, IDC_BACK, kSetupType);
    ASSERT_TRUE(t);
    EXPECT_EQ(1, Checked(t, IDC_TYPICAL));
    ASSERT_TRUE(Click(t, IDC_CUSTOM));
    c = Go(t, IDC_NEXT, kComponents);
    ASSERT_TRUE(c);
    for (int id = IDC_COMPONENT0; id <= IDC_COMPONENT3; ++id)
        EXPECT_EQ(1, Checked(c, id)) << "box " << id << " not set again by Typical";
}

TEST_F(Navigation, BackFromDestinationFollowsTheSetupType)
{
    HWND d = WelcomeToDestination(StartAtWelcome(Script()), false);
    ASSERT_TRUE(d);
    HWND t = Go(d, IDC_BACK, kSetupType);
    ASSERT_TRUE(t);
    ASSERT_TRUE(Click(t, IDC_CUSTOM));
    d = Go(Go(t, IDC_NEXT, kComponents), IDC_NEXT, kDestination);
    ASSERT_TRUE(d);
    ExpectPagePlaced(d, "Velan");
    EXPECT_TRUE(Go(d, IDC_BACK, kComponents));
    EXPECT_FALSE(DirExists(kDest)) << "Back created the destination";
}

TEST_F(Navigation, DestinationChosenInBrowseSurvivesBack)
{
    const char other[] = "C:\\e2e\\OTHER";
    HWND d = WelcomeToDestination(StartAtWelcome(Script()), false);
    ASSERT_TRUE(d);
    ASSERT_TRUE(Press(d, IDC_BROWSE));
    HWND b = WaitBrowse(run, d);
    ASSERT_TRUE(b);
    ASSERT_TRUE(SetItemText(b, IDC_DEST_LABEL, other));
    ASSERT_TRUE(EndBrowse(b, IDOK));
    ASSERT_TRUE(Settle(d));
    EXPECT_EQ(other, ItemText(d, IDC_DEST_LABEL));

    HWND t = Go(d, IDC_BACK, kSetupType);
    d = Go(t, IDC_NEXT, kDestination);
    ASSERT_TRUE(d);
    EXPECT_EQ(other, ItemText(d, IDC_DEST_LABEL));
    EXPECT_FALSE(DirExists(other));
}

// Without the control panel there is nothing to install: no destination is asked for,
// nothing is created or registered, the utility is left alone, and the setup ends
// with the not-completed warning instead of a Finish page that would claim success.
TEST_F(Navigation, MouseControlPanelClearedIsNotCompleted)
{
    UtilityWindow utility;
    ASSERT_TRUE(CreateUtilityWindow(&utility, "ZaderUvori"));
    HWND type = Go(StartAtWelcome(Script()), IDC_NEXT, kSetupType);
    ASSERT_TRUE(type);
    EXPECT_TRUE(Click(type, IDC_CUSTOM));
    HWND comp = Go(type, IDC_NEXT, kComponents);
    ASSERT_TRUE(comp);
    EXPECT_TRUE(Click(comp, IDC_COMPONENT1));
    ASSERT_TRUE(PressAndLeave(comp, IDC_NEXT));
    HWND box = WaitBox(run, FindRunWindow(run, "SetupMain"));
    ASSERT_TRUE(box);
    EXPECT_EQ("Velan installation is not completed !", BoxText(box));
    EXPECT_TRUE(PressOk(box));
    EXPECT_EQ(0u, End());
    EXPECT_EQ(0, utility.closes);
    DestroyUtilityWindow(&utility);
    EXPECT_FALSE(DirExists(kDest));
    EXPECT_FALSE(RegistrationPresent());
}
