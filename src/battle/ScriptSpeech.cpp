// The script's speech in the battle's saved game: a battle saved while a DIALOGUE event speaks
// is paused and waits for the speech box, so the loaded battle must show that speech again,
// its camera where it was, or the event and the pause would never end.
#include <algorithm>
#include <cstdlib>

#include "battle/Script.h"
#include "battle/ScriptActions.h"
#include "map/Map.h"
#include "ui/SpeechCtrl.h"

namespace {

enum SpeechWord : int {
  kPhase = 0,
  kRecord = 1,
  kPoint = 2,    // 3 words: the speaker in map units
  kCamera = 5,   // 3 words: where the glide has the camera
  kTarget = 8,   // 3 words: where the glide goes
  kOrigin = 11,  // 3 words: where the camera goes back to, -1 none
  kAnchor = 14,  // 2 words: the box's screen point
  kTicks = 16,
  kSpeed = 17,
  kBoxCountdown = 18,
};
static_assert(kBoxCountdown + 1 == kScriptSpeechWords);

constexpr int kMaxAnchor = 1 << 16;
constexpr int kMaxSpeed = 1 << 16;

// The speech control's point words and the three words at an index.
void PutPoint(int32_t* words, int at, int x, int y, int z) { words[at] = x, words[at + 1] = y, words[at + 2] = z; }

// What a speech that shows nothing saves: the same words every time.
void NoSpeech(int32_t* words) {
  std::fill(words, words + kScriptSpeechWords, 0);
  words[kRecord] = -1;
  PutPoint(words, kPoint, -1, -1, -1);
  PutPoint(words, kOrigin, -1, -1, -1);
}

// A map point of the speech: each word -1 or on the map (a speaker's centre may stand a little
// beyond its edge, by at most the map's own span).
bool PointOnMap(const int32_t* words, int at, bool noneAllowed) {
  const int spans[3] = {g_map.width * 32, g_map.height * 32, g_map.levels * 16};
  if (noneAllowed && words[at] == -1 && words[at + 1] == -1 && words[at + 2] == -1) return true;
  for (int i = 0; i < 3; ++i)
    if (words[at + i] < 0 || words[at + i] >= 2 * spans[i]) return false;
  return true;
}

bool IsDialogue(const CScript& script, int record) {
  return script.IsRecord(record) && script.Event(record).inUse && script.Event(record).type == kScriptDialogue;
}

// Stands in for the battle while a speech is shown again: the battle's pause is the saved one,
// so no pause goes out as a frame command.
class CRestoringSpeechBattle : public ISpeechBattle {
 public:
  explicit CRestoringSpeechBattle(ISpeechBattle& battle) : battle_(battle) {}
  void HideInterface(int spellKind) override { battle_.HideInterface(spellKind); }
  void RestoreInterface() override { battle_.RestoreInterface(); }
  void Resume() override { battle_.Resume(); }

 private:
  ISpeechBattle& battle_;
};

}  // namespace

void SaveScriptSpeech(const CScript& script, int32_t words[kScriptSpeechWords]) {
  NoSpeech(words);
  const CSpeechCtrl& speech = g_speechCtrl;
  const int record = speech.request.argument;
  if (!speech.IsActive() || speech.request.callback != &script.speechCallback || !IsDialogue(script, record)) return;
  // A box clicked away whose answer has not reached the script yet shows again when loaded:
  // the answer travels as a frame command, which a saved game does not keep.
  words[kPhase] = speech.returning ? kSpeechGoingBack : kSpeechShowing;
  words[kRecord] = record;
  PutPoint(words, kPoint, speech.request.x, speech.request.y, speech.request.level);
  PutPoint(words, kCamera, speech.cameraX, speech.cameraY, speech.cameraZ);
  PutPoint(words, kTarget, speech.targetX, speech.targetY, speech.targetZ);
  PutPoint(words, kOrigin, speech.originX, speech.originY, speech.originZ);
  words[kAnchor] = speech.anchorX;
  words[kAnchor + 1] = speech.anchorY;
  words[kTicks] = speech.ticks;
  words[kSpeed] = speech.speed;
  // 0: the box is up (or clicked away: it comes up again); else the frames before it comes.
  words[kBoxCountdown] = speech.box || speech.dismissed ? 0 : std::clamp(speech.boxCountdown, 1, 2);
}

bool CheckScriptSpeech(const CScript& script, const int32_t words[kScriptSpeechWords]) {
  if (words[kPhase] == kSpeechNone) {
    int32_t none[kScriptSpeechWords];
    NoSpeech(none);
    return std::equal(words, words + kScriptSpeechWords, none);
  }
  if (words[kPhase] != kSpeechShowing && words[kPhase] != kSpeechGoingBack) return false;
  return IsDialogue(script, words[kRecord]) && PointOnMap(words, kPoint, true) && PointOnMap(words, kCamera, false) &&
         PointOnMap(words, kTarget, false) && PointOnMap(words, kOrigin, true) &&
         std::abs(words[kAnchor]) <= kMaxAnchor && std::abs(words[kAnchor + 1]) <= kMaxAnchor && words[kTicks] >= 0 &&
         words[kSpeed] >= 0 && words[kSpeed] <= kMaxSpeed && words[kBoxCountdown] >= 0 && words[kBoxCountdown] <= 2;
}

void RestoreScriptSpeech(CScript& script, const int32_t words[kScriptSpeechWords]) {
  CSpeechCtrl& speech = g_speechCtrl;
  if (speech.IsActive()) {
    // Another speech than the loaded battle's: it ends (its layouts are read again).
    speech.Clear();
    speech.LoadConfig();
  }
  if (words[kPhase] == kSpeechNone) return;
  ISpeechBattle* battle = g_speechBattle;
  CRestoringSpeechBattle restoring(*battle);
  g_speechBattle = &restoring;
  const script_actions::MapPoint point{words[kPoint], words[kPoint + 1], words[kPoint + 2]};
  script_actions::Speak(script, words[kRecord], point);
  g_speechBattle = battle;

  speech.cameraX = words[kCamera], speech.cameraY = words[kCamera + 1], speech.cameraZ = words[kCamera + 2];
  speech.targetX = words[kTarget], speech.targetY = words[kTarget + 1], speech.targetZ = words[kTarget + 2];
  speech.originX = words[kOrigin], speech.originY = words[kOrigin + 1], speech.originZ = words[kOrigin + 2];
  speech.anchorX = words[kAnchor];
  speech.anchorY = words[kAnchor + 1];
  speech.speed = words[kSpeed];
  speech.returning = words[kPhase] == kSpeechGoingBack;
  // The glide goes on from where it was, along a line drawn again from there.
  const bool there =
      speech.cameraX == speech.targetX && speech.cameraY == speech.targetY && speech.cameraZ == speech.targetZ;
  speech.stepsLeft = there || !g_speechCamera
                         ? 0
                         : g_speechCamera->StartLine(speech.cameraX, speech.cameraY, speech.cameraZ, speech.targetX,
                                                     speech.targetY, speech.targetZ);
  speech.beenInTargetCell = false;
  speech.ApplyCamera();
  if (!speech.returning && words[kBoxCountdown] == 0) {
    // The box was up, the camera at its goal: two frames of the speech bring the box up and
    // have it wait for its click, as it did.
    speech.boxCountdown = 1;
    speech.Tick();
    speech.Tick();
  } else {
    speech.boxCountdown = std::max(words[kBoxCountdown], 1);
  }
  speech.ticks = words[kTicks];
}
