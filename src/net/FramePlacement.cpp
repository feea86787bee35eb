#include "net/FramePlacement.h"

#include "net/NetLog.h"
#include "net/NetMessages.h"

namespace {

bool StoreFrame(CNetMessageQueue& queue, int frame, const uint8_t* message, int length) {
  CNetMessageQueue::Entry* entry = queue.Push();
  if (!entry) return false;
  entry->Reset();
  entry->CopyFrom(message, length);
  entry->frame = frame;
  entry->received = 1;
  return true;
}

}  // namespace

FramePlaced PlaceFrame(CNetMessageQueue& queue, int& expected, const uint8_t* message, int length,
                       const FramePlacementTexts& texts, const std::function<void(int frame)>& requestResend) {
  const int frame = ReadFrameHeader(message).frame;
  if (frame < expected) {
    CNetMessageQueue::Entry* entry = queue.FindFrame(frame);
    if (entry && !entry->received) {
      entry->CopyFrom(message, length);
      entry->received = 1;
      NetLogLine("missing frame message placed in queue");
      return FramePlaced::kLateFilled;
    }
    NetLogLine(entry ? "frame message already received: message ignored"
                     : "frame number not in queue: message ignored");
    return FramePlaced::kLateRefused;
  }
  if (frame == expected) {
    if (!StoreFrame(queue, frame, message, length)) {
      NetLogLine(texts.fullInOrder, {frame, expected});
      return FramePlaced::kQueueFull;
    }
    ++expected;
    return FramePlaced::kInOrder;
  }
  while (expected < frame) {
    CNetMessageQueue::Entry* gap = queue.Push();
    if (!gap) {
      NetLogLine(texts.fullEarly, {frame, expected});
      return FramePlaced::kQueueFull;
    }
    gap->Reset();
    gap->frame = expected;
    NetLogLine("created empty queue entry for missing frame(s)", {expected});
    requestResend(expected);
    ++expected;
  }
  if (!StoreFrame(queue, frame, message, length)) {
    NetLogLine(texts.fullInOrder, {frame, expected});
    return FramePlaced::kQueueFull;
  }
  ++expected;
  NetLogLine("[EARLY MESSAGE ADDED TO QUEUE]");
  return FramePlaced::kEarly;
}
