// The field splitter and the text loader.
#include "script_fixture.h"
#include "res/ids.h"
#include <cstring>

namespace {
std::string Field(const char*& pos)
{
    char field[kTextRoom];
    pos = NextField(pos, field);
    return field;
}
} // namespace

TEST(NextField, DropsBlanksAroundFieldsOnly)
{
    const char* pos = "  VWMOUSE.SY_ ,VWMOUSE.SYS,  Wheel  mouse driver  ,,\tTab\t , last";
    EXPECT_EQ("VWMOUSE.SY_", Field(pos));
    EXPECT_EQ("VWMOUSE.SYS", Field(pos));
    EXPECT_EQ("Wheel  mouse driver", Field(pos));
    EXPECT_EQ("", Field(pos));
    EXPECT_EQ("\tTab\t", Field(pos)); // tabs are not blanks
    EXPECT_EQ("last", Field(pos));
    const char* end = pos;
    EXPECT_EQ("", Field(pos)); // at the end every further field is empty
    EXPECT_EQ(end, pos);
}

TEST(NextField, CutsALongFieldAndStillFindsTheNext)
{
    const std::string line = "  " + Letters(300) + "  ,NEXT";
    char field[kTextRoom + 8];
    memset(field, '#', sizeof field);
    const char* pos = NextField(line.c_str(), field);
    EXPECT_EQ(Letters(127), field);
    for (int i = kTextRoom; i < (int)sizeof field; ++i)
        EXPECT_EQ('#', field[i]);
    EXPECT_STREQ("NEXT", pos);
}

TEST(LoadText, FourResultsStayValidAndMissingEntriesAreNull)
{
    g_instance = GetModuleHandleA(nullptr);
    const char* a = LoadText(IDS_DISKLABEL);
    const char* b = LoadText(IDS_MAIN);
    const char* c = LoadText(IDS_PMINFO);
    const char* d = LoadText(IDS_WINSYSTEM32DIR);
    EXPECT_STREQ("DiskLabel", a);
    EXPECT_STREQ("Main", b);
    EXPECT_STREQ("PM Info", c);
    EXPECT_STREQ("WinSystem32Dir", d);
    LoadText(IDS_SETUP_PROGRAM); // the fifth load reuses the first buffer
    EXPECT_STREQ("Setup Program", a);
    EXPECT_STREQ("Main", b);
    EXPECT_EQ(nullptr, LoadText(21));
    EXPECT_EQ(nullptr, LoadText(31));
}
