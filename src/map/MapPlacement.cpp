#include "map/MapPlacement.h"

#include <algorithm>

#include "core/Bytes.h"
#include "core/Options.h"
#include "map/MapFiles.h"

namespace {

bool SameFirstWords(const int32_t* a, const int32_t* b, int words) { return std::equal(a, a + words, b); }

// The placement log of this program run; the first list starts the file anew.
void LogPlacementList(const char* path, const CMapPlacement& list) {
  static bool started = false;
  std::string text;
  if (!started) text += "Map Placement log\n------------------\n\n\n";
  text += Format("** New Section List (%s)**\n", path);
  text += Format("Number Elements in list %i\n", list.Count());
  static const char* const kNames[] = {"Undefined\n",          "Friendly Wizard\n", "Enemy Wizard\n",
                                       "Multiplayer Wizard\n", "Creature\n",        "Artifact\n"};
  for (const auto& item : list.items) {
    int32_t category = item[3];
    text += category >= 0 && category <= 5 ? std::string(kNames[category]) : Format("Invalid %i,", category);
  }
  AppendMapLog("mapplace.plc", text, !started);
  started = true;
}

}  // namespace

template <int Words>
typename CItemList<Words>::FileResult CItemList<Words>::LoadFile(const char* path) {
  std::vector<uint8_t> data;
  if (!ReadMapDataFile(path, data)) return FileResult::kNotOpened;
  if (data.size() < static_cast<size_t>(kHeaderBytes)) return FileResult::kShort;
  bytes::Reader in(data);
  int32_t fileHeader[4];
  for (int32_t& word : fileHeader) word = in.I32();
  if (fileHeader[2] != kFileVersion) return FileResult::kBadVersion;
  int64_t count = fileHeader[3];
  if (count < 0 || static_cast<int64_t>(data.size()) != kHeaderBytes + count * kItemBytes) return FileResult::kBadSize;
  std::vector<Item> read(static_cast<size_t>(count));
  for (Item& item : read)
    for (int32_t& word : item) word = in.I32();
  std::copy(fileHeader, fileHeader + 4, header);
  items = std::move(read);
  return FileResult::kLoaded;
}

template <int Words>
int CItemList<Words>::Write(FILE* file) const {
  bytes::Writer out;
  for (int32_t word : header) out.I32(word);
  out.I32(Count());
  for (const Item& item : items)
    for (int32_t word : item) out.I32(word);
  if (!bytes::WriteBlock(file, out.Data().data(), out.Size())) return -1;
  return static_cast<int>(out.Size());
}

template <int Words>
int CItemList<Words>::Read(FILE* file) {
  uint8_t head[kHeaderBytes + 4];
  if (!bytes::ReadBlock(file, head, sizeof head)) return -1;
  bytes::Reader in(head, sizeof head);
  int32_t readHeader[4];
  for (int32_t& word : readHeader) word = in.I32();
  int32_t count = in.I32();
  // Items are read one at a time, so a count larger than the file fails at its end
  // instead of reserving memory for it.
  std::vector<Item> read;
  uint8_t record[kItemBytes];
  for (int32_t i = 0; i < count; ++i) {
    if (!bytes::ReadBlock(file, record, sizeof record)) return -1;
    bytes::Reader fields(record, sizeof record);
    Item item;
    for (int32_t& word : item) word = fields.I32();
    read.push_back(item);
  }
  std::copy(readHeader, readHeader + 4, header);
  items = std::move(read);
  return kHeaderBytes + 4 + Count() * kItemBytes;
}

template class CItemList<10>;
template class CItemList<18>;

int CMapPlacement::Load(const char* path) {
  if (!path || !*path) return 0;
  FileResult result = LoadFile(path);
  if (result != FileResult::kLoaded) {
    if (result == FileResult::kBadVersion) ShowMapWarning("Old map placement data file format !", "Version Error");
    ShowMapWarning("Problem reading map placement data file.", "File Error");
    return 0;
  }
  if (g_spoolMapGenInfo) LogPlacementList(path, *this);
  return 1;
}

void CMapPlacement::AddItem(const Item& item) {
  for (const Item& held : items) {
    if (SameFirstWords(held.data(), item.data(), 4)) {
      ShowMapWarning("Placement item of this category already exists.\n\nDelete the existing item first !",
                     "Add Placement Item");
      return;
    }
  }
  items.push_back(item);
}

int CMapPlacement::RemoveItem(const Item& item) {
  for (auto it = items.begin(); it != items.end(); ++it) {
    if (SameFirstWords(it->data(), item.data(), 4)) {
      items.erase(it);
      return 1;
    }
  }
  ShowMapWarning("Item not found.", "Remove Placement Item");
  return 0;
}

int CEventAreas::Load(const char* path) {
  if (!path || !*path) return 0;
  FileResult result = LoadFile(path);
  if (result == FileResult::kBadVersion) ShowMapWarning("Old event areas (.evt) data file format !", "Version Error");
  return result == FileResult::kLoaded ? 1 : 0;
}

int CEventAreas::AddItem(const Item& item) {
  for (const Item& held : items) {
    if (SameFirstWords(held.data(), item.data(), 3) || SameFirstWords(held.data() + 3, item.data(), 3)) {
      ShowMapWarning("Event area item already exists.\n\nDelete the existing item first !", "Add Event Area Item");
      return Count();
    }
  }
  items.push_back(item);
  return Count();
}
