// The system registration as one table: the control-panel extension as an in-process COM
// class and as the Mouse control panel's property-sheet handler, the resident utility in
// the Run key, and the product's entry among the installed programs. The setup writes what
// the table names; the uninstaller removes it again, only where it still holds what this
// package writes for its destination.
#pragma once
#include "base/globals.h"

#define REG_CLASS_ID "{7D1C2A40-5E3B-11d1-9C4E-00A0C91F3B72}"
#define REG_CLASS_KEY "CLSID\\" REG_CLASS_ID
#define REG_CURRENT_VERSION "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"
#define REG_SERVER_KEY REG_CLASS_KEY "\\InProcServer32"
#define REG_HANDLERS_KEY REG_CURRENT_VERSION "\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers"
#define REG_RUN_KEY REG_CURRENT_VERSION "\\Run"
#define REG_UNINSTALL_KEY REG_CURRENT_VERSION "\\Uninstall\\ZaderUvori"
// The system's count of installations that use a shared file: value = the file's full
// path, REG_DWORD. Kept for every file installed in the Windows directories.
#define REG_SHARED_DLLS_KEY REG_CURRENT_VERSION "\\SharedDLLs"

enum class RegRoot { Classes, Machine };

// Where a value's data comes from.
enum class RegData {
    None,             // unused slot
    Fixed,            // the constant text
    ControlPanelPath, // destination \ control-panel file
    UtilityCommand,   // destination \ utility file, as a command line
    ProductName,
    UninstallCommand, // destination \UNINSTAL.EXE, as a command line
    QuietUninstallCommand, // the same, followed by " /S"
    Destination,      // the destination, plain
    UtilityPath,      // destination \ utility file, plain; none when the script names none
    // Read by the installation from what it put in place (ComposeInstalledData); composed
    // here as empty. A value without data is left out.
    UtilityVersion,   // the utility's product version (its version resource)
    UtilityCompany,   // the utility's company name (its version resource)
    InstalledSize,    // the installed files' size in KB (REG_DWORD)
    FixedNumber,      // the constant number in `text` (REG_DWORD)
};

// The registry type a value of `data` is written with.
inline DWORD RegDataType(RegData data)
{
    return data == RegData::InstalledSize || data == RegData::FixedNumber ? REG_DWORD : REG_SZ;
}

// 1 for data read from the installed files, which only describe the installation: such a
// value is left out when there is none, and never tells whether an entry is this
// package's (the files it comes from may be gone).
inline bool RegDataDescribes(RegData data)
{
    return data == RegData::UtilityVersion || data == RegData::UtilityCompany || data == RegData::InstalledSize;
}

// 1 for a value that is left out when it composes empty (the script names no utility,
// the utility has no version resource).
inline bool RegDataOptional(RegData data)
{
    return RegDataDescribes(data) || data == RegData::UtilityPath;
}

// What a key is to the package.
enum class RegKey {
    Emptied, // a system key deleted when it is empty (by the setup before it writes the
             // key again, by the uninstaller once the package's entries are gone)
    Shared,  // a system key: only the package's values are the package's
    Own,     // the package's own key, removed whole with its values
};

struct RegValue {
    const char* name; // nullptr: the key's default value
    RegData data;
    const char* text;
};

struct RegStep {
    RegRoot root;
    const char* key;
    RegKey kind;
    // Step whose values tell whether this step's fixed entries are still this package's
    // (the class's server path: another copy installed elsewhere writes the same fixed
    // texts), or -1 when the step's own values tell.
    int tiedTo;
    RegValue values[10];
};

// 1 when `value` would name a program that the script does not name (an empty FileName or
// ControlPanel in [Startup]): it would point at the destination itself.
inline bool NamesNoProgram(const RegValue& value)
{
    return (value.data == RegData::ControlPanelPath && !g_controlPanelFile[0]) ||
           (value.data == RegData::UtilityCommand && !g_utilityFile[0]);
}

