#include "core/DataPath.h"

bool IsInsideDataFolder(std::string_view path) {
  if (path.empty() || path.front() == '\\' || path.front() == '/') return false;
  if (path.find(':') != std::string_view::npos) return false;  // a drive, or a stream name
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = path.size();
    if (path.substr(start, end - start) == "..") return false;
    start = end + 1;
  }
  return true;
}
