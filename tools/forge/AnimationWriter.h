#pragma once
// Writes animation files (.ani) in the current step layout (5) or the two older ones the
// game converts (3 and 4).

#include <cstdint>
#include <string>
#include <vector>

namespace forge {

struct AniStep {
  int kind = 0;  // 0 frame, 1 delay, 2 loop count, 3 loop back, 4 jump, 5 event, 6 end
  int value = 0;
  int x = 0, y = 0;
  std::string text;  // at most 8 bytes
  int more[5] = {};  // layout 3 keeps more[1]; layout 4 more[1..3]
};

// Steps of each kind.
inline AniStep Frame(int n, int x = 0, int y = 0) { return {0, n, x, y, "", {}}; }
inline AniStep Delay(int ticks) { return {1, ticks, 0, 0, "", {}}; }
inline AniStep LoopCount(int n) { return {2, n, 0, 0, "", {}}; }
inline AniStep LoopBack(int distance) { return {3, distance, 0, 0, "", {}}; }
inline AniStep Jump(int distance) { return {4, distance, 0, 0, "", {}}; }
inline AniStep Event(int value) { return {5, value, 0, 0, "", {}}; }
inline AniStep End() { return {6, 0, 0, 0, "", {}}; }

struct AniSpec {
  int layout = 5;
  std::string spriteName;                       // beside the animation; at most 19 characters
  std::vector<std::vector<AniStep>> sequences;  // each ends with End()
};

std::vector<uint8_t> WriteAnimation(const AniSpec& spec);

}  // namespace forge
