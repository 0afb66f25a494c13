// System registration: writes the entries of the registration table (install/registration.h)
// for the current destination. Nothing is reported: a key that cannot be created is
// skipped with its values and the next step still runs.
#include "install/install.h"
#include "install/registration.h"
#include "base/globals.h"

namespace {

void WriteKey(const RegStep& step)
{
    HKEY root = RegRootKey(step.root);
    if (step.kind == RegKey::Emptied) {
        // Only an empty key goes; one that still holds other handlers' subkeys stays and
        // is reopened by the next step.
        RegDeleteKeyA(root, step.key);
        return;
    }
    HKEY key;
    // RegCreateKeyA asks for full access, more than writing values needs. Kept as it is:
    // the entries are written by an administrator's setup, and a narrower request would
    // behave differently only where the old call already failed.
    if (RegCreateKeyA(root, step.key, &key) != ERROR_SUCCESS)
        return;
    for (const RegValue& value : step.values) {
        char data[kPathRoom];
        if (value.data == RegData::None || !ComposeRegData(value, data))
            continue;
        RegSetValueExA(key, value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                       (DWORD)lstrlenA(data) + 1);
    }
    RegCloseKey(key);
}

} // namespace

void RegisterSystem()
{
    for (const RegStep& step : kRegSteps)
        WriteKey(step);
}
