#pragma once
// The terrain animation as the map sees it: numbered sequences whose frames are terrain
// type numbers. The battle loads the real animation (an animation file played by the
// graphics engine's animation player) and installs an adapter at start-up; until one is
// installed no cell is animated. Tests install their own.

#include <cstdio>
#include <memory>

// Plays one sequence for one animated cell.
class ITerrainAnimPlayer {
 public:
  virtual ~ITerrainAnimPlayer() = default;
  virtual void Start(int sequence) = 0;
  // One tick.
  virtual void Advance() = 0;
  virtual bool IsPlaying() const = 0;
  // The terrain type shown now; once the sequence has ended, the last one it showed.
  virtual int CurrentFrame() const = 0;
  // Leave the looping part at the next jump, so that the animation ends after this loop.
  virtual void SetLoopBreak() = 0;
  // The player's own saved-game block: bytes written or read, -1 on a failed write or read.
  virtual int Save(FILE* file) const = 0;
  virtual int Load(FILE* file) = 0;
};

class ITerrainAnimation {
 public:
  virtual ~ITerrainAnimation() = default;
  virtual bool HasSequence(int sequence) const = 0;
  // The first frame of a sequence, -1 when it has none.
  virtual int FirstFrame(int sequence) const = 0;
  virtual std::unique_ptr<ITerrainAnimPlayer> NewPlayer() const = 0;
};

class CAnimation;

// The terrain animation file of a battle (terrain.ani) as the map's terrain animation: its
// players are the graphics engine's animation players; a finished player keeps its last frame.
class CTerrainAnimationFile : public ITerrainAnimation {
 public:
  explicit CTerrainAnimationFile(CAnimation& animation) : animation_(animation) {}
  bool HasSequence(int sequence) const override;
  int FirstFrame(int sequence) const override;
  std::unique_ptr<ITerrainAnimPlayer> NewPlayer() const override;

 private:
  CAnimation& animation_;
};

// The terrain animation of the current battle; null when none is installed.
ITerrainAnimation* TerrainAnimation();
void SetTerrainAnimation(ITerrainAnimation* animation);
