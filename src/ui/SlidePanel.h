#pragma once
// CSlidePanel: a rectangular panel that flies in from a random corner off the screen to its
// place, stays there a while and flies out again, optionally panning a looping sound with
// its horizontal position. Derived panels draw themselves (the battle's scroll panel, the
// realm view's panels). CSlidePanelSet holds up to 8 of them, keeps new ones from
// overlapping, steps them every frame and deletes those that have finished.

#include <cstdint>
#include <memory>

class CSoundInstance;

enum SlideMode : int32_t {
  kSlideHalve = 0,       // halve the distance each step
  kSlideJump = 1,        // jump to the target
  kSlideAccelerate = 2,  // the step doubles each frame
};

class CSlidePanel {
 public:
  static constexpr int32_t kDwellForever = -1;

  // Starts at a random corner off the screen (the view's generator).
  CSlidePanel(int targetX, int targetY, int width, int height);
  virtual ~CSlidePanel() = default;
  CSlidePanel(const CSlidePanel&) = delete;
  CSlidePanel& operator=(const CSlidePanel&) = delete;

  virtual void Draw() = 0;

  // One frame: 1 while the panel is alive, 0 once it has finished.
  int Step();
  // Steps needed from where the panel is to come within 2 pixels of its target.
  int CountFramesToTarget() const;

  int32_t mode = kSlideHalve;
  int32_t x = 0, y = 0;  // top-left corner on the screen
  int32_t targetX = 0, targetY = 0;
  int32_t dwell = 80;  // frames at the target; -1 for good
  int32_t step = 1;    // the move per frame in mode 2
  int32_t exitMode = kSlideAccelerate;
  CSoundInstance** sound = nullptr;  // a looping sound to pan, or none
  int32_t width = 0, height = 0;

 private:
  void Leave();
  void PanSound() const;
};

// The top-left corner of a panel half off one of the four screen corners.
void RandomOffscreenCorner(int width, int height, int32_t& x, int32_t& y);

class CSlidePanelSet {
 public:
  static constexpr int kSlots = 8;

  CSlidePanelSet() = default;
  ~CSlidePanelSet() { Clear(); }
  CSlidePanelSet(const CSlidePanelSet&) = delete;
  CSlidePanelSet& operator=(const CSlidePanelSet&) = delete;

  void Clear();
  // Takes the panel into the first empty slot and moves its target clear of the others;
  // false when all 8 slots are taken, and the panel is released.
  bool Add(std::unique_ptr<CSlidePanel> panel);
  // Steps every panel; those that finished are deleted.
  void Step();
  void Draw();
  CSlidePanel* Slot(int n) const { return n >= 0 && n < kSlots ? slots_[n].get() : nullptr; }
  int Count() const;

 private:
  std::unique_ptr<CSlidePanel> slots_[kSlots];
};
