#pragma once
// Builds the text of a configuration (INI) file in the order its lines are given.

#include <string>
#include <string_view>

namespace forge {

class IniText {
 public:
  IniText& Comment(std::string_view text);
  IniText& Section(std::string_view name);
  IniText& Key(std::string_view name, std::string_view value);
  IniText& Key(std::string_view name, const char* value) { return Key(name, std::string_view(value)); }
  IniText& Key(std::string_view name, int value);
  IniText& Key(std::string_view name, double value, int decimals);
  IniText& Flag(std::string_view name, bool value) { return Key(name, value ? "TRUE" : "FALSE"); }
  IniText& Line(std::string_view raw);
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace forge
