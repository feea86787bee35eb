#include "net/NetMessageQueue.h"

#include <cstring>

#include "net/NetMessages.h"

void CNetMessageQueue::Entry::Reset() {
  writePosition = kFrameHeaderBytes;
  used = kFrameHeaderBytes;
  frame = -1;
  received = 0;
  WriteEmptyFrameHeader(buffer, MessageWord(buffer, 3), MessageWord(buffer, 4));
}

bool CNetMessageQueue::Entry::Append(const uint8_t* message, int length) {
  if (length < 0 || length > Room()) return false;
  std::memcpy(buffer + writePosition, message, static_cast<size_t>(length));
  writePosition += length;
  used += length;
  SetMessageWord(buffer, 2, used);
  SetMessageWord(buffer, 5, MessageWord(buffer, 5) + 1);
  return true;
}

bool CNetMessageQueue::Entry::CopyFrom(const uint8_t* message, int length) {
  if (length < kFrameHeaderBytes || length > capacity) return false;
  std::memcpy(buffer, message, static_cast<size_t>(length));
  writePosition = length;
  used = length;
  return true;
}

bool CNetMessageQueue::Create(int bufferBytes, int entryCount) {
  Free();
  if (bufferBytes < kFrameHeaderBytes || entryCount < 1) return false;
  storage = std::make_unique<uint8_t[]>(static_cast<size_t>(bufferBytes) * static_cast<size_t>(entryCount));
  entries = std::make_unique<Entry[]>(static_cast<size_t>(entryCount));
  for (int i = 0; i < entryCount; ++i) {
    Entry& entry = entries[i];
    entry.buffer = storage.get() + static_cast<size_t>(i) * static_cast<size_t>(bufferBytes);
    entry.capacity = bufferBytes;
    WriteEmptyFrameHeader(entry.buffer, 0, 0);
    entry.Reset();
  }
  size = entryCount;
  return true;
}

void CNetMessageQueue::Free() {
  entries.reset();
  storage.reset();
  size = oldest = next = count = 0;
}

CNetMessageQueue::Entry* CNetMessageQueue::Push() {
  if (!entries || Full()) return nullptr;
  Entry* entry = &entries[next];
  next = (next + 1) % size;
  ++count;
  return entry;
}

void CNetMessageQueue::DropOldest() {
  if (Empty()) return;
  oldest = (oldest + 1) % size;
  --count;
}

CNetMessageQueue::Entry* CNetMessageQueue::Newest() { return Empty() ? nullptr : &entries[(next + size - 1) % size]; }

CNetMessageQueue::Entry* CNetMessageQueue::Oldest() { return Empty() ? nullptr : &entries[oldest]; }

CNetMessageQueue::Entry* CNetMessageQueue::FindFrame(int frame) {
  for (int i = 0; i < size; ++i)
    if (entries[i].frame == frame) return &entries[i];
  return nullptr;
}

CNetMessageQueue::Entry* CNetMessageQueue::At(int i) {
  return i >= 0 && i < count ? &entries[(oldest + i) % size] : nullptr;
}
