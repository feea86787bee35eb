#pragma once
// The records of the experience file: key, input count n, n inputs, class count, outcome,
// each 4 bytes little-endian, 16 + 4n bytes a record.
//
// A record whose input count lies outside 0-256 cannot be framed, and neither can anything
// after it: the file ends there, as it does at a last record cut short by a write that never
// finished. Such a tail is "torn"; the cut of the file drops it.

#include <cstdint>
#include <string>
#include <vector>

#include "core/Bytes.h"

struct ExperienceRecord {
  int32_t key = 0;
  std::vector<int32_t> inputs;
  int32_t classCount = 0;
  int32_t outcome = 0;
};

// Whether the record can teach anything on its own: 1-16 classes and an outcome among them.
bool IsSoundRecord(const ExperienceRecord& record);

void WriteExperienceRecord(bytes::Writer& out, int32_t key, const std::vector<int32_t>& inputs, int32_t classCount,
                           int32_t outcome);

struct ExperienceContents {
  std::vector<ExperienceRecord> records;
  bool torn = false;  // bytes after the last whole record
};
// The records of a file's bytes.
ExperienceContents ParseExperience(const uint8_t* data, size_t size);

// Reads the experience file: 0, -1 when there is none, -2 when reading fails (also when
// something other than a file stands at the path).
int ReadExperienceFile(const std::string& path, ExperienceContents& contents);
