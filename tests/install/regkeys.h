// Registry helpers for the install tests: the keys the registration writes, reading
// them back, and removing them so that every test starts from none.
#pragma once
#include <windows.h>
#include <string>
#include <utility>
#include "../driver/registry_keys.h"

// The REG_SZ data of a value with its terminator counted, or "<missing>" / "<bad>".
std::string RegText(HKEY root, const char* path, const char* name);
// Number of values and of subkeys of a key; -1 each when it does not exist.
std::pair<int, int> RegCounts(HKEY root, const char* path);
void RegSetText(HKEY root, const char* path, const char* name, const char* data);
void RegDeleteTree(HKEY root, const std::string& path);
// Removes every entry the registration writes.
void RemoveRegistration();
