// The data of the registration's values, composed from the destination and the script.
#include "install/registration.h"
#include "base/globals.h"
#include "base/text.h"

namespace {

// A command line whose program path holds a blank needs the path in double quotes, or
// the path would end at the blank. 0 when the quoted text does not fit its room.
int QuoteIfBlank(char* text, int room)
{
    int len = lstrlenA(text);
    bool blank = false;
    for (int i = 0; i < len; ++i)
        blank = blank || text[i] == ' ';
    if (!blank)
        return 1;
    if (len + 3 > room)
        return 0;
    for (int i = len; i > 0; --i)
        text[i] = text[i - 1];
    text[0] = '"';
    text[len + 1] = '"';
    text[len + 2] = '\0';
    return 1;
}

} // namespace

int ComposeRegData(const RegValue& value, char* out)
{
    switch (value.data) {
    case RegData::Fixed:
        return TextCopy(out, kPathRoom, value.text);
    case RegData::ProductName:
        return TextCopy(out, kPathRoom, g_productName);
    case RegData::ControlPanelPath:
        return TextCopy(out, kPathRoom, g_destDir) && TextAppend(out, kPathRoom, "\\") &&
               TextAppend(out, kPathRoom, g_controlPanelFile);
    case RegData::UtilityCommand:
        return TextCopy(out, kPathRoom, g_destDir) && TextAppend(out, kPathRoom, "\\") &&
               TextAppend(out, kPathRoom, g_utilityFile) && QuoteIfBlank(out, kPathRoom);
    case RegData::UninstallCommand:
        return TextCopy(out, kPathRoom, g_destDir) && TextAppend(out, kPathRoom, "\\UNINSTAL.EXE") &&
               QuoteIfBlank(out, kPathRoom);
    case RegData::None:
        break;
    }
    return 0;
}
