#pragma once
// The engage decisions (types 6 and 7): which group of remembered enemies the acting group
// goes to fight, and then the fight itself. A candidate is scored by how long the members
// take to reach it, how dangerous the way is, how far it draws the troops from their wizard
// and how sure the side is of where the enemy stands. While it runs, the group closes in
// without straggling, spreads its attackers over the enemies by the strength still unmatched
// on each, keeps its wizard behind the troops, and gives up when the ground turns more
// dangerous than the plan accepted. Type 7 is the cautious one: its routes weigh the danger
// of every node they enter, and its members keep doing so on their walk.

#include <cstdint>
#include <vector>

#include "ai/AIGroupDecision.h"

class CAIEngageGroupDecision : public CAIGroupDecision {
 public:
  CAIEngageGroupDecision() : CAIGroupDecision(kAIEngageGroupDecisionType) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIEngageGroupDecision(); }
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

  // The spacing radii of a Step (squared tile distances): a member of a spread-out group
  // nearer than r1 waits for the others; a close fighter nearer than r2, and the wizard
  // nearer than r3, hold rather than attack.
  struct Spacing {
    int64_t r1 = 0, r2 = 0, r3 = 0;
  };
  // From the members' squared distances to the enemy group: all of them, the close fighters'
  // and the troops' (not the wizard's).
  static Spacing SpacingFor(const std::vector<int64_t>& all, const std::vector<int64_t>& closeFighters,
                            const std::vector<int64_t>& troops);
  // How much the member wants to attack the enemy with this much strength already sent
  // against it: nothing once the enemy's strength is matched.
  static int64_t TargetValue(const CCreature& member, const CCreature& enemy, int64_t assigned, int side);

 protected:
  explicit CAIEngageGroupDecision(int type) : CAIGroupDecision(type) {}
  void AppendInputs(int members) override;
  // Walks a member toward the enemy group's centre.
  virtual void WalkToward(CCreature& member, int x, int y, int z);
  // The strength already sent against each creature in this Step, by slot.
  virtual std::vector<int64_t>& Assignments();
};

class CAIEngageGroupSafelyDecision final : public CAIEngageGroupDecision {
 public:
  CAIEngageGroupSafelyDecision() : CAIEngageGroupDecision(kAIEngageGroupSafelyDecisionType) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIEngageGroupSafelyDecision(); }

 protected:
  bool DangerRoutes() const override { return true; }
  void WalkToward(CCreature& member, int x, int y, int z) override;
  std::vector<int64_t>& Assignments() override;
};

// Whether a member fights hand to hand (no shot of its own now).
bool IsCloseFighter(const CCreature& member);
