#pragma once
// Private-profile (INI) files, with the semantics the game's configuration files were
// written for: sections and keys match without regard to case and the first match wins;
// blanks around names and values are trimmed; a value wrapped in matching quotes loses
// them; a line whose first non-blank character is ';' is a comment, while a ';' after a
// value is part of the value; a missing file, section or key gives the default.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Copies the value (or the default) into out, cut to size - 1 characters and terminated.
// Returns the number of characters copied. size 0 copies nothing.
size_t ReadProfileString(std::string_view section, std::string_view key, std::string_view defaultValue, char* out,
                         size_t size, std::string_view path);

// The value, or the default; uncut.
std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                              std::string_view path);

// The value read as a decimal integer (leading sign and digits; trailing text ignored), or
// the default when the key is missing or has no digits.
int ReadProfileInt(std::string_view section, std::string_view key, int defaultValue, std::string_view path);

// Replaces the first matching key's line, or appends the key to the section, or appends
// the section; creates the file when missing. Returns false when the file cannot be written,
// and for a read-only file (no write permission for its owner), which stays as it is.
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value, std::string_view path);

// Removes the first matching key of the section; true when the file was written or had no such key.
bool DeleteProfileKey(std::string_view section, std::string_view key, std::string_view path);

// The lines of the first matching section, as the section-reading call of the game's INI
// files hands them out: each key line as "name=value" (a line without '=' as its text),
// comment and blank lines left out, each ended by a '\0' and the list by a second '\0'. When
// the section does not fit, as much as fits is copied, the list is ended, and the result is
// size - 2. Otherwise the result is the number of characters copied, the final '\0' not
// counted. A missing file or section gives an empty list (0). size below 2 copies nothing.
size_t ReadProfileSection(std::string_view section, char* out, size_t size, std::string_view path);

// The section names in file order, and the key names of the first matching section.
std::vector<std::string> ReadProfileSectionNames(std::string_view path);
std::vector<std::string> ReadProfileKeyNames(std::string_view section, std::string_view path);

// Forgets what was read, so that the next read goes to the files again (files changed
// behind the reader's back within the same second are seen without it as well).
void FlushProfileCache();

}  // namespace platform
