#include "base/cmdline.h"
#include <gtest/gtest.h>

TEST(CommandLine, SwitchesStandAloneAndTheDestinationTakesTheRestOfTheLine)
{
    EXPECT_EQ(1, HasSwitch("/S", "S"));
    EXPECT_EQ(1, HasSwitch("  /x \"a b\" /s ", "S"));
    EXPECT_EQ(0, HasSwitch("/SILENT /S=1 S \"/S\"", "S"));
    EXPECT_EQ(0, HasSwitch("/D=C:\\My Dir /S", "S")); // inside the value of /D
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
