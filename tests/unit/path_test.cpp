// The plain form of a path and what lies inside a directory: the comparisons that decide
// what the uninstaller may remove and which restart-list entries name a file.
#include "base/path.h"
#include <gtest/gtest.h>
#include <string>
#include <windows.h>

TEST(Path, PlainFormOfEverySpelling)
{
    constexpr struct {
        const char* path;
        int room;
        int fits;
        const char* plain; // "" when it does not fit
    } kCases[] = {
        {"C:\\Velan\\HELP", MAX_PATH, 1, "C:\\Velan\\HELP"},
        {"c:\\velan\\Help", MAX_PATH, 1, "c:\\velan\\Help"},            // case kept
        {"\\??\\C:\\WINDOWS\\X.DLL", MAX_PATH, 1, "C:\\WINDOWS\\X.DLL"}, // the restart list's prefix
        {"C:/Velan//HELP/", MAX_PATH, 1, "C:\\Velan\\HELP"},
        {"C:\\Velan\\\\\\HELP\\\\", MAX_PATH, 1, "C:\\Velan\\HELP"},
        {"C:\\Velan\\.\\HELP\\.", MAX_PATH, 1, "C:\\Velan\\HELP"},
        {"C:\\Velan\\HELP\\..\\DOCS", MAX_PATH, 1, "C:\\Velan\\DOCS"},
        {"C:\\Velan\\HELP\\..\\..", MAX_PATH, 1, "C:\\"},
        {"C:\\..\\..\\WINDOWS", MAX_PATH, 1, "C:\\WINDOWS"}, // ".." never climbs above the root
        {"C:\\", MAX_PATH, 1, "C:\\"},
        {"C:\\\\", MAX_PATH, 1, "C:\\"},
        {"C:", MAX_PATH, 1, "C:"},                           // a drive's current directory
        {"\\Velan\\..\\..", MAX_PATH, 1, "\\"},
        {"\\\\server\\share\\Velan\\", MAX_PATH, 1, "\\\\server\\share\\Velan"},
        {"\\\\server\\..\\..", MAX_PATH, 1, "\\\\"},         // a share keeps its two backslashes
        {"", MAX_PATH, 1, ""},
        {"C:\\Velan", 9, 1, "C:\\Velan"},                    // exactly the room, terminator included
        {"C:\\Velan", 8, 0, ""},
        {"C:\\Velan\\", 9, 1, "C:\\Velan"},                  // the trailing backslash needs no room
        {"C:\\", 3, 0, ""},
        {"C:\\", 0, 0, ""},
    };
    for (const auto& c : kCases) {
        char out[MAX_PATH];
        lstrcpyA(out, "untouched");
        const int fits = PlainPath(c.path, out, c.room);
        EXPECT_EQ(c.fits, fits) << "\"" << c.path << "\" in " << c.room << ": \"" << out << "\"";
        if (c.room > 0)
            EXPECT_STREQ(c.plain, out) << "\"" << c.path << "\" in " << c.room;
    }
}

TEST(Path, InsideMeansBelowAtAnyDepthAndNeverTheDirectoryItself)
{
    constexpr struct {
        const char* path;
        const char* dir;
        int inside;
    } kCases[] = {
        {"C:\\Velan\\HELP", "C:\\Velan", 1},
        {"C:\\Velan\\HELP\\A\\B.TXT", "C:\\Velan", 1},
        {"c:\\VELAN\\help\\", "C:\\Velan\\\\", 1},   // case, doubled and trailing backslashes
        {"\\??\\C:\\Velan\\X.DLL", "C:\\Velan", 1},
        {"C:/Velan/HELP", "C:\\Velan", 1},
        {"C:\\Velan\\HELP", "C:\\", 1},               // below a root
        {"C:\\Velan", "C:\\Velan", 0},                // not inside itself
        {"C:\\Velan\\", "c:\\velan", 0},
        {"C:\\Velan\\HELP\\..", "C:\\Velan", 0},
        {"C:\\Velan\\..\\Other", "C:\\Velan", 0},
        {"C:\\Velan2\\HELP", "C:\\Velan", 0},         // a longer name is no sub-directory
        {"C:\\Vela", "C:\\Velan", 0},
        {"C:\\", "C:\\", 0},
        {"C:\\Velan", "C:\\Velan\\HELP", 0},          // the parent is not inside the child
        {"D:\\Velan", "C:\\", 0},
        {"C:\\Velan", "\\", 0},                        // another drive's form of a root
        {"\\\\server\\share\\Velan", "\\\\server\\share", 1},
        {"C:\\Velan", "", 0},
        {"", "C:\\", 0},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.inside, PathInside(c.path, c.dir)) << "\"" << c.path << "\" in \"" << c.dir << "\"";

    // Paths too long to compare are different, so never inside.
    const std::string deep = "C:\\Velan\\" + std::string(MAX_PATH, 'A');
    EXPECT_EQ(0, PathInside(deep.c_str(), "C:\\Velan"));
    EXPECT_EQ(0, PathInside("C:\\Velan\\A", deep.c_str()));
}
