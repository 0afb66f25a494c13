#include "base/cmdline.h"
#include <gtest/gtest.h>

TEST(CommandLine, SwitchesStandAloneAndTheDestinationTakesTheRestOfTheLine)
{
    EXPECT_EQ(1, HasSwitch("/S", "S"));
    EXPECT_EQ(1, HasSwitch("  /x \"a b\" /s ", "S"));
    EXPECT_EQ(0, HasSwitch("/SILENT /S=1 S \"/S\"", "S"));
    EXPECT_EQ(0, HasSwitch("/D=C:\\My Dir/S", "S")); // inside the value of /D
    EXPECT_EQ(1, HasSwitch("/D=\"C:\\My Dir\" /S", "S"));

    char value[16];
    EXPECT_EQ(1, SwitchValue("/S /d=C:\\My Dir /X  ", "D", value, sizeof value));
    EXPECT_STREQ("C:\\My Dir /X", value);
    EXPECT_EQ(1, SwitchValue("/LOG=\"a b.log\" /S", "LOG", value, sizeof value));
    EXPECT_STREQ("a b.log", value);
    EXPECT_EQ(1, SwitchValue("/LOG=a.log /S /D=C:\\A B", "LOG", value, sizeof value));
    EXPECT_STREQ("a.log", value);
    EXPECT_EQ(1, HasSwitch("/LOG=a.log /S", "S"));
    EXPECT_EQ(1, SwitchValue("/S \"/D=C:\\A B\" /X", "D", value, sizeof value)); // quoted whole
    EXPECT_STREQ("C:\\A B", value);
    EXPECT_EQ(1, SwitchValue("/D=", "D", value, sizeof value));
    EXPECT_STREQ("", value);
    EXPECT_EQ(0, SwitchValue("/D=C:\\A very long path", "D", value, sizeof value));
    EXPECT_STREQ("", value);
    EXPECT_EQ(0, SwitchValue("/DX=1 /D", "D", value, sizeof value));
}

TEST(CommandLine, OurSwitchesEndTheDestination)
{
    const char* line = "/D=C:\\My Dir /x /s  /Log=C:\\v.log /NoRestart \"/LOG=a b\"";
    char value[32];
    EXPECT_EQ(1, SwitchValue(line, "D", value, sizeof value));
    EXPECT_STREQ("C:\\My Dir /x", value); // not ours: part of the path
    EXPECT_EQ(1, HasSwitch(line, "S"));
    EXPECT_EQ(1, HasSwitch(line, "NORESTART"));
    EXPECT_EQ(1, SwitchValue(line, "LOG", value, sizeof value));
    EXPECT_STREQ("C:\\v.log", value);
    EXPECT_EQ(1, SwitchValue("/D=C:\\A \"/LOG=a b\"", "D", value, sizeof value));
    EXPECT_STREQ("C:\\A", value);
    EXPECT_EQ(1, SwitchValue("/D=C:\\Sub /Stuff /SX /LOGS", "D", value, sizeof value));
    EXPECT_STREQ("C:\\Sub /Stuff /SX /LOGS", value);
}
