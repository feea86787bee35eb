// The script file writer.
#include "forge/ScriptWriter.h"

#include <stdexcept>

namespace forge {

ScriptEventKeys& ScriptEventKeys::Int(std::string_view key, int value) {
  keys_.emplace_back(key, std::to_string(value));
  return *this;
}

ScriptEventKeys& ScriptEventKeys::Flag(std::string_view key) {
  keys_.emplace_back(key, "True");
  return *this;
}

ScriptEventKeys& ScriptEventKeys::Text(std::string_view key, std::string_view value) {
  // The reader cuts every value at ';', and names and texts at their field's size.
  const size_t limit = key == "Speech" || key == "ExperienceText" ? 255 : 31;
  if (value.find(';') != std::string_view::npos || value.size() > limit)
    throw std::invalid_argument("script value does not fit: " + std::string(value));
  keys_.emplace_back(key, value);
  return *this;
}

ScriptEventKeys& ScriptEventKeys::Keyword(std::string_view key, script_keywords::List list, int value) {
  const char* word = script_keywords::WordOf(list, value);
  if (!word) throw std::invalid_argument("no keyword for " + std::string(key));
  keys_.emplace_back(key, word);
  return *this;
}

void ScriptEventKeys::WriteTo(IniText& ini) const {
  const char* type = script_keywords::WordOf(script_keywords::kEventType, type_);
  if (!type) throw std::invalid_argument("no event type " + std::to_string(type_));
  ini.Section("EVENT_" + std::to_string(section_)).Key("Valid", "True").Key("EventType", type);
  for (const auto& [key, value] : keys_) ini.Key(key, value);
}

std::string ScriptFileText(std::string_view comment, const std::vector<ScriptEventKeys>& events) {
  IniText ini;
  ini.Comment(comment);
  for (const ScriptEventKeys& event : events) event.WriteTo(ini);
  return ini.Text();
}

}  // namespace forge
