// The data of the registration's values, composed from the destination and the script.
#include "engine/registration.h"
#include "base/globals.h"
#include "base/text.h"
#include "base/path.h"

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

// destination \ `name`, one backslash between. An empty name leaves the destination with
// its closing backslash, as the value has always read then.
int DestinationFile(const char* dest, char* out, int room, const char* name)
{
    if (!TextCopy(out, room, dest))
        return 0;
    if (name[0])
        return PathAppend(out, room, name);
    const int len = lstrlenA(out);
    return len > 0 && out[len - 1] == '\\' ? 1 : TextAppend(out, room, "\\");
}

} // namespace

int ComposeRegData(const RegValue& value, const char* dest, char* out, int room)
{
    switch (value.data) {
    case RegData::Fixed:
        return TextCopy(out, room, value.text);
    case RegData::ProductName:
        return TextCopy(out, room, g_productName);
    case RegData::ControlPanelPath:
        return DestinationFile(dest, out, room, g_controlPanelFile);
    case RegData::UtilityCommand:
        return DestinationFile(dest, out, room, g_utilityFile) && QuoteIfBlank(out, room);
    case RegData::UninstallCommand:
        return DestinationFile(dest, out, room, "UNINSTAL.EXE") && QuoteIfBlank(out, room);
    case RegData::QuietUninstallCommand:
        // Quoted always, as deployment tools expect of this value.
        return room > 1 && TextCopy(out, room, "\"") && DestinationFile(dest, out + 1, room - 1, "UNINSTAL.EXE") &&
               TextAppend(out, room, "\" /S");
    case RegData::Destination:
        return PlainPath(dest, out, room);
    case RegData::UtilityPath:
        if (!g_utilityFile[0])
            return TextCopy(out, room, "");
        return DestinationFile(dest, out, room, g_utilityFile);
    case RegData::UtilityVersion:
    case RegData::UtilityCompany:
    case RegData::InstalledSize:
        return TextCopy(out, room, "");
    case RegData::FixedNumber:
        return TextCopy(out, room, value.text);
    case RegData::None:
        break;
    }
    return 0;
}
