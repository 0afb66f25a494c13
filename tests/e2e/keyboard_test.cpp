// The wizard without a mouse: real keys (through the page's own message loop, as the
// keyboard gives them) for the focus, Tab and Shift+Tab, the arrows in a radio group,
// Space, the mnemonics, Enter following the focus, and the focus given back after a box
// or the Browse dialog. The Finish page ignores Escape; Enter presses button 1.
#include "e2e.h"
#include <initializer_list>

namespace {

struct KeyStep {
    UINT vk;
    UINT modifier;
    int focus;  // the control that has the focus afterwards
};

class Keys : public E2ETest {
protected:
    // Each key moves the focus as listed; a page just come has it on button 1.
    void Walk(HWND page, std::initializer_list<KeyStep> steps, bool arrived = true)
    {
        ASSERT_TRUE(page);
        EXPECT_TRUE(!arrived || WaitFocusId(page, IDC_NEXT) == IDC_NEXT) << ClassOf(page) << " opens without focus";
        int n = 0;
        for (const KeyStep& s : steps) {
            ASSERT_TRUE(RealKey(s.vk, s.modifier));
            EXPECT_EQ(s.focus, WaitFocusId(page, s.focus)) << ClassOf(page) << ", key " << ++n;
        }
    }
    HWND Leave(HWND page, UINT vk, UINT modifier, const char* next)
    {
        EXPECT_TRUE(RealKey(vk, modifier) && WaitGone(page)) << ClassOf(page) << " stayed";
        return WaitPage(run, next, 20000);
    }
    // Alt+R, `path` typed over the proposed one, Enter: the focus comes back to Browse,
    // which Enter presses now.
    void Browse(HWND dest, const char* path)
    {
        ASSERT_TRUE(RealKey('R', VK_MENU));
        HWND b = WaitBrowse(run, dest);
        ASSERT_EQ(IDC_DEST_LABEL, WaitFocusId(b, IDC_DEST_LABEL));
        ASSERT_TRUE(TypeText(path) && RealKey(VK_RETURN) && WaitGone(b));
        EXPECT_EQ(IDC_BROWSE, WaitFocusId(dest, IDC_BROWSE)) << "the focus did not come back to Browse";
        EXPECT_EQ(IDC_BROWSE, DefaultButtonId(dest));
        EXPECT_EQ(path, ItemText(dest, IDC_DEST_LABEL));
    }
};

} // namespace

TEST_F(Keys, TheWholeWizardWithoutAMouseAndNoRestart)
{
    HWND w = StartAtWelcome(Script(), TraceAvailable() ? "user32.ExitWindowsEx" : nullptr);
    Walk(w, {{VK_TAB, 0, IDC_CANCEL}, {VK_TAB, 0, IDC_NEXT}});
    HWND t = Leave(w, VK_RETURN, 0, kSetupType);
    // The radio group is one stop; Down checks Custom as a click does.
    Walk(t, {{VK_TAB, 0, IDC_CANCEL}, {VK_TAB, 0, IDC_BACK}});
    EXPECT_EQ(IDC_BACK, DefaultButtonId(t)) << "the default border does not follow the focus";
    Walk(t, {{VK_TAB, 0, IDC_TYPICAL}, {VK_DOWN, 0, IDC_CUSTOM}}, false);
    EXPECT_EQ(IDC_NEXT, DefaultButtonId(t));
    EXPECT_EQ(1, Checked(t, IDC_CUSTOM));
    HWND c = Leave(t, 'N', VK_MENU, kComponents);
    Walk(c, {{VK_TAB, 0, IDC_CANCEL}, {VK_TAB, 0, IDC_BACK}, {VK_TAB, 0, IDC_COMPONENT0}, {VK_SPACE, 0, IDC_COMPONENT0}});
    // Back keeps Custom and the box that Space cleared, as clicks would.
    t = Leave(c, 'B', VK_MENU, kSetupType);
    Walk(t, {});
    EXPECT_EQ(1, Checked(t, IDC_CUSTOM));
    c = Leave(t, 'N', VK_MENU, kComponents);
    Walk(c, {});
    EXPECT_EQ(0, Checked(c, IDC_COMPONENT0)) << "Space did not clear \"Mouse Driver\"";
    EXPECT_EQ(1, Checked(c, IDC_COMPONENT1));
    HWND d = Leave(c, 'N', VK_MENU, kDestination);
    Walk(d, {});
    // A refused destination: the box answered with Enter gives the focus back to Next.
    Browse(d, "Q");
    ASSERT_TRUE(RealKey('N', VK_MENU));
    HWND box = WaitBox(run, d);
    ASSERT_TRUE(box && RealKey(VK_RETURN) && WaitGone(box)) << "no refusal";
    EXPECT_EQ(IDC_NEXT, WaitFocusId(d, IDC_NEXT)) << "the focus did not come back after the box";
    Browse(d, kDest);
    Walk(d, {{VK_TAB, 0, IDC_NEXT}}, false);
    HWND f = Leave(d, VK_RETURN, 0, kFinish);
    Walk(f, {{VK_TAB, 0, IDC_RESTART_YES}, {VK_DOWN, 0, IDC_RESTART_NO}});
    EXPECT_EQ(1, Checked(f, IDC_RESTART_NO));
    ASSERT_TRUE(RealKey(VK_RETURN));
    EXPECT_EQ(0u, End());
    EXPECT_TRUE(RegistrationPresent());
    EXPECT_TRUE(DirExists(kDest));
    if (TraceAvailable()) {
        EXPECT_TRUE(TraceLines(TakeTrace(&run), "Call user32.ExitWindowsEx(").empty()) << "a restart was asked for";
    }
}

