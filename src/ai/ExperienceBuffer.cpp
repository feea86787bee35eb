// The experience buffer: each decision the computer player carries out takes an entry with the
// situation it was taken in, completes it with the outcome once that is rated, and complete
// entries go to the experience file. Between battles the file is cut to its newest records.
//
// An index handed out carries the entry's slot in its low 7 bits and a generation above them,
// so that the holder of an entry since flushed, cleared or taken over reaches nothing.
#include <atomic>

#include "ai/Brain.h"
#include "ai/ExperienceFile.h"
#include "platform/Files.h"

namespace {

constexpr int kSlotBits = 7;
constexpr int kSlotMask = (1 << kSlotBits) - 1;
constexpr uint32_t kGenerationMask = 0xFFFFFF;  // the index stays a positive int

std::atomic<ExperienceWriteFault> g_writeFault{nullptr};

// Writes one record; under a test's fault, half of it and then fails.
bool WriteRecord(FILE* file, const CExperienceEntry& entry, int number) {
  bytes::Writer out;
  WriteExperienceRecord(out, entry.key, entry.inputs, entry.classCount, entry.outcome);
  const std::vector<uint8_t>& data = out.Data();
  ExperienceWriteFault fault = g_writeFault.load();
  if (fault && fault(number)) {
    bytes::WriteBlock(file, data.data(), data.size() / 2);
    return false;
  }
  return bytes::WriteBlock(file, data.data(), data.size());
}

// Puts the file back as it was before a failed append.
void UndoAppend(int64_t oldSize) {
  if (oldSize >= 0)
    platform::TruncateFile(kExperienceFileName, oldSize);
  else
    platform::RemoveFile(kExperienceFileName);
}

}  // namespace

void SetExperienceWriteFaultForTesting(ExperienceWriteFault fault) { g_writeFault.store(fault); }

int CBrain::AddExperience(int32_t key, const std::vector<int32_t>& inputs) {
  if (inputs.size() > static_cast<size_t>(kMaxBrainInputs)) return -1;
  auto firstFree = [this] {
    for (int slot = 0; slot < kExperienceEntries; ++slot)
      if (entries_[slot].state == kExperienceFree) return slot;
    return -1;
  };
  int slot = firstFree();
  if (slot < 0) {
    if (FlushExperience() != 0) return -1;
    slot = firstFree();
    if (slot < 0) slot = 0;  // every entry open: the first is taken over
  }
  return TakeEntry(slot, key, inputs);
}

int CBrain::TakeEntry(int slot, int32_t key, const std::vector<int32_t>& inputs) {
  generation_ = (generation_ + 1) & kGenerationMask;
  if (generation_ == 0) generation_ = 1;
  CExperienceEntry& entry = entries_[slot];
  entry.state = kExperienceOpen;
  entry.key = key;
  entry.inputs = inputs;
  auto node = table_.find(key);
  entry.classCount = node != table_.end() ? node->second.classCount : kOutcomeClasses;
  entry.outcome = 0;
  entry.handle = static_cast<int32_t>((generation_ << kSlotBits) | static_cast<uint32_t>(slot));
  return entry.handle;
}

CExperienceEntry* CBrain::EntryOf(int index) {
  if (index <= 0) return nullptr;
  const int slot = index & kSlotMask;
  if (slot >= kExperienceEntries) return nullptr;
  CExperienceEntry& entry = entries_[slot];
  return entry.state != kExperienceFree && entry.handle == index ? &entry : nullptr;
}

void CBrain::CompleteExperience(int index, int32_t outcome) {
  CExperienceEntry* entry = EntryOf(index);
  if (!entry || outcome < 0 || outcome >= entry->classCount) return;
  entry->state = kExperienceComplete;
  entry->outcome = outcome;
}

void CBrain::ClearExperience(int index) {
  if (CExperienceEntry* entry = EntryOf(index)) *entry = CExperienceEntry{};
}

void CBrain::DropOpenExperience() {
  for (CExperienceEntry& entry : entries_)
    if (entry.state == kExperienceOpen) entry = CExperienceEntry{};
}

int CBrain::FlushExperience() {
  bool anyComplete = false;
  for (const CExperienceEntry& entry : entries_) anyComplete = anyComplete || entry.state == kExperienceComplete;
  if (!anyComplete) return 0;
  if (!learning_) {
    for (CExperienceEntry& entry : entries_)
      if (entry.state == kExperienceComplete) entry = CExperienceEntry{};
    return 0;
  }
  platform::MakeDirectory(kBrainFolder);
  const int64_t oldSize = platform::FileSize(kExperienceFileName);
  FILE* file = platform::OpenFile(kExperienceFileName, "ab");
  if (!file) return -1;
  bool written = true;
  int number = 0;
  for (const CExperienceEntry& entry : entries_)
    if (written && entry.state == kExperienceComplete) written = WriteRecord(file, entry, number++);
  written = written && platform::SyncStream(file);
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    UndoAppend(oldSize);
    return written ? -3 : -2;
  }
  // Only records on the disk free their entries.
  for (CExperienceEntry& entry : entries_)
    if (entry.state == kExperienceComplete) entry = CExperienceEntry{};
  return 0;
}

int CBrain::RewriteExperienceFile(const BrainProgress& progress) {
  if (progress) progress();
  ExperienceContents contents;
  if (int read = ReadExperienceFile(kExperienceFileName, contents); read != 0) return read;
  const size_t count = contents.records.size();
  if (count <= static_cast<size_t>(kExperienceFileRecords) && !contents.torn) return 0;
  bytes::Writer out;
  const size_t first = count > static_cast<size_t>(kExperienceFileRecords) ? count - kExperienceFileRecords : 0;
  for (size_t i = first; i < count; ++i) {
    const ExperienceRecord& record = contents.records[i];
    WriteExperienceRecord(out, record.key, record.inputs, record.classCount, record.outcome);
  }
  // The newest records go to the temporary file, which replaces the experience file only
  // once it is whole on the disk.
  platform::MakeWritable(kExperienceTempFileName);
  platform::RemoveFile(kExperienceTempFileName);
  platform::ReplacementFile file;
  if (!file.Open(kExperienceFileName, kExperienceTempFileName)) return -4;
  if (!bytes::WriteBlock(file.Stream(), out.Data().data(), out.Size())) return -4;
  return file.Commit() ? 0 : -4;
}
