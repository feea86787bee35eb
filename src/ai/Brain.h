#pragma once
// The computer player's learning store, g_brain: for every kind of decision (a key, the
// decision's type number) a small classifier that turns a situation, a vector of whole-number
// measures, into the chances of its outcome classes (bad, middle, good). Battles fill its
// experience buffer; the completed entries go to the experience file, and between battles the
// classifiers are rebuilt from that file and kept in the brain file.
//
// Files, in the folder "AI" under the current directory (made when missing; names are matched
// without regard to case), all numbers 4-byte little-endian:
//   AI/BRAIN.DAT     per key in ascending order: key, input count n, class count k, then k
//                    class blocks: prior, bin count (= n), per bin low, width and ten scores,
//                    the out-of-range score, the n x n matrix row by row
//   AI/EXPERIEN.DAT  records, oldest first: key, n, n inputs, class count, outcome
//   AI/TMPEXP.DAT    the experience file being cut to its newest records
// Every write keeps the old file until the new one is whole on the disk. Every read checks its
// counts before it trusts them: a damaged brain file loads as an empty table, and a damaged
// experience file ends where its records stop making sense.
//
// The float work runs in single precision in a fixed order and is never contracted, so that
// every machine builds and reads the same table.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

inline constexpr const char* kBrainFolder = "AI";
inline constexpr const char* kBrainFileName = "AI/BRAIN.DAT";
inline constexpr const char* kExperienceFileName = "AI/EXPERIEN.DAT";
inline constexpr const char* kExperienceTempFileName = "AI/TMPEXP.DAT";

inline constexpr int kBrainBins = 10;                // scores per input range
inline constexpr int kMaxBrainInputs = 256;          // the longest situation vector kept
inline constexpr int kMaxBrainClasses = 16;          // the most outcome classes of a key
inline constexpr int kOutcomeClasses = 3;            // what every decision asks for
inline constexpr int kExperienceEntries = 100;       // the buffer's entries
inline constexpr int kExperienceFileRecords = 2500;  // the newest records kept

// One input's range and the normal score of each tenth of it.
struct CBrainBin {
  float low = -0.5f;
  float width = 0.1f;
  float scores[kBrainBins] = {};
};

// One outcome class of a key.
struct CBrainClass {
  float prior = 0.0f;
  std::vector<CBrainBin> bins;
  float outOfRangeScore = 1.0f;
  std::vector<std::vector<float>> matrix;  // rows of input-count floats
};

// The classifier of one key: classCount classes of inputCount bins and an inputCount-square
// matrix each.
struct CBrainNode {
  CBrainNode() = default;
  CBrainNode(int inputs, int classes);
  int32_t inputCount = 0;
  int32_t classCount = 0;
  std::vector<CBrainClass> classes;
};

using BrainTable = std::map<int32_t, CBrainNode>;

// One entry of the experience buffer.
struct CExperienceEntry {
  uint8_t state = 0;  // kExperienceFree, kExperienceOpen, kExperienceComplete
  int32_t key = 0;
  std::vector<int32_t> inputs;
  int32_t classCount = 0;
  int32_t outcome = 0;
  int32_t handle = 0;  // the index its taker holds; 0 while free
};
inline constexpr uint8_t kExperienceFree = 0;
inline constexpr uint8_t kExperienceOpen = 1;
inline constexpr uint8_t kExperienceComplete = 2;

// Called once per step of the work between battles (a progress bar's step).
using BrainProgress = std::function<void()>;

class CBrain {
 public:
  CBrain();

