#pragma once
// CNetMessageQueue: a ring of n frame message buffers, the host's and the client's queues of
// frame messages. Every entry's buffer starts with a frame header; Push and DropOldest move the
// ring, FindFrame looks an entry up by its frame number. Buffers are allocated by Create and
// never during a battle.

#include <cstdint>
#include <memory>

class CNetMessageQueue {
 public:
  struct Entry {
    uint8_t* buffer = nullptr;
    int capacity = 0;
    int writePosition = 0;  // the end of the data
    int used = 0;
    int frame = -1;        // -1: none
    uint8_t received = 0;  // 1: holds a message that arrived; 0: empty or awaited

    // Empty frame header (frame and origin words left to the sender), frame -1, not received.
    void Reset();
    // Appends a message and counts it in the frame header; false (nothing changed) when
    // fewer than its length bytes are left.
    bool Append(const uint8_t* message, int length);
    // Replaces the contents with a whole message of that length; false when it does not fit.
    bool CopyFrom(const uint8_t* message, int length);
    int Room() const { return capacity - used; }
  };

  CNetMessageQueue() = default;
  CNetMessageQueue(const CNetMessageQueue&) = delete;
  CNetMessageQueue& operator=(const CNetMessageQueue&) = delete;

  // Frees the old entries, then makes n entries of bufferBytes (at least a frame header),
  // each reset; false for a size or count that cannot be.
  bool Create(int bufferBytes, int entryCount);
  void Free();
  // The new newest entry, or null when the ring is full (nothing moves then).
  Entry* Push();
  void DropOldest();
  Entry* Newest();
  Entry* Oldest();
  // The first entry of all n, in array order, with that frame number; null when none.
  Entry* FindFrame(int frame);
  bool Full() const { return count == size; }
  bool Empty() const { return count == 0; }
  // The i-th entry in use, oldest first (null past the end).
  Entry* At(int i);

  std::unique_ptr<Entry[]> entries;
  std::unique_ptr<uint8_t[]> storage;
  int size = 0;
  int oldest = 0;
  int next = 0;  // one past the newest
  int count = 0;
};
