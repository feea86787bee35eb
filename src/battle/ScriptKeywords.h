#pragma once
// The keyword lists of the script file and the reading of its one-word values. The reader
// and the forge's script writer share them, so that what is written is what is read.

#include <cstdint>
#include <span>
#include <string_view>

namespace script_keywords {

struct Keyword {
  const char* word;
  int32_t value;
};
using List = std::span<const Keyword>;

// In test order: the substring rule takes the first keyword found inside the word.
inline constexpr Keyword kEventTypeWords[] = {{"NULL", 0},       {"COMMAND", 1},    {"DIALOGUE", 2},
                                              {"DEPLOYMENT", 3}, {"PORTAL", 4},     {"TRAP", 5},
                                              {"DIPLOMACY", 6},  {"EXPERIENCE", 8}, {"FLAG", 9}};
inline constexpr Keyword kCharacterStatusWords[] = {{"NONE", 0},
                                                    {"ALIVE_IN_BATTLE", 1},
                                                    {"DEAD_IN_BATTLE", 2},
                                                    {"ALIVE_IN_CAMPAIGN", 3},
                                                    {"EXITED_FROM_BATTLE", 4},
                                                    {"DEAD_IN_CAMPAIGN", 5},
                                                    {"DEPLOYED_IN_BATTLE", 6},
                                                    {"NOT_ALIVE_IN_BATTLE", 7}};
inline constexpr Keyword kArtefactStatusWords[] = {{"NULL", 0},        {"EXISTS", 1}, {"POSSESSED", 2}, {"NOT", 3},
                                                   {"AT_LOCATION", 4}, {"USED", 5},   {"PICKED_UP", 6}};
inline constexpr Keyword kAlignmentWords[] = {{"NOALIGN", 3}, {"LAW", 0}, {"NEUTRAL", 1}, {"VRASK", 2}};
inline constexpr Keyword kInterfaceCommandWords[] = {
    {"NULL", 0},         {"SPELL_SELECTED", 1}, {"SPELL_CAST", 2},     {"CREATURE_SELECTED", 3}, {"MOVEMENT_ORDER", 4},
    {"FLYING_ORDER", 5}, {"ATTACK_ORDER", 6},   {"DRAG_SELECTION", 7}, {"ROOF_REMOVAL", 8},      {"MAP_ROTATED", 9}};
inline constexpr Keyword kTriggerTargetWords[] = {{"NONE", 0}, {"CHARACTER", 1}, {"CREATURE_TYPE", 6}};
inline constexpr Keyword kMovementStateWords[] = {{"NULL", 0}, {"WALKING", 1}, {"FLYING", 2}};
inline constexpr Keyword kUndeadStateWords[] = {{"NULL", 0}, {"UNDEAD", 1}, {"NOT", 2}};
inline constexpr Keyword kVisibleStateWords[] = {{"NULL", 0}, {"IS_VISIBLE", 1}, {"INVISIBLE", 2}};
inline constexpr Keyword kDestinationTypeWords[] = {{"NONE", 0},     {"CHARACTER", 1}, {"LOCATION", 2},
                                                    {"ARTEFACT", 3}, {"RANDOM", 4},    {"PORTAL", 5}};
inline constexpr Keyword kSpellTargetWords[] = {{"NONE", 0},  {"CHARACTER", 1}, {"LOCATION", 2},     {"SELF", 3},
                                                {"ENEMY", 4}, {"FRIEND", 5},    {"CREATURE_TYPE", 6}};
inline constexpr Keyword kDeploymentTypeWords[] = {
    {"NONE", 0}, {"CHARACTER", 1}, {"LOCATION", 2}, {"ARTEFACT", 3}, {"RANDOM", 4}};
inline constexpr Keyword kRankWords[] = {{"COMMON", 0}, {"LORD", 1}, {"KING", 2}};
inline constexpr Keyword kEquipmentWords[] = {{"NONE", 0}, {"SWORD", 1}, {"BOW", 2}, {"WINGS", 3}};
inline constexpr Keyword kPortalPositionWords[] = {{"RANDOM", 0}, {"LOCATION", 1}, {"CHARACTER", 2}, {"ARTEFACT", 3}};
inline constexpr Keyword kTrapTargetWords[] = {
    {"NONE", 0}, {"CHARACTER", 1}, {"LOCATION", 2}, {"CREATURE_TYPE", 6}, {"ACTIVE", 7}};
inline constexpr Keyword kTerrainEventWords[] = {{"NONE", 0}, {"DESTRUCTION", 1}, {"COLLAPSE", 2}, {"CREATION", 3}};
inline constexpr Keyword kExperienceTypeWords[] = {{"NONE", 0}, {"CHARACTER", 1}, {"LOCATION", 2}, {"ARTEFACT", 3}};

inline constexpr List kEventType{kEventTypeWords};
inline constexpr List kCharacterStatus{kCharacterStatusWords};
inline constexpr List kArtefactStatus{kArtefactStatusWords};
inline constexpr List kAlignment{kAlignmentWords};
inline constexpr List kInterfaceCommand{kInterfaceCommandWords};
inline constexpr List kTriggerTarget{kTriggerTargetWords};
inline constexpr List kMovementState{kMovementStateWords};
inline constexpr List kUndeadState{kUndeadStateWords};
inline constexpr List kVisibleState{kVisibleStateWords};
inline constexpr List kDestinationType{kDestinationTypeWords};
inline constexpr List kSpellTarget{kSpellTargetWords};
inline constexpr List kDeploymentType{kDeploymentTypeWords};
inline constexpr List kRank{kRankWords};
inline constexpr List kEquipment{kEquipmentWords};
inline constexpr List kPortalPosition{kPortalPositionWords};
inline constexpr List kTrapTarget{kTrapTargetWords};
inline constexpr List kTerrainEvent{kTerrainEventWords};
inline constexpr List kExperienceType{kExperienceTypeWords};

// A word equal to a keyword takes its value; only a word equal to none falls back to the
// first keyword found inside it (so NOT_ALIVE_IN_BATTLE is 7, and ALIVE_IN_BATTLE_X 1).
// False, with the value untouched, when nothing matches.
inline bool Match(std::string_view word, List list, int32_t& value) {
  for (const Keyword& k : list)
    if (word == k.word) {
      value = k.value;
      return true;
    }
  for (const Keyword& k : list)
    if (word.find(k.word) != std::string_view::npos) {
      value = k.value;
      return true;
    }
  return false;
}

// The keyword of a value, for writers; null when the list has none.
inline const char* WordOf(List list, int32_t value) {
  for (const Keyword& k : list)
    if (k.value == value) return k.word;
  return nullptr;
}

// The leading decimal number of a word (an optional sign, then digits); 0 without one.
inline int32_t LeadingInt(std::string_view word) {
  size_t i = 0;
  bool negative = false;
  if (i < word.size() && (word[i] == '-' || word[i] == '+')) negative = word[i++] == '-';
  int64_t value = 0;
  for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
    value = value * 10 + (word[i] - '0');
    if (value > INT32_MAX) value = INT32_MAX;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

// A script flag is set by a word holding "True", exactly so.
inline bool HasTrue(std::string_view word) { return word.find("True") != std::string_view::npos; }

}  // namespace script_keywords
