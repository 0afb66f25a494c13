// The files and registry entries one installation could not install or write: each is
// logged, the first ten are kept for the warning after the copy.
#include "engine/failed.h"
#include "base/format.h"
#include "base/loadtext.h"
#include "base/log.h"
#include "base/text.h"
#include "res/ids.h"

namespace {

constexpr int kShownFiles = 10;

} // namespace

void NoteFailedFile(FailedList* list, const char* name, int reason)
{
    LogLine("failed %s: %s", name, LoadText(reason));
    if (++list->count > kShownFiles)
        return;
    TextAppend(list->text, "\n");
    TextAppend(list->text, name);
    TextAppend(list->text, ": ");
    TextAppend(list->text, LoadText(reason));
}

void NoteFailedEntry(FailedList* list, RegRoot root, const char* key, const char* value)
{
    char name[kTextRoom * 3];
    TextCopy(name, RegRootName(root));
    TextAppend(name, "\\");
    TextAppend(name, key);
    if (value) {
        TextAppend(name, "\\");
        TextAppend(name, value);
    }
    NoteFailedFile(list, name, IDS_FAIL_WRITE);
}

void FailedListText(const FailedList* list, char* out, int room)
{
    TextCopy(out, room, LoadText(IDS_NOT_INSTALLED));
    TextAppend(out, room, "\n");
    TextAppend(out, room, list->text);
    if (list->count > kShownFiles) {
        char more[kTextRoom];
        FormatText(more, kTextRoom, IDS_AND_MORE, list->count - kShownFiles);
        TextAppend(out, room, "\n");
        TextAppend(out, room, more);
    }
}
