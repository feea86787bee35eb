#include "creatures/GameDataText.h"

#include "core/Options.h"
#include "platform/Numbers.h"
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

int LeadingIntIn(std::string_view text, int lo, int hi) { return platform::TextToIntIn(text, lo, hi); }

std::string_view CutAt(std::string_view text, char c) { return text.substr(0, text.find(c)); }

std::vector<int> IntList(std::string_view text, std::string_view separators, int lo, int hi) {
  std::vector<int> values;
  for (const std::string& item : platform::SplitTokens(text, separators))
    values.push_back(platform::TextToIntIn(CutAt(item, '='), lo, hi));
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

bool SectionReader::Has(const char* key, std::string_view defaultValue) {
  value_ = ReadKey(path_, section_, key, defaultValue);
  return !value_.empty();
}

void SectionReader::ReadInt(const char* key, int32_t& field, int lo, int hi, std::string_view defaultValue) {
  if (Has(key, defaultValue)) field = LeadingIntIn(value_, lo, hi);
}

void SectionReader::ReadFlag(const char* key, int32_t& field) {
  if (Has(key) && platform::EqualNoCase(value_, "TRUE")) field = 1;
}

}  // namespace game_data
