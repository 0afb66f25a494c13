// The files of the plan that the copy could not install, and the warning that names them
// once the copy is over: a file reported as installed must be at its target, whole.
#include "install/install.h"
#include "base/globals.h"
#include "base/text.h"
#include "base/loadtext.h"
#include "base/log.h"
#include "base/format.h"
#include "res/ids.h"

namespace {

constexpr int kShownFiles = 10;
// The heading, ten lines of a name (14) and the longest reason, and the closing count.
constexpr int kListRoom = 1024;

int s_failedCount;
char s_failedList[kListRoom];

} // namespace

void ClearFailedFiles()
{
    s_failedCount = 0;
    s_failedList[0] = '\0';
}

void NoteFailedFile(const char* name, int reason)
{
    LogLine("failed %s: %s", name, LoadText(reason));
    if (++s_failedCount > kShownFiles)
        return;
    TextAppend(s_failedList, "\n");
    TextAppend(s_failedList, name);
    TextAppend(s_failedList, ": ");
    TextAppend(s_failedList, LoadText(reason));
}

int FailedFileCount()
{
    return s_failedCount;
}

void FailedFilesWarning(HWND page)
{
    char text[kListRoom + kTextRoom];
    TextCopy(text, LoadText(IDS_NOT_INSTALLED));
    TextAppend(text, "\n");
    TextAppend(text, s_failedList);
    if (s_failedCount > kShownFiles) {
        char more[kTextRoom];
        FormatText(more, kTextRoom, IDS_AND_MORE, s_failedCount - kShownFiles);
        TextAppend(text, "\n");
        TextAppend(text, more);
    }
    MessageBoxA(page, text, g_caption, MB_ICONWARNING);
}
