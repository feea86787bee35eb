#pragma once
// CFrameCache: pre-shaded 16-bit copies of 8-bit frames in fixed-size slots, so that the
// map renderer need not shade the same frame every frame. Slots are taken and never given
// back until Create or Free.

#include <cstdint>
#include <vector>

#include "graphics/SpriteFrame.h"

// What a slot is asked for: the key of the shaded copy, the frame and how to shade it.
struct FrameCacheRequest {
  uint32_t key = 0;
  CSpriteFrame frame;
  int light = 0;
  int listIndex = 0;
};

class CFrameCache {
 public:
  struct Slot {
    uint8_t* buffer = nullptr;
    uint32_t key = 0;
    int useCount = 0;
  };

  CFrameCache() = default;
  ~CFrameCache() { Free(); }
  CFrameCache(const CFrameCache&) = delete;
  CFrameCache& operator=(const CFrameCache&) = delete;

  // Frees what was there and makes slotCount empty slots of slotSize bytes.
  bool Create(int slotSize, int slotCount);
  void Free();

  // The buffer holding the copy with this key, or null.
  uint8_t* Find(uint32_t key);
  // The buffer for the request: its slot when cached (use count raised), else the first
  // unused slot, shaded now. Null when every slot is in use, or when the shaded copy would
  // not fit a slot (the caller then prints the frame uncached).
  uint8_t* Acquire(const FrameCacheRequest& request);

  int SlotSize() const { return slotSize_; }
  int SlotCount() const { return slotCount_; }
  const std::vector<Slot>& Slots() const { return slots_; }

 private:
  std::vector<uint8_t> memory_;
  int slotSize_ = 0;
  int slotCount_ = 0;
  std::vector<Slot> slots_;
};
