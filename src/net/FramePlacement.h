#pragma once
// Where a received frame message goes in the queue of the frames awaited from its sender: the
// host's queue of one client's frames, or a client's queue of host frames. A frame below the
// next expected one fills its awaited entry; the expected one takes a new entry; a frame above
// it leaves an awaited entry (and a resend request) for each frame missing before it. The
// message has been checked whole; the caller logs the first line of each case.

#include <functional>

#include "net/NetMessageQueue.h"

enum class FramePlaced {
  kLateFilled,   // filled an awaited entry
  kLateRefused,  // already received, or no entry for it
  kInOrder,      // the expected frame, stored
  kEarly,        // stored after awaited entries for the frames before it
  kQueueFull,    // nothing stored
};

struct FramePlacementTexts {
  const char* fullInOrder;  // the expected frame found the queue full
  const char* fullEarly;    // the gaps before an early frame did not fit
};

// expected is the next frame awaited from the sender; it advances with each entry pushed.
FramePlaced PlaceFrame(CNetMessageQueue& queue, int& expected, const uint8_t* message, int length,
                       const FramePlacementTexts& texts, const std::function<void(int frame)>& requestResend);