// 1 when step `step` is left out of the registration: one of its values, or of the step
// it is tied to, names no program (no COM server without its file, and no property-sheet
// handler for a server that is not there).
inline bool StepNamesNoProgram(const RegStep& step);

inline constexpr RegStep kRegSteps[] = {
    {RegRoot::Classes, REG_CLASS_KEY, RegKey::Own, 1, {{nullptr, RegData::Fixed, "ZelMouseControlPage"}, {}}},
    {RegRoot::Classes, REG_SERVER_KEY, RegKey::Own, -1,
     {{nullptr, RegData::ControlPanelPath, nullptr}, {"ThreadingModel", RegData::Fixed, "Apartment"}}},
    {RegRoot::Machine, REG_HANDLERS_KEY, RegKey::Emptied, -1, {}},
    {RegRoot::Machine, REG_HANDLERS_KEY, RegKey::Shared, 1, {{nullptr, RegData::Fixed, "ZelMousePage"}, {}}},
    {RegRoot::Machine, REG_HANDLERS_KEY "\\ZelMousePage", RegKey::Own, 1, {{nullptr, RegData::Fixed, REG_CLASS_ID}, {}}},
    {RegRoot::Machine, REG_RUN_KEY, RegKey::Shared, -1,
     {{"ZaderUvori", RegData::UtilityCommand, nullptr}, {}}},
    // The entry among the installed programs: what the list shows, and the commands a
    // deployment tool removes the package with.
    {RegRoot::Machine, REG_UNINSTALL_KEY, RegKey::Own, -1,
     {{"DisplayName", RegData::ProductName, nullptr},
      {"UninstallString", RegData::UninstallCommand, nullptr},
      {"QuietUninstallString", RegData::QuietUninstallCommand, nullptr},
      {"InstallLocation", RegData::Destination, nullptr},
      {"DisplayIcon", RegData::UtilityPath, nullptr},
      {"DisplayVersion", RegData::UtilityVersion, nullptr},
      {"Publisher", RegData::UtilityCompany, nullptr},
      {"EstimatedSize", RegData::InstalledSize, nullptr},
      {"NoModify", RegData::FixedNumber, "1"},
      {"NoRepair", RegData::FixedNumber, "1"}}},
};
inline constexpr int kRegStepCount = sizeof kRegSteps / sizeof kRegSteps[0];
static_assert(kRegStepCount == 7, "seven registration steps");

inline bool StepNamesNoProgram(const RegStep& step)
{
    for (const RegValue& v : step.values)
        if (NamesNoProgram(v))
            return true;
    return step.tiedTo >= 0 && StepNamesNoProgram(kRegSteps[step.tiedTo]);
}

inline HKEY RegRootKey(RegRoot root)
{
    return root == RegRoot::Classes ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
}

// The root's name as messages and the log write it.
inline const char* RegRootName(RegRoot root)
{
    return root == RegRoot::Classes ? "HKEY_CLASSES_ROOT" : "HKEY_LOCAL_MACHINE";
}

// Composes the data of `value` for destination `dest` and the script settings into `out`
// of `room` characters (a tool with a larger room sees whole what the setup would
// refuse); a number as decimal text. 0 when it does not fit whole: a cut path in the
// registry would point at a wrong file, so such a value is never written.
int ComposeRegData(const RegValue& value, const char* dest, char* out, int room = kPathRoom);

// The step holding the value whose data is `data` (the Run entry's UtilityCommand, the
// Uninstall entry's UninstallCommand, ...), that value in `*value`; nullptr when no step
// holds one.
inline const RegStep* FindRegValue(RegData data, const RegValue** value)
{
    for (const RegStep& step : kRegSteps)
        for (const RegValue& v : step.values)
            if (v.data == data && data != RegData::None) {
                *value = &v;
                return &step;
            }
    return nullptr;
}
