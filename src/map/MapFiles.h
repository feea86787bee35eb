#pragma once
// Small helpers shared by the readers of the map's files.

#include <cstdint>
#include <string>
#include <vector>

// Reads a whole binary data file (a game path) through the data-file service; false when
// it does not open or cannot be read whole.
bool ReadMapDataFile(const char* path, std::vector<uint8_t>& out);

// Shows one of the map's warning boxes (no owner, top-most, task-modal, warning icon).
void ShowMapWarning(const char* text, const char* caption);

// Appends text to a diagnostic log in the current directory; with `fresh` the file is
// started anew. Silently does nothing when the file cannot be written.
void AppendMapLog(const char* name, const std::string& text, bool fresh = false);

// printf into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
