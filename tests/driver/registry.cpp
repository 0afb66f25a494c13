// The registry entries an installation writes, so that tests can tell whether anything
// was installed and start from a prefix without them.
#include "driver.h"
#include "registry_keys.h"

namespace {

int KeyExists(HKEY root, const char* key)
{
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &k))
        return 0;
    RegCloseKey(k);
    return 1;
}

std::string HandlerKey()
{
    return std::string(kHandlersKey) + "\\ZelMousePage";
}

} // namespace

std::string RegText(HKEY root, const char* key, const char* value)
{
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &k))
        return "<none>";
    char buf[1024];
    DWORD size = sizeof buf - 1, type = 0;
    LONG r = RegQueryValueExA(k, value, nullptr, &type, (BYTE*)buf, &size);
    RegCloseKey(k);
    if (r || type != REG_SZ)
        return "<none>";
    buf[size] = '\0';
    return buf;
}

int RegistrationPresent()
{
    return KeyExists(HKEY_CLASSES_ROOT, kClassKey) || KeyExists(HKEY_LOCAL_MACHINE, HandlerKey().c_str()) ||
           RegText(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori") != "<none>" ||
           KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey);
}

void RemoveRegistration()
{
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kClassKey);
    if (KeyExists(HKEY_LOCAL_MACHINE, HandlerKey().c_str()))
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kHandlersKey);
    HKEY k;
    if (!RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_ALL_ACCESS, &k)) {
        RegDeleteValueA(k, "ZaderUvori");
        RegCloseKey(k);
    }
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallKey);
}
