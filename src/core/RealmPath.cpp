#include "core/RealmPath.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "core/DataPath.h"

namespace {
size_t LastSeparator(const std::string& text) { return text.find_last_of("\\/"); }
}  // namespace

bool IsValidRealmPath(const char* path, char* name, size_t size) {
  if (!path || !name || size == 0) return false;
  std::string text(path, strnlen(path, 255));
  if (!IsInsideDataFolder(text)) return false;
  size_t cut = LastSeparator(text);
  if (cut == std::string::npos) return false;
  text.resize(cut);
  size_t folderStart = LastSeparator(text);
  if (folderStart == std::string::npos) return false;
  std::string folder = text.substr(folderStart + 1);
  if (folder.empty() || folder == ".") return false;
  std::snprintf(name, size, "%s", folder.c_str());
  return true;
}

bool IsValidRealmName(const char* name) {
  if (!name) return false;
  const std::string_view text(name, strnlen(name, 255));
  return IsInsideDataFolder(text) && text != "." && text.find_first_of("\\/") == std::string_view::npos;
}

void MakeRealmCfgPath(const char* name, char* path, size_t size) {
  std::snprintf(path, size, "realms\\%s\\%s.cfg", name ? name : "", name ? name : "");
}
