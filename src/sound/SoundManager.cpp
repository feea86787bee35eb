#include "sound/SoundManager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/DataPath.h"
#include "platform/AudioOutput.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "sound/WaveFile.h"

CSoundManager* g_soundManager = nullptr;
CRandom g_soundRandom;

// The global sound manager; its constructor publishes it in g_soundManager.
CSoundManager g_theSoundManager;

namespace {

constexpr size_t kSectionBufferSize = 16384;
// What the section read answers when the section did not fit.
constexpr size_t kSectionOverflow = kSectionBufferSize - 2;
constexpr uint32_t kRingBudgetBytes = 1048576;
constexpr uint32_t kBytesPerRecord = 46080;

// The lines of a section, or nothing with overflow set when it did not fit.
std::vector<std::string> ReadSectionLines(const std::string& path, const std::string& section, bool& overflow) {
  std::vector<char> buffer(kSectionBufferSize);
  size_t got = platform::ReadProfileSection(section, buffer.data(), buffer.size(), path);
  overflow = got == kSectionOverflow;
  std::vector<std::string> lines;
  if (overflow) return lines;
  for (size_t at = 0; at < got && buffer[at] != '\0';) {
    lines.emplace_back(buffer.data() + at);
    at += lines.back().size() + 1;
  }
  return lines;
}

bool IsComment(const std::string& line) { return !line.empty() && line[0] == ';'; }

// The id text of a line: before the first '=', or the whole line when keysOnly. Empty when
// the line has no '=' and one is needed.
bool IdText(const std::string& line, bool keysOnly, std::string& text) {
  if (keysOnly) {
    text = line;
  } else {
    size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    text = line.substr(0, eq);
  }
  return !text.empty() && text.size() <= 6;
}

// The ids of a section's lines (positive ones, each once, sorted). False when a line's id
// text is not 1 to 6 characters long.
bool ParseIdLines(const std::vector<std::string>& lines, bool keysOnly, std::vector<int32_t>& ids) {
  ids.clear();
  for (const std::string& line : lines) {
    if (IsComment(line)) continue;
    std::string text;
    if (!IdText(line, keysOnly, text)) return false;
    int32_t id = platform::TextToInt(text);
    if (id > 0 && std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
  }
  if (!ids.empty()) std::qsort(ids.data(), ids.size(), sizeof(int32_t), CompareSoundIds);
  return true;
}

int SearchIds(const std::vector<int32_t>& ids, int32_t id) {
  auto found = std::lower_bound(ids.begin(), ids.end(), id);
  return found != ids.end() && *found == id ? static_cast<int>(found - ids.begin()) : -1;
}

void FreeChain(CSoundInstance* first) {
  while (first) {
    CSoundInstance* next = first->firstCopy;
    first->firstCopy = nullptr;
    delete first;
    first = next;
  }
}

}  // namespace

int CompareSoundIds(const void* a, const void* b) {
  int32_t x = *static_cast<const int32_t*>(a);
  int32_t y = *static_cast<const int32_t*>(b);
  return x < y ? -1 : (x > y ? 1 : 0);
}

std::string CutSoundName(const std::string& value) {
  size_t semicolon = value.find(';');
  if (semicolon == std::string::npos) return value;
  size_t quote = value.rfind('\'', semicolon);
  if (quote != std::string::npos) return value.substr(0, quote + 1);
  // No quote before the comment: the name is what stands before it.
  std::string name = value.substr(0, semicolon);
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
  return name;
}

void CSoundGroup::Parse(const char* text) {
  members.clear();
  const char* at = text ? text : "";
  while (*at) {
    const char* comma = std::strchr(at, ',');
    std::string token = comma ? std::string(at, comma) : std::string(at);
    int32_t member = platform::TextToInt(token);
    if (member > 0) members.push_back(member);
    if (!comma) break;
    at = comma + 1;
  }
}

// --- CSoundInstance ------------------------------------------------------------------------

bool CSoundInstance::BufferBusy() const {
  platform::SoundBuffer::Status status;
  return buffer->GetStatus(status) != platform::kAudioOk || status.playing;
}

bool CSoundInstance::AnyCopyPlaying() const {
  for (const CSoundInstance* copy = firstCopy; copy; copy = copy->firstCopy)
    if (copy->buffer && copy->BufferBusy()) return true;
  return false;
}

int CSoundInstance::IsPlaying(int followCopies) const {
  if (!buffer) return 0;
  if (BufferBusy()) return 1;
  return followCopies && AnyCopyPlaying() ? 1 : 0;
}

int32_t CSoundInstance::Stop(int followCopies) {
  if (!SoundIsLive()) return 0;
  int32_t first = 0;
  for (CSoundInstance* record = this; record; record = followCopies ? record->firstCopy : nullptr) {
    if (!record->buffer || !record->BufferBusy()) continue;
    int32_t result = record->buffer->Stop();
    if (result == 0) result = record->buffer->SetPosition(0);
    if (first == 0) first = result;
  }
  return first;
}

int32_t CSoundInstance::SetVolume(int32_t newVolume, int followCopies) {
  volume = newVolume;
  if (!SoundIsLive()) return 0;
  int32_t first = 0;
  for (CSoundInstance* record = this; record; record = followCopies ? record->firstCopy : nullptr) {
    if (!record->buffer) continue;
    int32_t result = record->buffer->SetVolume(newVolume);
    if (first == 0) first = result;
  }
  return first;
}

int32_t CSoundInstance::SetPan(int32_t pan, int followCopies) {
  if (!SoundIsLive()) return 0;
  int32_t first = 0;
  for (CSoundInstance* record = this; record; record = followCopies ? record->firstCopy : nullptr) {
    if (!record->buffer) continue;
    int32_t result = record->buffer->SetPan(pan);
    if (first == 0) first = result;
  }
  return first;
}

int32_t CSoundInstance::PlayDuplicate(int32_t newVolume, int32_t pan, int loop, CSoundInstance** copy) {
  if (!buffer) return platform::kAudioInvalidCall;
  std::unique_ptr<platform::SoundBuffer> duplicate;
  int32_t result = platform::TheMixer().DuplicateBuffer(*buffer, duplicate);
  if (result != platform::kAudioOk) return result;
  CSoundInstance* record = new CSoundInstance;
  record->buffer = std::move(duplicate);
  result = record->buffer->SetVolume(newVolume);
  if (result == 0) result = record->buffer->SetPan(pan);
  if (result == 0) result = record->buffer->Play(loop != 0);
  record->id = id;
  record->size = size;
  record->kind = kind;
  record->volume = newVolume;
  CSoundInstance** end = &firstCopy;
  while (*end) end = &(*end)->firstCopy;
  *end = record;
  volume = newVolume;
  if (copy) *copy = record;
  return result;
}

void CSoundInstance::ReleaseBuffers() {
  FreeChain(firstCopy);
  firstCopy = nullptr;
  buffer.reset();
  id = -1;
  size = 0;
  kind = kSoundFree;
  volume = 0;
}

namespace {

// Told once per file: a sound that is played often must not bury the player in boxes.
void ReportSoundFileOnce(const std::string& path) {
  const bool first = g_soundManager == nullptr || g_soundManager->reportedFiles.insert(path).second;
  if (first)
    platform::ShowMessageBox(path, "Sound Manager Load Error !", platform::kBoxTopMost | platform::kBoxIconWarning);
}

// Whether a sound's path (the folder, '\', the name from the sound file, ".wav") stays in the
// sound folder: a name that climbs out of it, or starts at a root or drive, names no sound.
bool StaysInSoundFolder(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() + 1 && IsInsideDataFolder(std::string_view(path).substr(folder.size() + 1));
}

}  // namespace

int32_t CSoundInstance::LoadWave(const char* path, int32_t soundId, int32_t soundKind) {
  ReleaseBuffers();
  auto report = [path] { ReportSoundFileOnce(path); };
  CWaveFile wave;
  if (!wave.Open(path)) {
    report();
    return kSoundFail;
  }
  uint32_t dataSize = wave.GetDataSize();
  WaveFormat format;
  wave.ReadFormat(&format);
  std::unique_ptr<platform::SoundBuffer> created;
  int32_t result = platform::TheMixer().CreateBuffer(ToPcmFormat(format), dataSize, created);
  if (result != platform::kAudioOk) {
    // A file whose samples cannot be played (an unknown format, no samples) is reported as
    // one that cannot be read, never left silent without a word.
    report();
    return result;
  }
  std::span<uint8_t> bytes = created->Lock();
  uint8_t* target = bytes.data();
  uint32_t read = wave.ReadData(&target, static_cast<uint32_t>(bytes.size()));
  buffer = std::move(created);
  size = read;
  id = soundId;
  kind = soundKind;
  return 0;
}

// --- CSoundManager -------------------------------------------------------------------------

CSoundManager::CSoundManager() {
  silent = new CSoundInstance;
  g_soundManager = this;
}

CSoundManager::~CSoundManager() {
  delete silent;
  silent = nullptr;
  Shutdown();
  if (g_soundManager == this) g_soundManager = nullptr;
}

int CSoundManager::FindSound(int32_t soundId) const { return SearchIds(soundIds, soundId); }

int CSoundManager::FindGroup(int32_t soundId) const { return SearchIds(groupIds, soundId); }

int32_t CSoundManager::LoadKindOf(int32_t soundId) const {
  int index = FindSound(soundId);
  return index < 0 ? -1 : loadKinds[static_cast<size_t>(index)];
}

const CSoundGroup* CSoundManager::GroupOf(int32_t soundId) const {
  int index = FindGroup(soundId);
  return index < 0 ? nullptr : &groups[static_cast<size_t>(index)];
}

std::vector<CSoundInstance*> CSoundManager::RingRecords() const {
  std::vector<CSoundInstance*> records;
  if (!ringHead) return records;
  CSoundInstance* record = ringHead;
  do {
    records.push_back(record);
    record = record->next;
  } while (record != ringHead);
  return records;
}

int32_t CSoundManager::ReadTables() {
  bool overflow = false;
  std::vector<std::string> lines = ReadSectionLines(soundFilePath, "Sounds", overflow);
  if (overflow || lines.empty()) return kSoundFail;
  if (!ParseIdLines(lines, false, soundIds) || soundIds.empty()) return kSoundFail;
  loadKinds.assign(soundIds.size(), kSoundOrdinary);

  lines = ReadSectionLines(soundFilePath, "Randomised", overflow);
  if (overflow) return kSoundFail;
  if (!ParseIdLines(lines, false, groupIds)) return kSoundFail;
  groups.assign(groupIds.size(), CSoundGroup());
  for (size_t i = 0; i < groupIds.size(); ++i) {
    char value[256];
    platform::ReadProfileString("Randomised", std::to_string(groupIds[i]), "", value, sizeof value, soundFilePath);
    groups[i].Parse(value);
  }
  return 0;
}

void CSoundManager::FreeTables() {
  soundIds.clear();
  loadKinds.clear();
  groupIds.clear();
  groups.clear();
}

int32_t CSoundManager::Init(void* mainWindow, void* instance, const char* soundFolder) {
  Shutdown();  // a second start begins afresh
  window = mainWindow;
  applicationInstance = instance;
  folder = soundFolder ? soundFolder : "";
  soundFilePath = folder + "\\Sounds.ini";
  reportedFiles.clear();
  if (!platform::FileExists(soundFilePath)) return kSoundFail;
  FreeTables();
  if (int32_t result = ReadTables(); result != 0) {
    FreeTables();
    return result;
  }

  g_soundManager = this;
  int32_t result = platform::AcquireAudioOutput();
  if (result != platform::kAudioOk) {
    FreeTables();
    return result;
  }
  enabled = 1;
  savedPrimaryVolume = platform::TheMixer().MasterVolume();
  primaryPlaying = 1;
  return 0;
}

void CSoundManager::FreeRing() {
  if (!ringHead) return;
  CSoundInstance* record = ringHead;
  ringHead->prev->next = nullptr;  // open the circle
  while (record) {
    CSoundInstance* next = record->next;
    delete record;
    record = next;
  }
  ringHead = nullptr;
  ringSize = 0;
}

std::string CSoundManager::SoundPath(int32_t soundId) const {
  std::string name = CutSoundName(platform::ReadProfileString("Sounds", std::to_string(soundId), "", soundFilePath));
  if (name.empty()) return name;
  return folder + "\\" + name + ".wav";
}

int32_t CSoundManager::LoadLevelSounds(int levelNumber) {
  if (!enabled) return 0;
  FreeRing();
  level = levelNumber;
  std::fill(loadKinds.begin(), loadKinds.end(), kSoundOrdinary);
  permanentCount = 0;

  const char* sections[2] = {" Load Permanent", " Load Temporary"};
  for (int pass = 0; pass < 2; ++pass) {
    bool overflow = false;
    std::vector<std::string> lines =
        ReadSectionLines(soundFilePath, std::to_string(levelNumber) + sections[pass], overflow);
    if (overflow) return kSoundFail;
    for (const std::string& line : lines) {
      if (IsComment(line)) continue;
      std::string text;
      if (!IdText(line, true, text)) return kSoundFail;
      int index = FindSound(platform::TextToInt(text));
      if (index < 0) continue;
      loadKinds[static_cast<size_t>(index)] = pass == 0 ? kSoundPermanent : kSoundFree;
      if (pass == 0) ++permanentCount;
    }
  }

  uint64_t bytes = 0;
  for (size_t i = 0; i < soundIds.size(); ++i) {
    if (loadKinds[i] != kSoundPermanent) continue;
    std::string path = SoundPath(soundIds[i]);
    if (path.empty() || !StaysInSoundFolder(path, folder)) continue;
    int64_t fileSize = platform::FileSize(path);
    if (fileSize > 0) bytes += static_cast<uint64_t>(fileSize);
  }
  permanentBytes = static_cast<uint32_t>(std::min<uint64_t>(bytes, UINT32_MAX));

  // Permanent sounds beyond the budget leave no room for others, never a wrapped count.
  uint32_t spare = permanentBytes >= kRingBudgetBytes ? 0 : kRingBudgetBytes - permanentBytes;
  ringSize = static_cast<int32_t>(std::max<uint32_t>(permanentCount + spare / kBytesPerRecord, 1));
  for (int32_t i = 0; i < ringSize; ++i) {
    CSoundInstance* record = new CSoundInstance;
    if (!ringHead) {
      record->prev = record->next = record;
      ringHead = record;
    } else {
      record->prev = ringHead->prev;
      record->next = ringHead;
      ringHead->prev->next = record;
      ringHead->prev = record;
    }
  }

  for (size_t i = 0; i < soundIds.size(); ++i) {
    if (loadKinds[i] != kSoundPermanent) continue;
    if (int32_t result = LoadSound(soundIds[i], nullptr); result != 0) return result;
  }
  return 0;
}

CSoundInstance* CSoundManager::FindLoaded(int32_t soundId) {
  for (CSoundInstance* record : RingRecords()) {
    if (record->id != soundId || !record->buffer) continue;
    platform::SoundBuffer::Status status;
    if (record->buffer->GetStatus(status) != platform::kAudioOk) continue;
    if (status.lost) {
      record->kind = kSoundFree;
      continue;
    }
    return record;
  }
  return nullptr;
}

void CSoundManager::MoveToHead(CSoundInstance* record) {
  if (record == ringHead) return;
  record->prev->next = record->next;
  record->next->prev = record->prev;
  record->prev = ringHead->prev;
  record->next = ringHead;
  ringHead->prev->next = record;
  ringHead->prev = record;
  ringHead = record;
}

void CSoundManager::RotateIntoChain(CSoundInstance* record) {
  CSoundInstance* copy = record->firstCopy;
  CSoundInstance* last = copy;
  while (last->firstCopy) last = last->firstCopy;
  last->firstCopy = record;
  record->firstCopy = nullptr;
  if (record->next == record) {
    copy->prev = copy->next = copy;
  } else {
    copy->prev = record->prev;
    copy->next = record->next;
    record->prev->next = copy;
    record->next->prev = copy;
  }
  record->prev = record->next = nullptr;
  if (ringHead == record) ringHead = copy;
}

int32_t CSoundManager::Play(int32_t soundId, int32_t playVolume, int32_t pan, CSoundInstance** out, int loop) {
  if (!IsLive()) {
    if (out) *out = silent;
    return 0;
  }
  if (const CSoundGroup* group = GroupOf(soundId)) {
    // An empty group has no member to play: it falls to the stand-in sound like an unknown id.
    size_t count = group->members.size();
    soundId = count == 0 ? 0 : group->members[(g_soundRandom.Next() & 0x7FFFFFFF) % count];
  }
  if (FindSound(soundId) < 0) soundId = kFallbackSoundId;

  CSoundInstance* record = FindLoaded(soundId);
  if (!record) {
    if (int32_t result = LoadSoundFile(soundId, &record); result != 0) return result;
    if (!record) record = FindLoaded(soundId);
    if (!record) return kSoundFail;
  }

  int32_t result;
  CSoundInstance* playing = record;
  if (record->BufferBusy()) {
    CSoundInstance* copy = nullptr;
    result = record->PlayDuplicate(playVolume, pan, loop, &copy);
    if (copy) playing = copy;
  } else {
    result = record->SetVolume(playVolume, 0);
    if (result == 0) result = record->SetPan(pan, 0);
    if (result == 0) result = record->buffer->Play(loop != 0);
    if (result == 0 && record->firstCopy) {
      // Keep the copy started longest ago in the ring, where the next play looks first.
      CSoundInstance* ringRecord = record->firstCopy;
      RotateIntoChain(record);
      MoveToHead(ringRecord);
      if (out) *out = playing;
      return result;
    }
  }
  MoveToHead(record);
  if (out) *out = playing;
  return result;
}

int32_t CSoundManager::LoadSound(int32_t soundId, CSoundInstance** out) {
  if (!IsLive()) {
    if (out) *out = silent;
    return 0;
  }
  if (const CSoundGroup* group = GroupOf(soundId)) {
    // Members load as sounds: a group listed among its own members cannot recurse.
    for (int32_t member : group->members)
      if (LoadSoundFile(member, nullptr) != 0) return kSoundFail;
    return 0;
  }
  return LoadSoundFile(soundId, out);
}

CSoundInstance* CSoundManager::ChooseRecordToReuse() {
  std::vector<CSoundInstance*> ring = RingRecords();
  int64_t others = static_cast<int64_t>(ringSize) - static_cast<int64_t>(permanentCount);
  const int64_t step = 240000 / std::max<int64_t>(others, 1);
  CSoundInstance* best = nullptr;
  int64_t bestScore = 999999;
  int64_t k = 1;
  // From the least recently used (the record before the head) back round to the head.
  for (size_t i = ring.size(); i-- > 0; ++k) {
    CSoundInstance* record = ring[i];
    if (record->kind == kSoundPermanent) continue;
    if (record->buffer && (record->BufferBusy() || record->AnyCopyPlaying())) continue;
    if (record->kind == kSoundFree) return record;
    int64_t score = static_cast<int64_t>(record->size) + step * k + (5000 - static_cast<int64_t>(record->volume)) * 18;
    if (score < bestScore) {
      bestScore = score;
      best = record;
    }
  }
  return best;
}

int32_t CSoundManager::LoadSoundFile(int32_t soundId, CSoundInstance** out) {
  int index = FindSound(soundId);
  if (index < 0) return kSoundFail;
  if (FindLoaded(soundId)) return 0;
  CSoundInstance* record = ChooseRecordToReuse();
  std::string path = SoundPath(soundId);
  if (!record || path.empty()) return kSoundFail;
  if (!StaysInSoundFolder(path, folder)) {
    ReportSoundFileOnce(path);
    return kSoundFail;
  }
  if (int32_t result = record->LoadWave(path.c_str(), soundId, loadKinds[static_cast<size_t>(index)]); result != 0)
    return result;
  MoveToHead(record);
  if (out) *out = record;
  return 0;
}

int32_t CSoundManager::GetVolume(int32_t* value) {
  if (!IsLive()) return 0;
  if (value) *value = platform::TheMixer().MasterVolume();
  return 0;
}

int32_t CSoundManager::SetVolume(int32_t value) {
  if (!IsLive()) return 0;
  return platform::TheMixer().SetMasterVolume(value);
}

int32_t CSoundManager::Shutdown() {
  if (!enabled) return 0;
  platform::TheMixer().SetMasterVolume(savedPrimaryVolume);
  if (primaryPlaying) {
    for (CSoundInstance* record : RingRecords()) record->Stop(1);
    primaryPlaying = 0;
  }
  FreeRing();
  if (g_soundManager == this) g_soundManager = nullptr;
  platform::ReleaseAudioOutput();
  FreeTables();
  enabled = 0;
  return 0;
}

const char* DirectSoundErrorText(int32_t code) {
  switch (static_cast<uint32_t>(code)) {
    case 0:
      return "False error condition: check code !";
    case 0x80004001:
      return "The function called is not supported at this time.";
    case 0x80004005:
      return "An undetermined error occurred inside\nthe DirectSound subsystem.";
    case 0x80040110:
      return "The object does not support aggregation.";
    case 0x8007000E:
      return "The DirectSound subsystem could not allocate\nsufficient memory to complete the caller's\nrequest.";
    case 0x80070057:
      return "An invalid parameter was passed to\nthe returning function.";
    case 0x8878000A:
      return "The request failed because resources, such\nas a priority level, were already in use\nby another caller.";
    case 0x8878001E:
      return "The control (volume, pan, and so forth) requested\nby the caller is not available.";
    case 0x88780032:
      return "This function is not valid for the\ncurrent state of this object.";
    case 0x88780046:
      return "The caller does not have the priority level\nrequired for the function to succeed.";
    case 0x88780064:
      return "The specified wave format is not supported.";
    case 0x88780078:
      return "No sound driver is available for use.";
    case 0x88780082:
      return "The object is already initialized.";
    case 0x88780096:
      return "The buffer memory has been lost and must be restored.";
    case 0x887800A0:
      return "This value is obsolete and is not used.";
    case 0x887800AA:
      return "The IDirectSound::Initialize method has not been\ncalled or has not been called successfully\nbefore "
             "other methods were called.";
    default:
      return "Undefined Error !";
  }
}
