#include "support/registry.h"

namespace {

bool KeyExists(HKEY root, const std::string& key)
{
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

} // namespace

std::string RegText(HKEY root, const std::string& key, const char* name)
{
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return "<none>";
    char data[1024];
    DWORD type = 0, size = sizeof data;
    LONG rc = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(k);
    if (rc == ERROR_FILE_NOT_FOUND)
        return "<none>";
    if (rc != ERROR_SUCCESS || type != REG_SZ || size == 0 || data[size - 1] != '\0' ||
        lstrlenA(data) + 1 != (int)size)
        return "<bad>";
    return data;
}

std::pair<int, int> RegCounts(HKEY root, const std::string& key)
{
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return {-1, -1};
    DWORD subkeys = 0, values = 0;
    RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(k);
    return {(int)values, (int)subkeys};
}

bool RegSetText(HKEY root, const std::string& key, const char* name, const char* data)
{
    HKEY k;
    if (RegCreateKeyA(root, key.c_str(), &k) != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), lstrlenA(data) + 1);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS;
}

long SharedCount(const std::string& path)
{
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, KEY_READ, &k) != ERROR_SUCCESS)
        return -1;
    DWORD count = 0, type = 0, size = sizeof count;
    LONG rc = RegQueryValueExA(k, path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&count), &size);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS && type == REG_DWORD ? (long)count : -1;
}

void SetSharedCount(const std::string& path, long count)
{
    HKEY k;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kSharedDllsKey, &k) != ERROR_SUCCESS)
        return;
    const DWORD value = (DWORD)count;
    if (count < 0)
        RegDeleteValueA(k, path.c_str());
    else
        RegSetValueExA(k, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(k);
}

void RegRemoveTree(HKEY root, const std::string& key)
{
    HKEY k;
    if (RegOpenKeyA(root, key.c_str(), &k) != ERROR_SUCCESS)
        return;
    char name[256];
    while (RegEnumKeyA(k, 0, name, sizeof name) == ERROR_SUCCESS) {
        RegRemoveTree(k, name);
        if (KeyExists(k, name))
            break; // a subkey that cannot go: stop rather than loop
    }
    RegCloseKey(k);
    RegDeleteKeyA(root, key.c_str());
}

bool RegistrationPresent()
{
    return KeyExists(HKEY_CLASSES_ROOT, kClassKey) ||
           KeyExists(HKEY_LOCAL_MACHINE, std::string(kHandlersKey) + "\\ZelMousePage") ||
           RegText(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori") != "<none>" ||
           KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey);
}

void RemoveRegistration()
{
    RegRemoveTree(HKEY_CLASSES_ROOT, kClassKey);
    RegRemoveTree(HKEY_LOCAL_MACHINE, kHandlersKey);
    RegRemoveTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    HKEY run;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
        RegDeleteValueA(run, "ZaderUvori");
        RegCloseKey(run);
    }
    RegRemoveTree(HKEY_LOCAL_MACHINE, kSharedDllsKey); // a fresh prefix has none
}