  // --- the table and its files (BrainFiles.cpp) ---
  // Writes the table to the brain file: 0, -1 when it cannot be made, -2 when a write fails,
  // -3 when it cannot be put in place. The old file stays on every failure.
  int Save();
  // The same to any file (the battle recording keeps the table in use this way).
  int SaveAs(const std::string& path);
  // Reads a table written by Save into a new table, which replaces the one in use on success:
  // 0; -1 when the file cannot be opened, -2 when it is cut short or malformed (the table is
  // then empty, and the caller rebuilds it from experience or starts without).
  int Load(const std::string& path);
  void DeleteBrainFile();
  void DeleteExperienceFile();
  // Whether there is experience that the brain file does not hold yet: an experience file
  // that exists and is newer than the brain file (or has no brain file beside it).
  bool ExperienceFileExists() const;
  // A hash of the table, equal on machines that hold equal tables.
  uint64_t Digest() const;

  // --- the experience buffer (ExperienceBuffer.cpp) ---
  // Takes an entry for a decision being carried out and answers the index to complete or
  // clear it with, or -1 (the buffer could not be flushed, or the inputs are too long). When
  // every entry is open, entry 0 is taken over; its old index then changes nothing.
  int AddExperience(int32_t key, const std::vector<int32_t>& inputs);
  // Both ignore -1, indexes out of range and indexes of an entry since flushed, cleared or
  // taken over. An outcome outside the entry's classes is refused.
  void CompleteExperience(int index, int32_t outcome);
  void ClearExperience(int index);
  // Appends the complete entries to the experience file and frees them: 0 (also when none is
  // complete: the file is not touched), -1 when the file cannot be opened, -2 when a write
  // fails, -3 when it cannot be closed. On a failure the file is cut back to what it held and
  // the entries stay complete.
  int FlushExperience();
  // A new battle starts: the entries still open belong to decisions that are gone.
  void DropOpenExperience();
  // Cuts the experience file to its newest 2500 records (and drops a torn last record): 0 when
  // done or nothing was to be cut, -1 when it cannot be opened, -2 when reading fails, -4
  // when the shorter file cannot be put in place (the old one stays).
  int RewriteExperienceFile(const BrainProgress& progress = {});

  // --- evaluation (BrainEvaluate.cpp) ---
  // The chance of each of n outcome classes for a decision taken in this situation. A key met
  // for the first time gets a fresh node (1/n each); inputs of another length than the key's
  // node, or another n, also get 1/n each and change nothing.
  void Evaluate(int32_t key, const std::vector<int32_t>& inputs, int n, float* probabilities);

  // --- processing (ExperienceProcessing.cpp) ---
  // Rebuilds the table from the experience file: 0; -1 when there is no experience file (the
  // table is untouched), -2 when reading it fails, -5 when a matrix cannot be inverted. On a
  // failure the table is empty.
  int ProcessExperience(const BrainProgress& progress = {});

  // Whether experience is written at all. A battle played back, or played over the network,
  // runs on a table fixed when it starts: its experience is let go and no file is touched.
  void SetLearning(bool learning) { learning_ = learning; }
  bool Learning() const { return learning_; }

  // The table and the buffer as they stand (tests, the fuzz targets, the benches).
  BrainTable& Table() { return table_; }
  const BrainTable& Table() const { return table_; }
  const CExperienceEntry& Entry(int slot) const { return entries_[slot]; }
  // Empties the table and frees every entry.
  void Reset();

 private:
  int TakeEntry(int slot, int32_t key, const std::vector<int32_t>& inputs);
  CExperienceEntry* EntryOf(int index);

  BrainTable table_;
  CExperienceEntry entries_[kExperienceEntries];
  uint32_t generation_ = 0;
  bool learning_ = true;
};

extern CBrain g_brain;

// Tests only: while set, a flush fails the write of each record whose number (counted from 0
// within the flush) the function answers true for, after writing half of it.
using ExperienceWriteFault = bool (*)(int record);
void SetExperienceWriteFaultForTesting(ExperienceWriteFault fault);

// Phi^-1(p) of the standard normal distribution, -5 below 0.000001 and 5 above 0.999999.
float InverseNormal(float p);
// Replaces a square matrix by its inverse: 0; -2 when it has no rows, -1 when a pivot is not
// above 0 (the matrix is left part-way).
int InvertMatrix(std::vector<std::vector<float>>& matrix);
