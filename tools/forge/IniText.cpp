#include "forge/IniText.h"

#include <cstdio>

namespace forge {

IniText& IniText::Comment(std::string_view text) { return Line(std::string("; ") + std::string(text)); }

IniText& IniText::Section(std::string_view name) {
  if (!text_.empty()) text_ += "\n";
  return Line("[" + std::string(name) + "]");
}

IniText& IniText::Key(std::string_view name, std::string_view value) {
  return Line(std::string(name) + "=" + std::string(value));
}

IniText& IniText::Key(std::string_view name, int value) { return Key(name, std::to_string(value)); }

IniText& IniText::Key(std::string_view name, double value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return Key(name, buffer);
}

IniText& IniText::Line(std::string_view raw) {
  text_ += raw;
  text_ += "\n";
  return *this;
}

}  // namespace forge
