#include "core/RealmPath.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {
size_t LastSeparator(const std::string& text) { return text.find_last_of("\\/"); }
}  // namespace

bool IsValidRealmPath(const char* path, char* name, size_t size) {
  if (!path || !name || size == 0) return false;
  std::string text(path, strnlen(path, 255));
  size_t cut = LastSeparator(text);
  if (cut == std::string::npos) return false;
  text.resize(cut);
  size_t folderStart = LastSeparator(text);
  if (folderStart == std::string::npos) return false;
  std::string folder = text.substr(folderStart + 1);
  if (folder.empty()) return false;
  std::snprintf(name, size, "%s", folder.c_str());
  return true;
}

void MakeRealmCfgPath(const char* name, char* path, size_t size) {
  std::snprintf(path, size, "realms\\%s\\%s.cfg", name ? name : "", name ? name : "");
}
