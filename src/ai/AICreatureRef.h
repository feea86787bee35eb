#pragma once
// A creature as a decision keeps it over many frames: its slot and the serial the slot took
// when the creature was placed. A slot that has since been filled by another creature no
// longer answers, so a decision never acts on a stranger.

#include <cstdint>

class CCreature;

struct CAICreatureRef {
  int32_t slot = -1;
  uint32_t serial = 0;

  void Set(const CCreature* creature);
  void Clear() { *this = CAICreatureRef{}; }
  bool IsSet() const { return slot >= 0; }
  // The creature still in its slot (alive or not); null when the slot is free or reused.
  CCreature* Get() const;
  // The same, only while it lives.
  CCreature* GetAlive() const;
};
