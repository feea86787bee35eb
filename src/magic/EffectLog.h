#pragma once
// CEffectLog: a ring of the last 400 activations and deactivations of effects from index 100
// up, written while the options file's NETWORK key "NetEffectsLog " is TRUE, and dumped as
// text (fx_log.txt) when networked machines disagree.

#include <cstdint>

class CEffectLog {
 public:
  static constexpr int kEntries = 400;

  struct Entry {
    int32_t index = 0;
    int32_t kind = 0;
    int32_t activate = 0;  // 1 activate, 0 deactivate
    int32_t serial = 0;
  };

  // Writes one entry at the position; the count is its serial number.
  void Write(int index, int kind, int activate);
  // The ring as text; a file that cannot be opened is skipped.
  void Dump(const char* path) const;
  void Clear();

  Entry entries[kEntries] = {};
  int32_t count = 0;     // entries written, also the next serial
  int32_t position = 0;  // the slot written next
};

extern CEffectLog g_effectLog;
