// The experience file's records: written by the buffer's flush and the file's cut, read by the
// cut and by processing.
#include "ai/ExperienceFile.h"

#include "ai/Brain.h"
#include "platform/Files.h"

bool IsSoundRecord(const ExperienceRecord& record) {
  return record.classCount >= 1 && record.classCount <= kMaxBrainClasses && record.outcome >= 0 &&
         record.outcome < record.classCount;
}

void WriteExperienceRecord(bytes::Writer& out, int32_t key, const std::vector<int32_t>& inputs, int32_t classCount,
                           int32_t outcome) {
  out.I32(key);
  out.I32(static_cast<int32_t>(inputs.size()));
  for (int32_t value : inputs) out.I32(value);
  out.I32(classCount);
  out.I32(outcome);
}

ExperienceContents ParseExperience(const uint8_t* data, size_t size) {
  ExperienceContents contents;
  bytes::Reader in(data, size);
  while (in.Remaining() > 0) {
    if (!in.Has(8)) break;
    const int32_t key = in.I32();
    const int32_t count = in.I32();
    if (count < 0 || count > kMaxBrainInputs || !in.Has(4 * static_cast<size_t>(count) + 8)) break;
    ExperienceRecord record;
    record.key = key;
    record.inputs.resize(static_cast<size_t>(count));
    for (int32_t& value : record.inputs) value = in.I32();
    record.classCount = in.I32();
    record.outcome = in.I32();
    contents.records.push_back(std::move(record));
  }
  // Whatever lies after the last whole record.
  size_t whole = 0;
  for (const ExperienceRecord& record : contents.records) whole += 16 + 4 * record.inputs.size();
  contents.torn = whole != size;
  return contents;
}

int ReadExperienceFile(const std::string& path, ExperienceContents& contents) {
  contents = {};
  // Something at the path that is no file to read (the waiting test found it by its time) is
  // a failed read, not missing experience: the caller must not throw the brain file away.
  if (!platform::FileExists(path)) return platform::FileWriteTime(path) >= 0 ? -2 : -1;
  std::vector<uint8_t> data;
  if (!platform::ReadWholeFile(path, data)) return platform::FileExists(path) ? -2 : -1;
  contents = ParseExperience(data.data(), data.size());
  return 0;
}
