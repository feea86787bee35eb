#include "map/MapFiles.h"

#include <cstdarg>
#include <cstdio>

#include "core/DataFile.h"
#include "core/ErrorBox.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"

bool ReadMapDataFile(const char* path, std::vector<uint8_t>& out) {
  out.clear();
  CDataFile file;
  if (!path || !file.Open(path, "rb")) return false;
  int size = file.GetSize(1);
  if (size < 0) return false;
  out.resize(static_cast<size_t>(size));
  return file.Read(out.data(), size);
}

void ShowMapWarning(const char* text, const char* caption) {
  platform::ShowMessageBox(text, caption, WarningBoxFlags());
}

void AppendMapLog(const char* name, const std::string& text, bool fresh) {
  FILE* file = platform::OpenFile(name, fresh ? "w" : "a");
  if (!file) return;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  return text;
}
