#pragma once
// The brain file's bytes for a table, and their checked reader.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ai/Brain.h"

// The bytes one class block of a key with this many inputs takes.
size_t BrainClassBytes(int inputs);
std::vector<uint8_t> BrainTableBytes(const BrainTable& table);
// Fills the table from a file's bytes; false (the table then holds part of it) when the
// bytes end inside a block or a block breaks a rule: inputs 0-256, classes 1-16, a bin count
// equal to the input count, finite numbers, widths above 0.
bool ParseBrainTable(const uint8_t* data, size_t size, BrainTable& table);
