#pragma once
// What one side (an army) of a controller remembers between frames: the enemy creatures it
// saw, each with the tick it was last seen and a copy of the creature as it was then, and two
// lists of group nodes that decisions build for the side (GetPlayerRecordGroups) and the
// controller empties at every memory pass.

#include <cstdint>
#include <map>
#include <vector>

#include "ai/AIGroupNode.h"
#include "creatures/Mapelem.h"

struct CAIRememberedEnemy {
  int32_t lastSeenTick = 0;
  int32_t currentTick = 0;  // the tick at which the entry was last confirmed
  CCreature copy;           // the creature as it was last seen (its slot in copy.index)
};

struct CAIPlayerMemory {
  CAIPlayerMemory() = default;
  ~CAIPlayerMemory() { FreeGroups(); }
  CAIPlayerMemory(const CAIPlayerMemory&) = delete;
  CAIPlayerMemory& operator=(const CAIPlayerMemory&) = delete;

  // Deletes the nodes of both lists and empties them.
  void FreeGroups();
  // Forgets every enemy and frees the groups.
  void Clear();

  CAIEnemyMap enemies;
  // The enemy clusters the decisions read this pass, and the nodes beneath them; both owned.
  std::vector<CAIGroupNode*> groupsA;
  std::vector<CAIGroupNode*> groupsB;
  uint8_t groupsMade = 0;  // the lists were made in this pass (they may be empty)
};
