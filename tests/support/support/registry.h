// The registry as the tests see it: the keys an installation writes (taken from the
// registration's header, the one place they are written), REG_SZ values read and written,
// and the registration's entries removed so that every test starts from none.
#pragma once
#include "engine/registration.h"
#include <windows.h>
#include <string>
#include <utility>

inline constexpr char kClassId[] = REG_CLASS_ID;
inline constexpr char kClassKey[] = REG_CLASS_KEY;
inline constexpr char kServerKey[] = REG_SERVER_KEY;
inline constexpr char kHandlersKey[] = REG_HANDLERS_KEY;
inline constexpr char kRunKey[] = REG_RUN_KEY;
inline constexpr char kUninstallKey[] = REG_UNINSTALL_KEY;
inline constexpr char kSharedDllsKey[] = REG_SHARED_DLLS_KEY;

// The REG_SZ data of a value (nullptr: the key's default value), its terminator counted
// in its size; "<none>" when the key or value does not exist, "<bad>" when the value
// is of another type or not terminated exactly at its end.
std::string RegText(HKEY root, const std::string& key, const char* name);
// Number of values and of subkeys of a key; -1 each when it does not exist.
std::pair<int, int> RegCounts(HKEY root, const std::string& key);
// Creates the key when missing and sets a REG_SZ value; true when written.
bool RegSetText(HKEY root, const std::string& key, const char* name, const char* data);
// The shared-file count of `path` (a REG_DWORD value of kSharedDllsKey), -1 when there
// is none; setting -1 removes the value.
long SharedCount(const std::string& path);
void SetSharedCount(const std::string& path, long count);
// Removes a key with all its subkeys.
void RegRemoveTree(HKEY root, const std::string& key);

// True when any of the registration's entries exists: the class key, the Mouse control
// panel's "ZelMousePage" handler, the Run value "ZaderUvori", the Uninstall key.
bool RegistrationPresent();
// Removes those entries, the whole handlers key included (with whatever another test
// left in it), the Run value and every shared-file count.
void RemoveRegistration();
