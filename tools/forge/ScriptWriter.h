#pragma once
// The writer of a battle map's script file: numbered EVENT_ sections of keys, with the
// keywords taken from the game reader's own lists, so that a script reads back as written.

#include <string>
#include <string_view>
#include <vector>

#include "battle/ScriptKeywords.h"
#include "forge/IniText.h"

namespace forge {

// One event: its section number, its type and its keys in the order they are given.
class ScriptEventKeys {
 public:
  // An event of a type (0 NULL, 1 COMMAND, ... 9 FLAG), valid.
  ScriptEventKeys(int section, int type) : section_(section), type_(type) {}

  ScriptEventKeys& Int(std::string_view key, int value);
  // A flag set to "True".
  ScriptEventKeys& Flag(std::string_view key);
  // A name or a text as it stands (no ';', at most 31 or 255 characters).
  ScriptEventKeys& Text(std::string_view key, std::string_view value);
  // The keyword of a value from one of the reader's lists.
  ScriptEventKeys& Keyword(std::string_view key, script_keywords::List list, int value);

  int Section() const { return section_; }
  int Type() const { return type_; }
  // Appends the event's section to the file's text.
  void WriteTo(IniText& ini) const;

 private:
  int section_;
  int type_;
  std::vector<std::pair<std::string, std::string>> keys_;
};

// The text of a script file of these events.
std::string ScriptFileText(std::string_view comment, const std::vector<ScriptEventKeys>& events);

// The campaign's script of the moorland's region 1, the castle on the moor: its events.
std::vector<ScriptEventKeys> MoorlandCastleScript();

}  // namespace forge
