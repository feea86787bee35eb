#include "battle/NamedList.h"

#include <cstring>
#include <memory>

#include "core/SaveBlock.h"

namespace {
std::unique_ptr<CNamedList> g_namedList;
}  // namespace

CNamedList* GetNamedList() {
  if (!g_namedList) {
    g_namedList = std::make_unique<CNamedList>();
    g_namedList->Init();
  }
  return g_namedList.get();
}

void CNamedList::Init() {
  items_.assign(kGrowth, Entry{});
  count = 0;
  spare = kGrowth;
}

void CNamedList::Add(int32_t value, const char* name, int32_t item) {
  if (spare <= 0) {
    items_.resize(items_.size() + kGrowth);
    spare += kGrowth;
  }
  Entry& entry = items_[static_cast<size_t>(count)];
  entry.value = value;
  std::memset(entry.name, 0, sizeof entry.name);
  if (name) std::strncpy(entry.name, name, sizeof entry.name - 1);
  entry.item = item;
  ++count;
  --spare;
}

const CNamedList::Entry* CNamedList::At(int index) const {
  return index >= 0 && index < count ? &items_[static_cast<size_t>(index)] : nullptr;
}

void CNamedList::Clear() {
  spare += count;
  count = 0;
}

void CNamedList::Free() {
  items_.clear();
  items_.shrink_to_fit();
  count = spare = 0;
}

int CNamedList::SumValues() const {
  int sum = 0;
  for (int i = 0; i < count; ++i) sum += items_[static_cast<size_t>(i)].value;
  return sum;
}

int CNamedList::Save(FILE* file) const {
  bytes::Writer out;
  bytes::WriteCounted(out, count, [this](bytes::Writer& w, int32_t i) {
    const Entry& entry = items_[static_cast<size_t>(i)];
    w.I32(entry.value);
    w.Bytes(entry.name, sizeof entry.name);
    w.I32(entry.item);
  });
  return bytes::WriteSaveBlock(file, out);
}

int CNamedList::Load(FILE* file) {
  uint32_t word = 0;
  if (!bytes::ReadU32(file, word)) return -1;
  const int32_t stored = static_cast<int32_t>(word);
  // A count of 0 or less is an empty list: the count word is all it takes.
  if (stored <= 0) {
    Clear();
    return 4;
  }
  if (stored > kMaxEntries) return -1;
  std::vector<uint8_t> data(static_cast<size_t>(stored) * kEntryBytes);
  if (!bytes::ReadBlock(file, data.data(), data.size())) return -1;
  bytes::Reader in(data);
  std::vector<Entry> read(static_cast<size_t>(stored));
  for (Entry& entry : read) {
    entry.value = in.I32();
    in.Bytes(entry.name, sizeof entry.name);
    entry.item = in.I32();
    if (!std::memchr(entry.name, 0, sizeof entry.name)) return -1;
  }
  Clear();
  for (const Entry& entry : read) Add(entry.value, entry.name, entry.item);
  return 4 + static_cast<int>(data.size());
}
