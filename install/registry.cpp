// System registration: the control-panel extension as an in-process COM class and as the
// Mouse control panel's property-sheet handler, the resident utility in the Run key, and
// the product's entry among the installed programs. Nothing is reported: a key that
// cannot be created is skipped with its values and the next step still runs.
#include "install/install.h"
#include "app/globals.h"
#include "app/text.h"

namespace {

#define CLASS_ID "{7D1C2A40-5E3B-11d1-9C4E-00A0C91F3B72}"
#define CLASS_KEY "CLSID\\" CLASS_ID
#define CURRENT_VERSION "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"
#define HANDLERS_KEY CURRENT_VERSION "\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers"

enum class Root { Classes, Machine };

// Where a value's data comes from.
enum class Data {
    None,             // unused slot
    Fixed,            // the constant text
    ControlPanelPath, // destination \ control-panel file
    UtilityCommand,   // destination \ utility file, as a command line
    ProductName,
    UninstallCommand, // destination \UNINSTAL.EXE, as a command line
};

struct Value {
    const char* name; // nullptr: the key's default value
    Data data;
    const char* text;
};

struct Step {
    Root root;
    const char* key;
    bool remove; // delete the key instead of writing it
    Value values[2];
};

constexpr Step kSteps[] = {
    {Root::Classes, CLASS_KEY, false, {{nullptr, Data::Fixed, "ZelMouseControlPage"}, {}}},
    {Root::Classes, CLASS_KEY "\\InProcServer32", false,
     {{nullptr, Data::ControlPanelPath, nullptr}, {"ThreadingModel", Data::Fixed, "Apartment"}}},
    {Root::Machine, HANDLERS_KEY, true, {}},
    {Root::Machine, HANDLERS_KEY, false, {{nullptr, Data::Fixed, "ZelMousePage"}, {}}},
    {Root::Machine, HANDLERS_KEY "\\ZelMousePage", false, {{nullptr, Data::Fixed, CLASS_ID}, {}}},
    {Root::Machine, CURRENT_VERSION "\\Run", false, {{"ZaderUvori", Data::UtilityCommand, nullptr}, {}}},
    {Root::Machine, CURRENT_VERSION "\\Uninstall\\ZaderUvori", false,
     {{"DisplayName", Data::ProductName, nullptr}, {"UninstallString", Data::UninstallCommand, nullptr}}},
};
static_assert(sizeof kSteps / sizeof kSteps[0] == 7, "seven registration steps");

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

// Composes the data of `value` into `out` (room kPathRoom). 0 when it does not fit whole:
// a cut path in the registry would point at a wrong file, so such a value is not written.
int ComposeData(const Value& value, char* out)
{
    switch (value.data) {
    case Data::Fixed:
        return TextCopy(out, kPathRoom, value.text);
    case Data::ProductName:
        return TextCopy(out, kPathRoom, g_productName);
    case Data::ControlPanelPath:
        return TextCopy(out, kPathRoom, g_destDir) && TextAppend(out, kPathRoom, "\\") &&
               TextAppend(out, kPathRoom, g_controlPanelFile);
    case Data::UtilityCommand:
        return TextCopy(out, kPathRoom, g_destDir) && TextAppend(out, kPathRoom, "\\") &&
               TextAppend(out, kPathRoom, g_utilityFile) && QuoteIfBlank(out, kPathRoom);
    case Data::UninstallCommand:
        return TextCopy(out, kPathRoom, g_destDir) && TextAppend(out, kPathRoom, "\\UNINSTAL.EXE") &&
               QuoteIfBlank(out, kPathRoom);
    case Data::None:
        break;
    }
    return 0;
}

void WriteKey(const Step& step)
{
    HKEY root = step.root == Root::Classes ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
    if (step.remove) {
        // Only an empty key goes; one that still holds other handlers' subkeys stays and
        // is reopened by the next step.
        RegDeleteKeyA(root, step.key);
        return;
    }
    HKEY key;
    if (RegCreateKeyA(root, step.key, &key) != ERROR_SUCCESS)
        return;
    for (const Value& value : step.values) {
        char data[kPathRoom];
        if (value.data == Data::None || !ComposeData(value, data))
            continue;
        RegSetValueExA(key, value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                       (DWORD)lstrlenA(data) + 1);
    }
    RegCloseKey(key);
}

} // namespace

void RegisterSystem()
{
    for (const Step& step : kSteps)
        WriteKey(step);
}
