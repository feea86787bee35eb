#pragma once
// The frames of the battle's interface sprite set ("sprites\markers.spr") that creatures wear
// on the map, shared by the forge that draws them and the creature code that shows them:
// glyphs for labels and counts (frame = character code - 32, from ' ' to '9'), the owner
// markers by army colour (frame = colour + 26), and the status marks of a selected or an
// inspected creature.

namespace creature_marks {

inline constexpr int kFirstGlyphCode = ' ';
inline constexpr int kLastGlyphCode = '9';
inline constexpr int kOwnerMarkerFirst = 26;
inline constexpr int kArmyColours = 8;

// A bracket over the head and one at the feet, for a body one tile wide and for one two
// tiles wide; the player's own selection in green, another army's inspected creature in red.
enum StatusFrame : int {
  kSelectedHead = kOwnerMarkerFirst + kArmyColours,
  kSelectedFeet,
  kSelectedHeadLarge,
  kSelectedFeetLarge,
  kInspectedHead,
  kInspectedFeet,
  kInspectedHeadLarge,
  kInspectedFeetLarge,
  // Over a creature that a selected creature of the player is attacking.
  kTargetArrow,
  kFrameCount
};

// Half the width of a bracket, in pixels, for a small and a large body.
inline constexpr int kBracketHalfWidth[2] = {14, 26};

}  // namespace creature_marks
