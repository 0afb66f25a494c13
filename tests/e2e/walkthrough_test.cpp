// The wizard walked through from start to end as a user would: every page of the
// Typical and the Custom path, their titles, texts, initial states and placement.
#include "e2e.h"
#include "typical_walk.h"

namespace {

class Walkthrough : public E2ETest {};

void ExpectWelcome(HWND w, const std::string& product)
{
    EXPECT_EQ(" Welcome to the Setup Program.", ItemText(w, IDC_HEADING));
    EXPECT_EQ("This program will install " + product + " into your computer.", ItemText(w, IDC_WELCOME_TEXT));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(w, IDC_BACK)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(w, IDC_BACK))) << "Back can be pressed on the Welcome page";
}

void ExpectFinish(HWND f, const std::string& product)
{
    EXPECT_EQ("You have installed " + product + " Successfully !", ItemText(f, IDC_HEADING));
    EXPECT_EQ("Yes, I want to restart my computer now.", ItemText(f, IDC_RESTART_YES));
    EXPECT_EQ("No, I will restart my computer latter.", ItemText(f, IDC_RESTART_NO));
    EXPECT_EQ(1, Checked(f, IDC_RESTART_YES));
    EXPECT_EQ(0, Checked(f, IDC_RESTART_NO));
    EXPECT_FALSE(GetDlgItem(f, IDC_CANCEL));
    EXPECT_FALSE(GetDlgItem(f, IDC_BACK));
}

} // namespace

TEST_F(Walkthrough, TypicalPathThroughEveryPage)
{
    HWND w = StartAtWelcome(Script());
    ASSERT_TRUE(w);
    TypicalWalker walker;
    walker.run = &run;
    walker.arrive = [&](const WalkStep& step) {
        HWND page = &step == &kTypicalWalk[0] ? w : WaitPage(run, step.page);
        EXPECT_TRUE(page) << "no " << step.page << " page";
        return page;
    };
    walker.onPage = [&](const WalkStep& step, HWND page) {
        ExpectPagePlaced(page, "Velan");
        const std::string cls = step.page;
        if (cls == kWelcome) {
            HWND backdrop = FindRunWindow(run, "SetupMain");
            EXPECT_TRUE(backdrop && IsWindowVisible(backdrop)) << "no backdrop behind the pages";
            EXPECT_EQ(backdrop, GetWindow(page, GW_OWNER));
            ExpectWelcome(page, "Velan");
            MaybeScreenshot("01-welcome");
        } else if (cls == kSetupType) {
            EXPECT_EQ("Typical", ItemText(page, IDC_TYPICAL));
            EXPECT_EQ("Custom", ItemText(page, IDC_CUSTOM));
            EXPECT_EQ(1, Checked(page, IDC_TYPICAL));
            EXPECT_EQ(0, Checked(page, IDC_CUSTOM));
            MaybeScreenshot("02-setup-type");
        } else if (cls == kDestination) {
            EXPECT_EQ("Velan files are to be installed :", ItemText(page, IDC_HEADING));
            EXPECT_EQ(kDest, ItemText(page, IDC_DEST_LABEL));
            EXPECT_FALSE(DirExists(kDest)) << "the destination exists before Next";
            MaybeScreenshot("03-destination");
        } else if (cls == kInstalling) {
            // With nothing to copy the Installing page still stays a second for the registry.
            EXPECT_TRUE(DestinationCreated(kDest));
            MaybeScreenshot("04-installing");
        } else if (cls == kFinish) {
            ExpectFinish(page, "Velan");
            MaybeScreenshot("05-finish");
        }
        return 1;
    };
    ASSERT_TRUE(WalkTypical(walker));
    EXPECT_EQ(0u, End());
    EXPECT_TRUE(RegistrationPresent());
    EXPECT_EQ("Velan", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
}

TEST_F(Walkthrough, CustomPathThroughEveryPage)
{
    HWND w = StartAtWelcome(Script());
    HWND t = Go(w, IDC_NEXT, kSetupType);
    ASSERT_TRUE(t);
    ASSERT_TRUE(Click(t, IDC_CUSTOM));
    EXPECT_EQ(0, Checked(t, IDC_TYPICAL));
    EXPECT_EQ(1, Checked(t, IDC_CUSTOM));

    HWND c = Go(t, IDC_NEXT, kComponents);
    ASSERT_TRUE(c);
    ExpectPagePlaced(c, "Velan");
    MaybeScreenshot("06-components");
    const char* labels[] = {"Mouse Driver", "Mouse Control Panel", "Online Menu Files", "Others"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(labels[i], ItemText(c, IDC_COMPONENT0 + i));
        EXPECT_EQ(1, Checked(c, IDC_COMPONENT0 + i)) << labels[i];
        const bool shown = i < 2;
        EXPECT_EQ(shown, !!IsWindowVisible(GetDlgItem(c, IDC_COMPONENT0 + i))) << labels[i];
        EXPECT_EQ(shown, !!IsWindowEnabled(GetDlgItem(c, IDC_COMPONENT0 + i))) << labels[i];
    }
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(c, IDC_BROWSE)));

    HWND d = Go(c, IDC_NEXT, kDestination);
    ASSERT_TRUE(d);
    ExpectPagePlaced(d, "Velan");
    HWND i = Go(d, IDC_NEXT, kInstalling);
    ASSERT_TRUE(i);
    HWND f = WaitPage(run, kFinish);
    ExpectFinish(f, "Velan");
    FinishAndEnd(f, false);
    EXPECT_TRUE(DirExists(kDest));
    EXPECT_TRUE(RegistrationPresent());
}

// The product name is an argument of every format, never part of one: a "%" in it is
// shown as it stands, in titles, texts and the cancel warning alike.
TEST_F(Walkthrough, ProductNameWithPercentShownUnchanged)
{
    const char product[] = "100% Mouse %s";
    HWND w = StartAtWelcome(Script(product));
    ASSERT_TRUE(w);
    ExpectPagePlaced(w, product);
    ExpectWelcome(w, product);
    HWND d = WelcomeToDestination(w, false);
    ASSERT_TRUE(d);
    EXPECT_EQ(std::string(product) + " Setup", Text(d));
    EXPECT_EQ(std::string(product) + " files are to be installed :", ItemText(d, IDC_HEADING));
    HWND i = Go(d, IDC_NEXT, kInstalling);
    ASSERT_TRUE(i);
    EXPECT_EQ(std::string(product) + " Setup", Text(i));
    HWND f = WaitPage(run, kFinish);
    ASSERT_TRUE(f);
    ExpectFinish(f, product);
    FinishAndEnd(f, false);
}

// The longest product name the script keeps fits every text composed from it.
TEST_F(Walkthrough, LongestProductNameFitsEveryText)
{
    const std::string product(71, 'M');
    HWND w = StartAtWelcome(Script(product.c_str()));
    ASSERT_TRUE(w);
    ExpectPagePlaced(w, product.c_str());
    ExpectWelcome(w, product);
    HWND d = WelcomeToDestination(w, false);
    ASSERT_TRUE(d);
    EXPECT_EQ(product + " files are to be installed :", ItemText(d, IDC_HEADING));
    ASSERT_TRUE(PressAndLeave(d, IDC_NEXT));
    HWND f = WaitPage(run, kFinish);
    ASSERT_TRUE(f);
    ExpectPagePlaced(f, product.c_str());
    ExpectFinish(f, product);
    FinishAndEnd(f, false);
}
