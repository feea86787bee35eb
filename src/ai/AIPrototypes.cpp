#include "ai/AIPrototypes.h"

const int kAIPrototypeOrder[kAIPrototypeCount] = {
    5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 52, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31,
    32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 53, 54, 47, 48, 51, 57, 49, 50, 55, 56, 58, 59};

#include "ai/AIManaReserveDecision.h"
#include "ai/AISummonDecision.h"

namespace {

// The type a placeholder stands for; -1 for a built class.
template <class Decision>
struct PlaceholderType {
  static constexpr int value = -1;
};
template <int Type>
struct PlaceholderType<CAIPlaceholderDecision<Type>> {
  static constexpr int value = Type;
};

// A built group or spell decision takes its placeholder's place in the table.
template <class Decision>
CAIDecision* Prototype() {
  constexpr int type = PlaceholderType<Decision>::value;
  if constexpr (type >= kAIFirstGroupDecisionType && type <= kAILastGroupDecisionType)
    if (CAIDecision* built = BuiltGroupPrototype(type)) return built;
  if constexpr (type > kAISummonDecisionType && type < kAIManaReserveDecisionType)
    if (CAIDecision* built = BuiltSpellPrototype(type)) return built;
  return DecisionPrototype<Decision>();
}

CAIDecision* const* Table() {
  static CAIDecision* const table[kAIPrototypeCount + 1] = {
      Prototype<CAIPlaceholderDecision<5>>(),  Prototype<CAIPlaceholderDecision<6>>(),
      Prototype<CAIPlaceholderDecision<7>>(),  Prototype<CAIPlaceholderDecision<8>>(),
      Prototype<CAIPlaceholderDecision<9>>(),  Prototype<CAIPlaceholderDecision<10>>(),
      Prototype<CAIPlaceholderDecision<11>>(), Prototype<CAIPlaceholderDecision<12>>(),
      Prototype<CAIPlaceholderDecision<13>>(), Prototype<CAIPlaceholderDecision<14>>(),
      Prototype<CAISummonDecision>(),          Prototype<CAIPlaceholderDecision<16>>(),
      Prototype<CAIPlaceholderDecision<17>>(), Prototype<CAIPlaceholderDecision<18>>(),
      Prototype<CAIPlaceholderDecision<19>>(), Prototype<CAIPlaceholderDecision<20>>(),
      Prototype<CAIPlaceholderDecision<21>>(), Prototype<CAIPlaceholderDecision<52>>(),
      Prototype<CAIPlaceholderDecision<22>>(), Prototype<CAIPlaceholderDecision<23>>(),
      Prototype<CAIPlaceholderDecision<24>>(), Prototype<CAIPlaceholderDecision<25>>(),
      Prototype<CAIPlaceholderDecision<26>>(), Prototype<CAIPlaceholderDecision<27>>(),
      Prototype<CAIPlaceholderDecision<28>>(), Prototype<CAIPlaceholderDecision<29>>(),
      Prototype<CAIPlaceholderDecision<30>>(), Prototype<CAIPlaceholderDecision<31>>(),
      Prototype<CAIPlaceholderDecision<32>>(), Prototype<CAIPlaceholderDecision<33>>(),
      Prototype<CAIPlaceholderDecision<34>>(), Prototype<CAIPlaceholderDecision<35>>(),
      Prototype<CAIPlaceholderDecision<36>>(), Prototype<CAIPlaceholderDecision<37>>(),
      Prototype<CAIPlaceholderDecision<38>>(), Prototype<CAIPlaceholderDecision<39>>(),
      Prototype<CAIPlaceholderDecision<40>>(), Prototype<CAIPlaceholderDecision<41>>(),
      Prototype<CAIPlaceholderDecision<42>>(), Prototype<CAIPlaceholderDecision<43>>(),
      Prototype<CAIPlaceholderDecision<44>>(), Prototype<CAIPlaceholderDecision<45>>(),
      Prototype<CAIPlaceholderDecision<46>>(), Prototype<CAIPlaceholderDecision<53>>(),
      Prototype<CAIPlaceholderDecision<54>>(), Prototype<CAIPlaceholderDecision<47>>(),
      Prototype<CAIPlaceholderDecision<48>>(), Prototype<CAIPlaceholderDecision<51>>(),
      Prototype<CAIPlaceholderDecision<57>>(), Prototype<CAIPlaceholderDecision<49>>(),
      Prototype<CAIPlaceholderDecision<50>>(), Prototype<CAIPlaceholderDecision<55>>(),
      Prototype<CAIPlaceholderDecision<56>>(), Prototype<CAIPlaceholderDecision<58>>(),
      Prototype<CAIManaReserveDecision>(),     nullptr};
  return table;
}

}  // namespace

CAIDecision* CAIPrototypeTable::operator[](int i) const {
  if (i < 0 || i >= kAIPrototypeCount) return nullptr;
  return Table()[i];
}
