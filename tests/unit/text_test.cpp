#include "base/text.h"
#include <gtest/gtest.h>
#include <cstring>

TEST(Text, CopyCutsAtRoomAndTerminates)
{
    char buf[8];
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(1, TextCopy(buf, "abcdefg"));
    EXPECT_STREQ("abcdefg", buf);
    EXPECT_EQ(0, TextCopy(buf, "abcdefgh"));
    EXPECT_STREQ("abcdefg", buf);
    EXPECT_EQ(0, TextCopy(buf, 0, "a"));
}

TEST(Text, AppendCutsAtRoomAndNeverWritesPast)
{
    char buf[12] = "abc";
    buf[10] = 'Z';
    buf[11] = 'Z';
    EXPECT_EQ(1, TextAppend(buf, 6, "de"));
    EXPECT_STREQ("abcde", buf);
    EXPECT_EQ(0, TextAppend(buf, 6, "f"));
    EXPECT_STREQ("abcde", buf);
    EXPECT_EQ(0, TextAppend(buf, 10, "123456"));
    EXPECT_STREQ("abcde1234", buf);
    EXPECT_EQ('Z', buf[10]);
    char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(0, TextAppend(unterminated, 4, "e"));
    EXPECT_STREQ("abc", unterminated);
}
