#include "creatures/GameDataText.h"

#include <cctype>
#include <cstdint>

#include "core/Options.h"
#include "platform/Profile.h"
#include "platform/Text.h"

namespace game_data {

namespace {

constexpr size_t kValueBuffer = 256;
constexpr size_t kPathBuffer = 512;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string PathOf(const char* fileName) {
  char path[kPathBuffer];
  MakeCurrentDirPath(fileName, path, static_cast<int>(sizeof path));
  return path;
}

std::string ReadKey(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view defaultValue) {
  char value[kValueBuffer];
  platform::ReadProfileString(section, key, defaultValue, value, sizeof value, path);
  return value;
}

int LeadingInt(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  int64_t value = 0;
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > INT32_MAX) value = int64_t{INT32_MAX} + 1;  // held just past the range; cut below
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int>(value);
}

int LeadingIntIn(std::string_view text, int lo, int hi) {
  const int value = LeadingInt(text);
  return value < lo ? lo : value > hi ? hi : value;
}

std::string_view CutAt(std::string_view text, char c) { return text.substr(0, text.find(c)); }

std::vector<int> IntList(std::string_view text, std::string_view separators) {
  std::vector<int> values;
  for (const std::string& item : platform::SplitTokens(text, separators))
    values.push_back(LeadingInt(CutAt(item, '=')));
  return values;
}

std::vector<std::string> WordList(std::string_view text) {
  text = CutAt(text, ';');
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  std::vector<std::string> words;
  for (const std::string& item : platform::SplitTokens(text, ",")) {
    std::string_view word = CutAt(item, '=');
    while (!word.empty() && IsBlank(word.front())) word.remove_prefix(1);
    words.emplace_back(word);
  }
  return words;
}

}  // namespace game_data
