#pragma once
// CAnimation: an animation file (.ani) of numbered sequences over one sprite file, each a
// small step program (show a frame, wait, repeat a block, jump, raise an event, end);
// CAnimPlayer runs one sequence tick by tick, forwards or backwards.
//
// File: 4 bytes unread, total size, 4 unread, step layout (5; 3 and 4 are converted; 1
// and 2 are out of date), 4 unread, sequence table length S, the sprite file name (20
// bytes), S int32 first-step indexes (the last is the number of steps), then the steps.
// Layout 5 steps are eleven int32: kind, value, x, y, an 8-byte text, five further ints.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "graphics/Sprite.h"

enum AnimStepKind : int32_t {
  kStepFrame = 0,
  kStepDelay = 1,
  kStepLoopCount = 2,
  kStepLoopBack = 3,
  kStepJump = 4,
  kStepEvent = 5,
  kStepEnd = 6,
};

struct AnimStep {
  static constexpr int kSize = 44;
  int32_t kind = 0;
  int32_t value = 0;
  int32_t x = 0, y = 0;  // offsets of the frame, for the owners
  char text[8] = {};
  int32_t more[5] = {};  // stored as read, for other readers
};

class CAnimation {
 public:
  static constexpr int kHeaderSize = 44;
  static constexpr int kCurrentLayout = 5;

  explicit CAnimation(int loadSprite = 0) : loadSprite_(loadSprite) {}
  CAnimation(const CAnimation&) = delete;
  CAnimation& operator=(const CAnimation&) = delete;

  // Loads the file (and, with the load-sprite flag, the sprite it names, beside it). False
  // for a missing, short or malformed file; an out-of-date layout, a sprite that cannot be
  // loaded and a broken sequence table end the program after their box.
  bool Load(const char* path);
  // The same from an open stream (read from its start); the path names the sprite's folder.
  bool LoadFromStream(FILE* file, const char* path);
  void Free();

  // The index of the last sequence (the table's last entry starts none).
  int GetLastSequence() const { return sequenceCount_ - 1; }
  int SequenceCount() const { return sequenceCount_; }
  // The index of sequence n's first step, or -1 for no such sequence.
  int GetSequence(int n) const { return HasSequence(n) ? table_[static_cast<size_t>(n)] : -1; }
  bool HasSequence(int n) const { return n >= 0 && n < sequenceCount_; }
  void SetSprite(CSprite* sprite) { sprite_ = sprite; }
  CSprite* Sprite() const { return sprite_; }
  // The value of sequence n's first frame step, -1 when it reaches its end without one.
  int GetFirstFrame(int n) const;
  // Whether sequence n has at least k steps before its end step.
  bool HasSteps(int k, int n) const;

  const AnimStep& Step(int index) const { return steps_[static_cast<size_t>(index)]; }
  int StepCount() const { return static_cast<int>(steps_.size()); }
  // The index of the end step of the sequence that holds step index (its last step).
  int SequenceEnd(int n) const { return HasSequence(n) ? table_[static_cast<size_t>(n) + 1] - 1 : -1; }
  int Layout() const { return layout_; }
  const std::string& SpriteName() const { return spriteName_; }
  const char* Path() const { return path_; }

 private:
  bool ReadSteps(FILE* file, int layout, long bytes);
  bool CheckSequences() const;

  int loadSprite_;
  int layout_ = 0;
  int sequenceCount_ = 0;  // sequences; the table holds one entry more
  std::vector<int32_t> table_;
  std::vector<AnimStep> steps_;
  std::string spriteName_;
  char path_[256] = {};
  CSprite* sprite_ = nullptr;
  CSprite ownSprite_;  // loaded into when the flag is set and no sprite was given
};

class CAnimPlayer {
 public:
  CAnimPlayer() { Clear(); }

  void Clear();
  void SetAnimation(CAnimation* animation) { this->animation = animation; }
  // Clears the playing state; keeps sequence, animation and direction.
  void Stop();
  // Starts sequence n; answers 1, or 0 (stopped) when the animation has no sequence n.
  int Start(int n, int backwards);
  int Restart() { return Start(sequence, backwards); }
  // Moves to the same step index within sequence n (its end step at most).
  void SwitchSequence(int n);
  // One tick: 0, an event value, or 1 when the end was reached.
  int Advance();
  // Runs steps until a frame step or the end: the last event value, or 1 at the end.
  int RunToFrame();
  // The frame shown next, -1 for none.
  int PeekNextFrame() const;
  // Leaves the loop: the first frame step after the next jump step becomes current.
  void ExitLoop();
  // Save blocks: 4 bytes (-1) without an animation, else sequence, loop-break, backwards
  // and the step index within the sequence, all put back at loading; -1 on a stream error
  // (or, loading, a block that does not fit the animation).
  int Save(FILE* stream) const;
  int Load(FILE* stream);
  // Positions the player k steps into its sequence; false when k is past its end.
  bool SeekTo(int k);

  // What Save leaves out of the playing state: the frame and the next step, the delay and its
  // ticks, the loop count and break, the backwards count and total. A loaded game puts them
  // back, so that the player runs on tick for tick as the saved one would have.
  static constexpr int kTimingWords = 9;
  void GetTiming(int32_t words[kTimingWords]) const;
  // False, changing nothing, for steps outside the player's sequence or flags not 0 or 1.
  bool SetTiming(const int32_t words[kTimingWords]);

  // The frame number shown now, -1 when none.
  int CurrentFrame() const { return frameStep >= 0 ? animation->Step(frameStep).value : -1; }

  int sequence;
  int frameStep;  // step index of the frame shown now, -1 for none
  int playing;
  int delay;
  int ticks;
  int loopCount;
  int step;  // step index of the next step to run
  CAnimation* animation;
  int loopBreak;
  int backwards;
  int backCount;
  int frameTotal;

 private:
  enum class RunMode { kTick, kToFrame };
  int RunSteps(RunMode mode);
  void CountBackwards();
  bool Valid() const { return animation && animation->HasSequence(sequence); }
};
