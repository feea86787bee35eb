// The learning store's table and its brain file: the bytes of a table, their checked reader,
// saving, loading, and the questions about the files.
#include <cmath>

#include "ai/Brain.h"
#include "ai/BrainTableBytes.h"
#include "core/Bytes.h"
#include "platform/Files.h"

CBrain g_brain;

CBrainNode::CBrainNode(int inputs, int classes) : inputCount(inputs), classCount(classes) {
  CBrainClass fresh;
  fresh.bins.resize(static_cast<size_t>(inputs));
  fresh.matrix.assign(static_cast<size_t>(inputs), std::vector<float>(static_cast<size_t>(inputs), 0.0f));
  this->classes.assign(static_cast<size_t>(classes), fresh);
}

CBrain::CBrain() = default;

void CBrain::Reset() {
  table_.clear();
  for (CExperienceEntry& entry : entries_) entry = CExperienceEntry{};
}

// --- the bytes of a table -------------------------------------------------------------------

namespace {

void WriteClass(bytes::Writer& out, const CBrainClass& brainClass) {
  out.F32(brainClass.prior);
  out.I32(static_cast<int32_t>(brainClass.bins.size()));
  for (const CBrainBin& bin : brainClass.bins) {
    out.F32(bin.low);
    out.F32(bin.width);
    for (float score : bin.scores) out.F32(score);
  }
  out.F32(brainClass.outOfRangeScore);
  for (const std::vector<float>& row : brainClass.matrix)
    for (float value : row) out.F32(value);
}

// Reads one float that must be finite.
bool ReadFinite(bytes::Reader& in, float& value) {
  value = in.F32();
  return in.Ok() && std::isfinite(value);
}

bool ReadBin(bytes::Reader& in, CBrainBin& bin) {
  if (!ReadFinite(in, bin.low) || !ReadFinite(in, bin.width) || !(bin.width > 0.0f)) return false;
  for (float& score : bin.scores)
    if (!ReadFinite(in, score)) return false;
  return true;
}

bool ReadClass(bytes::Reader& in, int inputs, CBrainClass& brainClass) {
  if (!ReadFinite(in, brainClass.prior)) return false;
  if (in.I32() != inputs || !in.Ok()) return false;
  for (CBrainBin& bin : brainClass.bins)
    if (!ReadBin(in, bin)) return false;
  if (!ReadFinite(in, brainClass.outOfRangeScore)) return false;
  for (std::vector<float>& row : brainClass.matrix)
    for (float& value : row)
      if (!ReadFinite(in, value)) return false;
  return true;
}

}  // namespace

size_t BrainClassBytes(int inputs) {
  const size_t n = static_cast<size_t>(inputs);
  return 12 + 48 * n + 4 * n * n;
}

std::vector<uint8_t> BrainTableBytes(const BrainTable& table) {
  bytes::Writer out;
  for (const auto& [key, node] : table) {
    out.I32(key);
    out.I32(node.inputCount);
    out.I32(node.classCount);
    for (const CBrainClass& brainClass : node.classes) WriteClass(out, brainClass);
  }
  return std::move(out.Data());
}

bool ParseBrainTable(const uint8_t* data, size_t size, BrainTable& table) {
  table.clear();
  bytes::Reader in(data, size);
  while (in.Remaining() > 0) {
    const int32_t key = in.I32();
    const int32_t inputs = in.I32();
    const int32_t classes = in.I32();
    if (!in.Ok() || inputs < 0 || inputs > kMaxBrainInputs || classes < 1 || classes > kMaxBrainClasses) return false;
    // Nothing is made for a block the file cannot hold.
    if (!in.Has(static_cast<size_t>(classes) * BrainClassBytes(inputs))) return false;
    CBrainNode node(inputs, classes);
    for (CBrainClass& brainClass : node.classes)
      if (!ReadClass(in, inputs, brainClass)) return false;
    table[key] = std::move(node);  // a key met again takes its later block
  }
  return true;
}

// --- the brain file ------------------------------------------------------------------------

int CBrain::Save() {
  platform::MakeDirectory(kBrainFolder);
  return SaveAs(kBrainFileName);
}

int CBrain::SaveAs(const std::string& path) {
  const std::vector<uint8_t> data = BrainTableBytes(table_);
  platform::ReplacementFile file;
  if (!file.Open(path)) return -1;
  if (!bytes::WriteBlock(file.Stream(), data.data(), data.size())) return -2;
  return file.Commit() ? 0 : -3;
}

int CBrain::Load(const std::string& path) {
  table_.clear();
  if (!platform::FileExists(path)) return -1;
  std::vector<uint8_t> data;
  if (!platform::ReadWholeFile(path, data)) return -2;
  BrainTable loaded;
  if (!ParseBrainTable(data.data(), data.size(), loaded)) return -2;
  table_.swap(loaded);
  return 0;
}

void CBrain::DeleteBrainFile() { platform::RemoveFile(kBrainFileName); }

void CBrain::DeleteExperienceFile() { platform::RemoveFile(kExperienceFileName); }

bool CBrain::ExperienceFileExists() const {
  const int64_t experience = platform::FileWriteTime(kExperienceFileName);
  if (experience < 0) return false;
  const int64_t brain = platform::FileWriteTime(kBrainFileName);
  return brain < 0 || experience > brain;
}

uint64_t CBrain::Digest() const {
  // FNV-1a over the table's bytes.
  uint64_t hash = 14695981039346656037ull;
  for (uint8_t byte : BrainTableBytes(table_)) {
    hash ^= byte;
    hash *= 1099511628211ull;
  }
  return hash;
}
