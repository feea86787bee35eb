#pragma once
// Realm paths: "realms\<realm>\<realm>.cfg" names its realm by the folder that holds it.

#include <cstddef>

// Takes the name of the folder that holds the file (path cut at its last '\' or '/', then
// the part after the last separator of what remains) into name (size bytes, cut to fit).
// False, with name untouched, when the path has no separator, what remains has none, or
// the folder name is empty or ".", and when the path could leave the data folder
// (IsInsideDataFolder). At most 255 characters of the path are looked at.
bool IsValidRealmPath(const char* path, char* name, size_t size);

// A realm's name names its folder below "realms": one part, not "." or "..", inside the
// data folder.
bool IsValidRealmName(const char* name);

// A realm's name names its folder below "realms": one part, not "." or "..", inside the
// data folder.
bool IsValidRealmName(const char* name);

// "realms\<name>\<name>.cfg" into path (size bytes).
void MakeRealmCfgPath(const char* name, char* path, size_t size);
