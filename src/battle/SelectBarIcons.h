#pragma once
// The frames of the select bar's icon sprite "sprites\SplIcons.spr" and the tooltip ids of its
// buttons. Spells and items each have a normal frame; the overlays are a mana fill of 32
// steps (how much of a spell's cost the wizard has), a charge mark of 6 steps (what is left
// in an item) and a selection mark of 12 frames that blinks round the chosen button.
//
//   2-95     spells 0-93                 96-127   mana fill steps 0-31
//   128-133  charge steps 0-5            134-221  items of object kind 0-87
//   222-233  selection mark 0-11         234-243  spells 94-103
//   244-252  items of object kind 88-96
//
// Spells 94-103 and items 88-96 would fall on the mana fills and the marks at s + 2 and
// k + 134; they take frames after the marks instead.

namespace spl_icons {

inline constexpr int kManaFill = 96;  // + step 0-31
inline constexpr int kCharge = 128;   // + step 0-5
inline constexpr int kMark = 222;     // + blink 0-11
inline constexpr int kFrameCount = 253;
inline constexpr int kManaSteps = 32;
inline constexpr int kChargeSteps = 6;
inline constexpr int kMarkFrames = 12;
inline constexpr int kLastItemKind = 96;  // kinds above are no items of the bar

inline constexpr int SpellFrame(int spell) { return spell >= 94 ? 234 + spell - 94 : spell + 2; }
inline constexpr int ItemFrame(int kind) { return kind >= 88 ? 244 + kind - 88 : kind + 134; }

// Tooltip ids: spells s + 5, items k + 98; spells 93-103, whose ids would meet those of
// items 0-10, take 400 + s - 93.
inline constexpr int SpellTooltip(int spell) { return spell >= 93 ? 400 + spell - 93 : spell + 5; }
inline constexpr int ItemTooltip(int kind) { return kind + 98; }

// The mana fill step: mana x 31 / cost, full (31) once the mana reaches the cost (a spell
// that costs nothing is always full).
inline constexpr int ManaFillStep(int mana, int cost) {
  if (cost <= 0 || mana >= cost) return 31;
  if (mana <= 0) return 0;
  return mana * 31 / cost;
}

// The charge step: charge x 5 / the kind's maximum charge; 5 at the maximum, above 4, or
// for a kind without a maximum.
inline constexpr int ChargeStep(int charge, int maxCharge) {
  if (maxCharge <= 0 || charge >= maxCharge) return 5;
  const int step = charge * 5 / maxCharge;
  return step > 4 ? 5 : step < 0 ? 0 : step;
}

}  // namespace spl_icons
