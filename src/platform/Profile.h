#pragma once
// Private-profile (INI) files, with the semantics the game's configuration files were
// written for, as the Windows profile functions read them: sections and keys match without
// regard to case and the first match wins (a second section of the same name is never
// searched); blanks around names and values are trimmed; a value wrapped in matching quotes
// loses them, and so does a default; a section name runs from the '[' to the last ']' of its
// line ("[x]y]" is "x]y"); the lines before the first header form the section of the empty
// name, which is also what "" asks for, so a later "[]" is never reached; a key asked by the
// empty name is never found; a line whose first non-blank character is ';' is a comment:
// left out of the listings, yet found when asked for by its whole text, ';' included, as the
// profile functions find it; a ';' after a value is part of the value; a line without '='
// (a "[name" without its ']' among them) names no key; lines end at LF, CR LF or a lone CR;
// a UTF-8 or UTF-16 byte-order mark at the start of the file sets how it is read and
// written; a missing file, section or key gives the default, less its trailing blanks.
// Writing keeps every line it does not change byte for byte.

#include <cstddef>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"

namespace platform {

// Copies the value (or the default) into out, cut to size - 1 characters and terminated.
// Returns the number of characters copied. size 0 copies nothing.
size_t ReadProfileString(std::string_view section, std::string_view key, std::string_view defaultValue, char* out,
                         size_t size, std::string_view path);

// The value, or the default; uncut.
std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                              std::string_view path);

// The value read as an integer the way the profile functions read one: blanks, a sign, then
// "0x" (hexadecimal), "0o" (octal), "0b" (binary) or decimal digits, up to the first character
// that is no digit of the base; no digits read as 0 ("abc", "- 5"); a number past 32 bits
// wraps around modulo 2^32. The default only when the key is missing or its value empty.
int ReadProfileInt(std::string_view section, std::string_view key, int defaultValue, std::string_view path);

// Replaces the first matching key's line, or appends the key to the section, or appends
// the section; creates the file when missing. Returns false when the file cannot be written,
// and for a read-only file (no write permission for its owner), which stays as it is.
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value, std::string_view path);

// Several keys written as WriteProfileString writes each, in order, with the file replaced
// once: it holds either all of them or, when the write fails, what it held before.
struct ProfileEntry {
  std::string section, key, value;
};
// With FileAccess::kOwnerOnly the file is written readable by its owner alone.
bool WriteProfileStrings(std::span<const ProfileEntry> entries, std::string_view path,
                         FileAccess access = FileAccess::kAsBefore);

// The text to write for a value so that reading gives the value back: the value itself, or,
// when reading would trim or unquote it, the value in double quotes.
std::string QuoteProfileValue(std::string_view value);

// Removes the first matching key of the section; true when the file was written or had no such key.
bool DeleteProfileKey(std::string_view section, std::string_view key, std::string_view path);

// The lines of the first matching section, as the section-reading call of the game's INI
// files hands them out: each key line as "name=value" with the value as it stands in the file
// (trimmed, quotes kept), a line without '=' as its text, comment and blank lines left out,
// each ended by a '\0' and the list by a second '\0'. When the section does not fit, as much
// as fits is copied, the list is ended, and the result is size - 2; a list that fills the
// buffer to its last character counts as not fitting too (the profile functions answer
// size - 2 for it, the list itself whole). Otherwise the result is the number of characters
// copied, the final '\0' not counted. A missing file or section
// gives an empty list (0). size below 2 copies nothing.
size_t ReadProfileSection(std::string_view section, char* out, size_t size, std::string_view path);

// The section names in file order (the empty name left out), and the key names of the
// first matching section.
std::vector<std::string> ReadProfileSectionNames(std::string_view path);
std::vector<std::string> ReadProfileKeyNames(std::string_view section, std::string_view path);

// Forgets what was read, so that the next read goes to the files again (files changed
// behind the reader's back within the same second are seen without it as well).
void FlushProfileCache();

// The text of one INI file in memory, read and changed by the rules above: what the file
// functions use, and what a reader of INI text that is not in a file can use directly.
class ProfileText {
 public:
  ProfileText() = default;
  explicit ProfileText(std::string_view bytes);

  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  std::vector<std::string> SectionNames() const;
  std::vector<std::string> KeyNames(std::string_view section) const;
  // The section's lines as ReadProfileSection lists them, each ended by a '\0'.
  std::string SectionListing(std::string_view section) const;

  void Set(std::string_view section, std::string_view key, std::string_view value);
  // False when there was no such key.
  bool Delete(std::string_view section, std::string_view key);
  // The bytes of the file: untouched lines as they were, line ends as the file had them.
  std::string Bytes() const;

 private:
  struct Line {
    enum Kind { kOther, kSection, kKey } kind = kOther;
    std::string name;      // section or key name, trimmed
    std::string rawValue;  // after the '=', trimmed
    std::string value;     // rawValue without its matching quotes
    bool hasEquals = false;
  };
  static Line ParseLine(std::string_view raw);
  // Key lines show in the listings; comment lines (a ';' first) only answer a lookup.
  static bool IsListed(const Line& line);
  // The index of the first line of the first section of this name, the lines before any
  // header for the empty name; -1 when there is no such section.
  int FindSection(std::string_view section) const;
  // The first key line of the section starting at this line, '=' or not; -1 when none.
  int FindKey(int sectionStart, std::string_view key) const;
  void Replace(size_t index, std::string raw);
  void Insert(size_t index, std::string raw);
  // Where each section name (folded to lower case) first starts, built on the first look
  // after the lines change: the game's larger files have hundreds of sections and are asked
  // thousands of keys at start-up.
  const std::map<std::string, int, std::less<>>& SectionStarts() const;

  std::vector<std::string> raw_;  // as in the file, without line ends (and without the mark)
  std::vector<Line> lines_;
  mutable std::map<std::string, int, std::less<>> sectionStarts_;
  mutable bool sectionStartsBuilt_ = false;
  std::string lineEnd_ = "\n";  // the file's first line end, used for every line written
  enum class Encoding { kPlain, kUtf8Mark, kUtf16Little, kUtf16Big } encoding_ = Encoding::kPlain;
};

}  // namespace platform
