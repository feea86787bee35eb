#pragma once
// CSoundManager: every sound effect of the game, played by number. Sounds.ini maps each id
// to a WAVE file, gathers ids into groups that play a member at random, and lists per level
// which sounds stay loaded for good. The loaded sounds live in a ring of CSoundInstance
// records kept in most-recently-used order, bounded so that the sounds fit in about 1 MiB;
// a sound played while it is still playing gets a duplicate buffer sharing its data.
//
// Results are those of the sound output (0 success, negative failure); kSoundFail is the
// manager's own failure. While sound is off every call succeeds and does nothing, handing out
// a silent instance, so callers never test for it.

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/Random.h"
#include "platform/AudioMixer.h"

inline constexpr int32_t kSoundFail = platform::kAudioGenericError;
// The sound played for an id that is neither a group nor a sound.
inline constexpr int32_t kFallbackSoundId = 410;

// Load kinds of a sound id, and kinds of a ring record.
enum SoundKind : int32_t {
  kSoundPermanent = 0,  // loaded by the level and never dropped
  kSoundOrdinary = 1,
  kSoundFree = 2,  // temporary sounds, empty records and records whose buffer was lost
};

// A loaded sound, or one playing copy of it. Ring records link to their neighbours; copies
// hang off a record in a chain linked through firstCopy, which the record owns.
class CSoundInstance {
 public:
  CSoundInstance() = default;
  ~CSoundInstance() { ReleaseBuffers(); }
  CSoundInstance(const CSoundInstance&) = delete;
  CSoundInstance& operator=(const CSoundInstance&) = delete;

  // 0 without a buffer; 1 when the buffer's status cannot be read or it plays; with
  // followCopies also 1 when any copy plays.
  int IsPlaying(int followCopies) const;
  // While sound is live, stops a playing buffer (and with followCopies every copy) and
  // rewinds it to 0; answers the first failure.
  int32_t Stop(int followCopies);
  // Stores the volume, then (while sound is live) sets it on the buffer and the copies.
  int32_t SetVolume(int32_t newVolume, int followCopies);
  int32_t SetPan(int32_t pan, int followCopies);
  // Starts a duplicate of this record's buffer at the end of its copy chain and hands it out.
  int32_t PlayDuplicate(int32_t newVolume, int32_t pan, int loop, CSoundInstance** copy);
  // Frees copies and buffer, then reads the WAVE file into a new buffer.
  int32_t LoadWave(const char* path, int32_t soundId, int32_t soundKind);
  // Frees the copy chain and the buffer, leaving an empty record.
  void ReleaseBuffers();

  // The buffer's status cannot be read or it reports playing.
  bool BufferBusy() const;
  bool AnyCopyPlaying() const;

  std::unique_ptr<platform::SoundBuffer> buffer;
  int32_t id = -1;
  uint32_t size = 0;
  int32_t kind = kSoundFree;
  int32_t volume = 0;
  CSoundInstance* prev = nullptr;
  CSoundInstance* next = nullptr;
  CSoundInstance* firstCopy = nullptr;
};

// The members of a group, in file order, duplicates allowed.
class CSoundGroup {
 public:
  // Replaces the members by the positive numbers of a comma-separated text.
  void Parse(const char* text);
  std::vector<int32_t> members;
};

// Ascending comparison of two 32-bit ids, for sorting and searching both id tables.
int CompareSoundIds(const void* a, const void* b);

// The message text for a sound output result.
const char* DirectSoundErrorText(int32_t code);

class CSoundManager {
 public:
  CSoundManager();
  ~CSoundManager();
  CSoundManager(const CSoundManager&) = delete;
  CSoundManager& operator=(const CSoundManager&) = delete;

  // Reads folder\Sounds.ini and starts the sound output. The window and instance are kept.
  int32_t Init(void* window, void* applicationInstance, const char* soundFolder);
  // Rebuilds the ring for a level and loads its permanent sounds.
  int32_t LoadLevelSounds(int levelNumber);
  // Plays a sound (or a random member of a group); id 410 stands in for an unknown id.
  // Volume in hundredths of a decibel (0 full), pan -10000..10000. out, when given,
  // receives the record that plays (the silent instance while sound is off).
  int32_t Play(int32_t soundId, int32_t playVolume, int32_t pan, CSoundInstance** out, int loop);
  // Makes sure a sound, or every member of a group, is loaded.
  int32_t LoadSound(int32_t soundId, CSoundInstance** out);
  // The master effects volume.
  int32_t GetVolume(int32_t* value);
  int32_t SetVolume(int32_t value);
  // Stops and releases everything; does nothing when sound was never enabled. Answers 0.
  int32_t Shutdown();

  bool IsLive() const { return primaryPlaying != 0 && enabled != 0; }
  // The id's load kind, or -1 for an id that is not a sound.
  int32_t LoadKindOf(int32_t soundId) const;
  bool IsGroup(int32_t soundId) const { return FindGroup(soundId) >= 0; }
  const CSoundGroup* GroupOf(int32_t soundId) const;
  // The ring from the head, most recently used first.
  std::vector<CSoundInstance*> RingRecords() const;
  CSoundInstance* SilentInstance() const { return silent; }

  void* window = nullptr;
  void* applicationInstance = nullptr;
  int primaryPlaying = 0;
  int enabled = 0;
  std::string folder;
  std::string soundFilePath;  // folder + "\Sounds.ini"
  int level = 0;
  uint32_t permanentCount = 0;
  uint32_t permanentBytes = 0;
  int32_t ringSize = 0;
  std::vector<int32_t> soundIds;    // ascending
  std::vector<int32_t> groupIds;    // ascending
  std::vector<CSoundGroup> groups;  // parallel to groupIds
  std::vector<int32_t> loadKinds;   // parallel to soundIds
  CSoundInstance* ringHead = nullptr;
  CSoundInstance* silent = nullptr;
  int32_t savedPrimaryVolume = 0;

  // Paths of WAVE files whose failure to load was shown once already.
  std::set<std::string> reportedFiles;

 private:
  int FindSound(int32_t soundId) const;
  int FindGroup(int32_t soundId) const;
  int32_t ReadTables();
  void FreeTables();
  void FreeRing();
  int32_t LoadSoundFile(int32_t soundId, CSoundInstance** out);
  // The first ring record holding the id with a sound that is still there; a record whose
  // buffer was lost is marked free on the way.
  CSoundInstance* FindLoaded(int32_t soundId);
  CSoundInstance* ChooseRecordToReuse();
  // The WAVE file of an id (empty when Sounds.ini names none).
  std::string SoundPath(int32_t soundId) const;
  void MoveToHead(CSoundInstance* record);
  // The record's first copy takes its place in the ring; the record joins the chain's end.
  void RotateIntoChain(CSoundInstance* record);
};

// The one sound manager, set by its constructor; null after Shutdown.
extern CSoundManager* g_soundManager;
// The global object it points to, which start-up starts and shut-down stops.
extern CSoundManager g_theSoundManager;
// The sound subsystem's generator: the choice of a group member (and the positional cues).
extern CRandom g_soundRandom;

// Whether sound is live (the manager exists, is enabled and playing).
inline bool SoundIsLive() { return g_soundManager != nullptr && g_soundManager->IsLive(); }

// A Sounds.ini file name value with a trailing comment cut off.
std::string CutSoundName(const std::string& value);
