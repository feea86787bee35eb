#pragma once
// Little-endian fields, read and written one by one. Files and messages are never dumped
// as structs: every format is spelt out field by field through these helpers.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace bytes {

inline uint16_t LoadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t LoadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
inline void StoreU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline int32_t LoadI32(const uint8_t* p) { return static_cast<int32_t>(LoadU32(p)); }
inline void StoreI32(uint8_t* p, int32_t v) { StoreU32(p, static_cast<uint32_t>(v)); }

// Reads fields from a block of bytes. A read past the end yields zeros and clears Ok(),
// so a parser can read a whole record and check once.
class Reader {
 public:
  Reader(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  explicit Reader(const std::vector<uint8_t>& data) : Reader(data.data(), data.size()) {}

  bool Ok() const { return ok_; }
  size_t Position() const { return pos_; }
  size_t Size() const { return size_; }
  size_t Remaining() const { return size_ - pos_; }
  bool Has(size_t n) const { return n <= Remaining(); }

  uint8_t U8() { return Has(1) ? data_[pos_++] : Fail<uint8_t>(); }
  uint16_t U16() { return Has(2) ? (pos_ += 2, LoadU16(data_ + pos_ - 2)) : Fail<uint16_t>(); }
  uint32_t U32() { return Has(4) ? (pos_ += 4, LoadU32(data_ + pos_ - 4)) : Fail<uint32_t>(); }
  int8_t I8() { return static_cast<int8_t>(U8()); }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  float F32() {
    uint32_t bits = U32();
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
  }
  // Copies n bytes; on a short block copies nothing, zero-fills and fails.
  bool Bytes(void* out, size_t n) {
    if (!Has(n)) {
      if (n) std::memset(out, 0, n);
      Fail<int>();
      return false;
    }
    if (n) std::memcpy(out, data_ + pos_, n);
    pos_ += n;
    return true;
  }
  // A fixed-size text field: reads n bytes and keeps them up to the first zero.
  std::string FixedString(size_t n) {
    if (!Has(n)) {
      Fail<int>();
      return {};
    }
    const char* text = reinterpret_cast<const char*>(data_ + pos_);
    pos_ += n;
    return std::string(text, strnlen(text, n));
  }
  bool Skip(size_t n) {
    if (!Has(n)) return Fail<bool>();
    pos_ += n;
    return true;
  }
  bool Seek(size_t position) {
    if (position > size_) return Fail<bool>();
    pos_ = position;
    return true;
  }
  const uint8_t* Current() const { return data_ + pos_; }

 private:
  template <typename T>
  T Fail() {
    ok_ = false;
    pos_ = size_;
    return T{};
  }
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

// Appends fields to a growing block.
class Writer {
 public:
  void U8(uint8_t v) { out_.push_back(v); }
  void U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
  }
  void I8(int8_t v) { U8(static_cast<uint8_t>(v)); }
  void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void F32(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    U32(bits);
  }
  void Bytes(const void* data, size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    out_.insert(out_.end(), p, p + n);
  }
  // A fixed-size text field: the text cut to n - 1 characters, zero-padded to n bytes.
  void FixedString(std::string_view text, size_t n) {
    size_t len = text.size() < n ? text.size() : (n ? n - 1 : 0);
    Bytes(text.data(), len);
    out_.insert(out_.end(), n - len, 0);
  }
  void Zeros(size_t n) { out_.insert(out_.end(), n, 0); }
  // Overwrites a word written before (for sizes known only at the end).
  void PatchU32(size_t at, uint32_t v) { StoreU32(out_.data() + at, v); }

  size_t Size() const { return out_.size(); }
  const std::vector<uint8_t>& Data() const { return out_; }
  std::vector<uint8_t>& Data() { return out_; }

 private:
  std::vector<uint8_t> out_;
};

// Whole fields on an open stream; false on a short read or write.
inline bool WriteU32(FILE* f, uint32_t v) {
  uint8_t b[4];
  StoreU32(b, v);
  return std::fwrite(b, 1, 4, f) == 4;
}
inline bool ReadU32(FILE* f, uint32_t& v) {
  uint8_t b[4];
  if (std::fread(b, 1, 4, f) != 4) return false;
  v = LoadU32(b);
  return true;
}
inline bool WriteBlock(FILE* f, const void* data, size_t n) { return n == 0 || std::fwrite(data, 1, n, f) == n; }
inline bool ReadBlock(FILE* f, void* data, size_t n) { return n == 0 || std::fread(data, 1, n, f) == n; }

}  // namespace bytes
