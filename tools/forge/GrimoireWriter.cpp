#include "forge/GrimoireWriter.h"

#include <cstdio>
#include <stdexcept>

namespace forge {

namespace {

void RequirePlain(std::string_view text) {
  if (text.find('~') != std::string_view::npos || text.find('"') != std::string_view::npos)
    throw std::runtime_error("grimoire text with a tilde or quote: " + std::string(text));
}

// A heading's code, then its icon and its name when it has them, and the end of its line.
std::string Heading(const char* code, int icon, std::string_view name) {
  std::string heading = code;
  if (icon >= 0) {
    char number[16];
    std::snprintf(number, sizeof number, "-%03d", icon);
    heading += number;
  }
  if (!name.empty()) heading += "-\"" + std::string(name) + "\"";
  return heading + "\n";
}

}  // namespace

GrimoireWriter& GrimoireWriter::Comment(std::string_view text) {
  text_ += "~[";
  text_ += text;
  text_ += "]\n";
  return *this;
}

GrimoireWriter& GrimoireWriter::Chapter(int chapter, int icon, std::string_view name) {
  RequirePlain(name);
  char code[32];
  std::snprintf(code, sizeof code, "\n~C%d", chapter);
  text_ += Heading(code, icon, name);
  return *this;
}

GrimoireWriter& GrimoireWriter::Section(int section, int icon, std::string_view name) {
  RequirePlain(name);
  char code[32];
  std::snprintf(code, sizeof code, "~S%02d", section);
  text_ += Heading(code, icon, name);
  return *this;
}

GrimoireWriter& GrimoireWriter::Level(int level) {
  text_ += "~L" + std::to_string(level);
  return *this;
}

GrimoireWriter& GrimoireWriter::Text(std::string_view text) {
  RequirePlain(text);
  text_ += text;
  return *this;
}

GrimoireWriter& GrimoireWriter::NewLine() {
  text_ += "~NL\n";
  return *this;
}

GrimoireWriter& GrimoireWriter::AreaBreak() {
  text_ += "~NB\n";
  return *this;
}

GrimoireWriter& GrimoireWriter::PageBreak() {
  text_ += "~NP\n";
  return *this;
}

GrimoireWriter& GrimoireWriter::Picture(std::string_view fileName) {
  RequirePlain(fileName);
  text_ += "~G\"" + std::string(fileName) + "\"\n";
  return *this;
}

GrimoireWriter& GrimoireWriter::Entry(int chapter, int section) {
  char line[16];
  std::snprintf(line, sizeof line, "~I%d,%02d\n", chapter, section);
  text_ += line;
  return *this;
}

GrimoireWriter& GrimoireWriter::Bar(std::string_view label, int x, int y, int width, int height, const BarColours& c,
                                    std::string_view keyword, int number, int second) {
  RequirePlain(label);
  char line[256];
  std::snprintf(line, sizeof line, "~D \"%.*s\" %dx%d %d,%d %d,%d,%d %d,%d,%d %.*s %d", static_cast<int>(label.size()),
                label.data(), x, y, width, height, c.from[0], c.from[1], c.from[2], c.to[0], c.to[1], c.to[2],
                static_cast<int>(keyword.size()), keyword.data(), number);
  text_ += line;
  if (second >= 0) text_ += "," + std::to_string(second);
  text_ += "\n";
  return *this;
}

}  // namespace forge
