#pragma once
// SaveStream: a saved-game block's fields on an open stream, moved one by one and counted.
// The first short read or write stops the stream (every later field is skipped), so a block
// writer or reader moves its fields in order and asks once at the end whether all went, and
// how many bytes they took. Blocks of other writers (animation players, print effects) add
// their own counts, -1 failing the stream.

#include <cstdint>
#include <cstdio>

#include "core/Bytes.h"

class SaveStream {
 public:
  explicit SaveStream(FILE* file) : file_(file), ok_(file != nullptr) {}

  bool Ok() const { return ok_; }
  int Bytes() const { return bytes_; }
  FILE* File() const { return file_; }
  // The byte count when every field moved, else -1.
  int Result() const { return ok_ ? bytes_ : -1; }
  void Fail() { ok_ = false; }
  // A block moved by another writer or reader: its count, or -1 to fail.
  void Add(int moved) {
    if (moved < 0)
      ok_ = false;
    else if (ok_)
      bytes_ += moved;
  }

  void I32(int32_t v) {
    uint8_t b[4];
    bytes::StoreI32(b, v);
    Write(b, 4);
  }
  int32_t I32() {
    uint8_t b[4] = {};
    Read(b, 4);
    return ok_ ? bytes::LoadI32(b) : 0;
  }
  void U8(uint8_t v) { Write(&v, 1); }
  uint8_t U8() {
    uint8_t v = 0;
    Read(&v, 1);
    return ok_ ? v : 0;
  }
  void U16(uint16_t v) {
    uint8_t b[2];
    bytes::StoreU16(b, v);
    Write(b, 2);
  }
  uint16_t U16() {
    uint8_t b[2] = {};
    Read(b, 2);
    return ok_ ? bytes::LoadU16(b) : 0;
  }
  template <size_t N>
  void PutWords(const int32_t (&words)[N]) {
    for (int32_t w : words) I32(w);
  }
  template <size_t N>
  void GetWords(int32_t (&words)[N]) {
    for (int32_t& w : words) w = I32();
  }
  void Write(const void* data, size_t n) {
    if (ok_ && !(ok_ = bytes::WriteBlock(file_, data, n))) return;
    if (ok_) bytes_ += static_cast<int>(n);
  }
  void Read(void* data, size_t n) {
    if (ok_ && !(ok_ = bytes::ReadBlock(file_, data, n))) return;
    if (ok_) bytes_ += static_cast<int>(n);
  }

 private:
  FILE* file_;
  bool ok_;
  int bytes_ = 0;
};