// Shift+Tab on every page, in the template's order backwards; Enter presses Back when
// Back has the focus; Up from the first answer wraps round to the last.
TEST_F(Keys, ShiftTabGoesBackwardsOnEveryPage)
{
    HWND w = StartAtWelcome(Script());
    Walk(w, {{VK_TAB, VK_SHIFT, IDC_CANCEL}, {VK_TAB, VK_SHIFT, IDC_NEXT}});
    HWND t = Leave(w, VK_RETURN, 0, kSetupType);
    Walk(t, {{VK_TAB, VK_SHIFT, IDC_TYPICAL}, {VK_TAB, VK_SHIFT, IDC_BACK}, {VK_TAB, VK_SHIFT, IDC_CANCEL},
             {VK_TAB, VK_SHIFT, IDC_NEXT}});
    HWND d = Leave(t, VK_RETURN, 0, kDestination);
    Walk(d, {{VK_TAB, VK_SHIFT, IDC_BROWSE}, {VK_TAB, VK_SHIFT, IDC_BACK}, {VK_TAB, VK_SHIFT, IDC_CANCEL},
             {VK_TAB, VK_SHIFT, IDC_NEXT}, {VK_TAB, VK_SHIFT, IDC_BROWSE}, {VK_TAB, VK_SHIFT, IDC_BACK}});
    t = Leave(d, VK_RETURN, 0, kSetupType);
    Walk(t, {{VK_TAB, VK_SHIFT, IDC_TYPICAL}, {VK_UP, 0, IDC_CUSTOM}});
    HWND c = Leave(t, VK_RETURN, 0, kComponents);
    Walk(c, {{VK_TAB, VK_SHIFT, IDC_COMPONENT1}, {VK_TAB, VK_SHIFT, IDC_COMPONENT0}, {VK_TAB, VK_SHIFT, IDC_BACK},
             {VK_TAB, VK_SHIFT, IDC_CANCEL}, {VK_TAB, VK_SHIFT, IDC_NEXT}});
    d = Leave(c, VK_RETURN, 0, kDestination);
    HWND f = Leave(d, VK_RETURN, 0, kFinish);
    Walk(f, {{VK_TAB, VK_SHIFT, IDC_RESTART_YES}, {VK_UP, 0, IDC_RESTART_NO}, {VK_TAB, VK_SHIFT, IDC_NEXT}});
    ASSERT_TRUE(RealKey(VK_RETURN));
    EXPECT_EQ(0u, End());
    EXPECT_TRUE(RegistrationPresent());
}

// Keys are handled in order: had Escape done anything, Enter would not find the page
// waiting for it.
TEST_F(Keys, EscapeOnFinishDoesNothingAndEnterFinishes)
{
    HWND f = WelcomeToFinish(StartAtWelcome(Script()));
    ASSERT_TRUE(f);
    ASSERT_TRUE(Click(f, IDC_RESTART_NO));
    ASSERT_TRUE(Key(f, VK_ESCAPE));
    Pump(300);
    ASSERT_TRUE(Settle(f));
    EXPECT_TRUE(IsWindowVisible(f));
    EXPECT_FALSE(WaitBox(run, f, 0));
    ASSERT_TRUE(Key(f, VK_RETURN));
    EXPECT_TRUE(WaitGone(f));
    EXPECT_EQ(0u, End());
}

TEST_F(Keys, EnterWithTheFocusOnACheckBoxActsAsNext)
{
    HWND t = Go(StartAtWelcome(Script()), IDC_NEXT, kSetupType);
    ASSERT_TRUE(t);
    ASSERT_TRUE(Click(t, IDC_CUSTOM));
    HWND c = Go(t, IDC_NEXT, kComponents);
    ASSERT_TRUE(c);
    ASSERT_TRUE(Click(c, IDC_COMPONENT0));  // a click gives the box the focus
    ASSERT_TRUE(Click(c, IDC_COMPONENT0));
    ASSERT_EQ(GetDlgItem(c, IDC_COMPONENT0), FocusOf(c));
    ASSERT_TRUE(Key(c, VK_RETURN));
    ASSERT_TRUE(WaitGone(c));
    EXPECT_TRUE(WaitPage(run, kDestination));
}
