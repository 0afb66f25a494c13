#include "regkeys.h"

std::string RegText(HKEY root, const char* path, const char* name)
{
    HKEY key;
    if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS)
        return "<missing>";
    char data[512];
    DWORD type = 0, size = sizeof data;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return "<missing>";
    if (type != REG_SZ || size == 0 || data[size - 1] != '\0' || lstrlenA(data) + 1 != (int)size)
        return "<bad>";
    return data;
}

std::pair<int, int> RegCounts(HKEY root, const char* path)
{
    HKEY key;
    if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS)
        return {-1, -1};
    DWORD subkeys = 0, values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return {(int)values, (int)subkeys};
}

void RegSetText(HKEY root, const char* path, const char* name, const char* data)
{
    HKEY key;
    if (RegCreateKeyA(root, path, &key) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), lstrlenA(data) + 1);
    RegCloseKey(key);
}

void RegDeleteTree(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyA(root, path.c_str(), &key) != ERROR_SUCCESS)
        return;
    char name[256];
    while (RegEnumKeyA(key, 0, name, sizeof name) == ERROR_SUCCESS)
        RegDeleteTree(key, name);
    RegCloseKey(key);
    RegDeleteKeyA(root, path.c_str());
}

void RemoveRegistration()
{
    RegDeleteTree(HKEY_CLASSES_ROOT, kClassKey);
    RegDeleteTree(HKEY_LOCAL_MACHINE, kHandlersKey);
    RegDeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    HKEY run;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kRunKey, &run) == ERROR_SUCCESS) {
        RegDeleteValueA(run, "ZaderUvori");
        RegCloseKey(run);
    }
}
