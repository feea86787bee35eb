#pragma once
// How the game data readers (cfg\creature.cfg, cfg\hth.cfg, cfg\spells.cfg) read a value:
// each key through the profile reader into a 256-character buffer, numbers as the leading
// decimal integer of the text (as atoi reads it, held within the int range), words compared without regard to case.

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace game_data {

// The file's full path: the current directory joined with the relative name.
std::string PathOf(const char* fileName);

// The key's value, cut to 255 characters; empty when the key is missing (or empty).
std::string ReadKey(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view defaultValue = "");

// The leading decimal integer (platform::TextToInt), held within lo..hi.
int LeadingIntIn(std::string_view text, int lo, int hi);

// The text before the first c (all of it when there is none).
std::string_view CutAt(std::string_view text, char c);

// The items of a list split at any of the separators (empty items are skipped), each cut at
// its first '=' and read as a leading integer held within lo..hi.
std::vector<int> IntList(std::string_view text, std::string_view separators, int lo = INT_MIN, int hi = INT_MAX);

// The words of a word list: cut at the first ';', trailing blanks removed, split at commas,
// each item cut at its first '=' and stripped of leading blanks.
std::vector<std::string> WordList(std::string_view text);

// The keys of one section of a file, read one by one in the order asked.
class SectionReader {
 public:
  SectionReader(const std::string& path, std::string section) : path_(path), section_(std::move(section)) {}

  // Reads the key into Value(); true when it gives a non-empty text (a default counts).
  bool Has(const char* key, std::string_view defaultValue = "");
  const std::string& Value() const { return value_; }
  // A present key's leading integer, held within lo..hi.
  void ReadInt(const char* key, int32_t& field, int lo, int hi, std::string_view defaultValue = "");
  // 1 when the key reads TRUE (without regard to case); anything else leaves the field.
  void ReadFlag(const char* key, int32_t& field);

 private:
  const std::string& path_;
  std::string section_;
  std::string value_;
};

}  // namespace game_data
