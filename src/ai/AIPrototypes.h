#pragma once
// The prototype of every decision type 5-59, one static object each for the whole run, and the
// table the controller builds its candidates from with NewInstance. The table runs in the
// order the candidates are tried, ends with a null entry, and holds no type 0-4: type 0, the
// default decision, the controller makes itself; 1-4 are never made.
//
// Types whose classes are not built yet stand in the table as placeholders with their type id:
// they never apply to a group, so Evaluate yields nothing. Each is replaced in place by its
// class.

#include "ai/AIDecision.h"

inline constexpr int kAIPrototypeCount = 55;

// The type ids of the table, in table order.
extern const int kAIPrototypeOrder[kAIPrototypeCount];

// The table as the controller reads it: g_aiPrototypes[i] for i in 0-54, null at 55 and
// beyond. It is built on first use, so controllers made by global initialisers can read it.
struct CAIPrototypeTable {
  CAIDecision* operator[](int i) const;
};
inline constexpr CAIPrototypeTable g_aiPrototypes{};

// The prototype of a group decision type (6-14) whose class is built; null for the others.
CAIDecision* BuiltGroupPrototype(int type);
// The prototype of a spell decision type (16-58) whose class is built; null for the others.
CAIDecision* BuiltSpellPrototype(int type);

// The one prototype object of a decision class, made on first use.
template <class Decision>
CAIDecision* DecisionPrototype() {
  static Decision prototype;
  return &prototype;
}

// A type whose class is still to come: applies to no group.
template <int Type>
class CAIPlaceholderDecision final : public CAIDecisionOf<CAIPlaceholderDecision<Type>> {
 public:
  CAIPlaceholderDecision() : CAIDecisionOf<CAIPlaceholderDecision<Type>>(Type) {}
  void Prepare(CAIGroupNode* group, CAIPlayerMemory*, int) override { this->group = group; }
  bool Evaluate(float*, CAIBudget&, int) override { return false; }
  int Execute() override { return 0; }
};
