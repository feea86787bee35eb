#pragma once
// What the learning store's tests share: a store in a folder of its own, records and files
// made by hand, and file times set at will.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "ai/Brain.h"
#include "ai/ExperienceFile.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace brain_test {

// A record of a key with these inputs and outcome among three classes.
inline ExperienceRecord Record(int32_t key, std::vector<int32_t> inputs, int32_t outcome, int32_t classes = 3) {
  ExperienceRecord record;
  record.key = key;
  record.inputs = std::move(inputs);
  record.classCount = classes;
  record.outcome = outcome;
  return record;
}

inline std::vector<uint8_t> RecordBytes(const std::vector<ExperienceRecord>& records) {
  bytes::Writer out;
  for (const ExperienceRecord& r : records) WriteExperienceRecord(out, r.key, r.inputs, r.classCount, r.outcome);
  return out.Data();
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& data) {
  platform::MakeDirectory("AI");
  ASSERT_TRUE(platform::WriteWholeFile(path, data.data(), data.size()));
}

inline std::vector<uint8_t> FileBytes(const std::string& path) {
  std::vector<uint8_t> data;
  platform::ReadWholeFile(path, data);
  return data;
}

inline std::vector<ExperienceRecord> FileRecords(const std::string& path) {
  const std::vector<uint8_t> data = FileBytes(path);
  return ParseExperience(data.data(), data.size()).records;
}

// Sets a file's last-write time a number of seconds before one moment of the run (files of
// one age get the same time).
inline void SetAge(const std::string& path, int seconds) {
  static const auto moment = std::filesystem::file_time_type::clock::now();
  const auto when = moment - std::chrono::seconds(seconds);
  std::filesystem::last_write_time(platform::ResolvePath(path), when);
}

// The store's tests run on g_brain in a fresh folder, learning, and leave it empty.
class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_brain.Reset();
    g_brain.SetLearning(true);
  }
  void TearDown() override {
    SetExperienceWriteFaultForTesting(nullptr);
    platform::SetReplacementFaultForTesting(nullptr);
    g_brain.Reset();
    g_brain.SetLearning(true);
  }
  testing_support::TempDir dir_{true};
};

}  // namespace brain_test
