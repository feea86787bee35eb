#pragma once
// The decisions that send one member of a group to a world object while the others follow
// it: fetching an item (type 13) and collecting a mana sprite with the wizard (type 9). Each
// member that may carry is a candidate with the object of the sought kinds nearest to it; an
// object another group of the side already goes for is passed over, so one creature of a side
// goes for one object. Only the carrier's route is searched. The object is held by its slot:
// when the slot is freed, or holds an object of another kind, the decision is over.

#include <cstdint>

#include "ai/AIGroupDecision.h"

class CMapObject;

class CAIObjectSeekDecision : public CAIGroupDecision {
 public:
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  void KeepBest() override;

  // The object of the work and kept blocks, by slot and kind, and the carrier's slot.
  int32_t workObject = -1, workObjectKind = -1, workCarrier = -1;
  int32_t keptObject = -1, keptObjectKind = -1, keptCarrier = -1;
  int32_t objectNode = -1;
  int32_t carrierRouteRating = 0;

 protected:
  explicit CAIObjectSeekDecision(int type) : CAIGroupDecision(type) {}
  // What the type asks of the group before it applies, beyond a top group of a side with a
  // wizard and a member that is no illusion.
  virtual bool GroupApplies(CAIGroupNode* group) const = 0;
  virtual bool Seeks(int kind) const = 0;
  virtual bool MayCarry(const CCreature& member) const = 0;
  CAIGroupNode* MeasuredAgainst() const override { return candidateRoot; }
  int DelayBase() const override { return 50; }

  // The kept carrier when it still lives, else null.
  CCreature* KeptCarrier() const;
  // Whether the kept object still lies on the map, as the same kind of object.
  bool KeptObjectThere() const;
  // The inputs both types end with: the carrier's health and its maximum, the longest travel,
  // the carrier's route rating, and the object node's rating and openness above.
  void AppendCarrierInputs(const CCreature& carrier);
  // Whether another member's walk already ends within five tiles of the carrier.
  static bool WalksNear(const CCreature& member, const CCreature& carrier);

 private:
  // Puts the object of the sought kinds nearest the member (the first found on ties) in the
  // work block; false when there is none.
  bool FindNearestObject(const CCreature& member);
  // Whether another group of the side already goes for the work block's object.
  bool TakenBySide();
  void PassOver();
  // The carrier reached its object: the work block and the accumulators.
  void FoldCarrier(const CCreature& carrier);
};
