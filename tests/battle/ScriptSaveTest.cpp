// The script's parts of a saved game: the events in the battle's block and the campaign's
// characters, flags and regions in the saved game. Both come back byte for byte; a block cut
// short or holding a value the engine could not run is refused and changes nothing.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>

#include "ScriptTestWorld.h"
#include "battle/ScriptActions.h"
#include "core/Bytes.h"
#include "support/SavedBlock.h"
#include "ui/SpeechCtrl.h"

namespace script_test {
namespace {

using testing_support::WrittenBytes;
using Bytes = std::vector<uint8_t>;

int LoadWith(const std::function<int(FILE*)>& load, Bytes bytes) {
  FILE* in = bytes.empty() ? std::tmpfile() : fmemopen(bytes.data(), bytes.size(), "rb");
  if (!in) return -2;
  const int result = load(in);
  std::fclose(in);
  return result;
}

Bytes EventBlock() {
  int written = -2;
  Bytes bytes = WrittenBytes([&](FILE* out) { written = g_script.SaveEvents(out); });
  EXPECT_EQ(written, static_cast<int>(bytes.size()));
  return bytes;
}
int LoadEventBlock(const Bytes& bytes) {
  return LoadWith([](FILE* in) { return g_script.LoadEvents(in); }, bytes);
}

Bytes StateBlock() {
  int written = -2;
  Bytes bytes = WrittenBytes([&](FILE* out) { written = CScript::Save(out); });
  EXPECT_EQ(written, static_cast<int>(bytes.size()));
  return bytes;
}
int LoadStateBlock(const Bytes& bytes) { return LoadWith(CScript::Load, bytes); }

constexpr size_t kRecord = 1112;
constexpr size_t kFirstRecord = 8;

class ScriptSave : public ScriptWorld {
 protected:
  // A dialogue, a command (its weights are floats) and a flag event, two ticks under way.
  void LoadThreeEvents() {
    AddArea("Ford", 2, 2, 0, 4, 4, 0);
    Load(Event(1, "EventType=DIALOGUE\nSpeakingCharacter=Herald\nSpeech=Who goes there?\nPrePause=5") +
         Event(2, "EventType=COMMAND\nCommandCharacter=Bran\nThreshold=75\nRating=20\nNumberOfActions=-1") +
         Event(3, "EventType=FLAG\nSetFlag=4\nChangedLocation=Ford\nPostPause=9"));
    TickTo(2);
  }
};

TEST_F(ScriptSave, ThreeEventsMake3756BytesThatComeBackByteForByte) {
  LoadThreeEvents();
  const Bytes saved = EventBlock();
  ASSERT_EQ(saved.size(), 3756u);
  EXPECT_EQ(bytes::LoadI32(saved.data()), kScriptCapacity);
  EXPECT_EQ(bytes::LoadI32(saved.data() + 4), 3);
  // Each record is its 1112 bytes as laid out in memory on this little-endian machine.
  for (int r = 0; r < 3; ++r)
    EXPECT_EQ(std::memcmp(saved.data() + kFirstRecord + r * kRecord, &g_script.Event(r), kRecord), 0) << r;
  EXPECT_EQ(g_script.Event(0).runState, kScriptRunning);  // a state worth keeping
  EXPECT_EQ(g_script.Event(2).snapshotStart, 0);

  g_script.Clear();
  ASSERT_EQ(LoadEventBlock(saved), 3756);
  EXPECT_EQ(g_script.eventCount, 3);
  EXPECT_STREQ(g_script.Event(0).dialogue.speech, "Who goes there?");
  EXPECT_FLOAT_EQ(g_script.Event(1).command.threshold, 0.5f);
  EXPECT_EQ(EventBlock(), saved);
}

TEST_F(ScriptSave, ABattleWithoutEventsSavesAndLoads) {
  g_script.reserved[1] = 0;
  const Bytes saved = EventBlock();
  ASSERT_EQ(saved.size(), 420u);
  LoadThreeEvents();
  EXPECT_EQ(LoadEventBlock(saved), 420);
  EXPECT_EQ(g_script.eventCount, 0);
  EXPECT_EQ(g_script.Event(0).inUse, 0);  // the records beyond the count are reset
  EXPECT_EQ(EventBlock(), saved);
}

TEST_F(ScriptSave, ABadEventBlockIsRefusedAndTheScriptStaysAsItWas) {
  LoadThreeEvents();
  const Bytes good = EventBlock();
  auto word = [](Bytes& b, size_t at, int32_t value) { bytes::StoreI32(b.data() + at, value); };
  const size_t second = kFirstRecord + kRecord;
  const size_t tail = kFirstRecord + 3 * kRecord;
  const struct {
    const char* what;
    std::function<void(Bytes&)> spoil;
  } cases[] = {
      {"count above the capacity", [&](Bytes& b) { word(b, 4, 183); }},
      {"negative count", [&](Bytes& b) { word(b, 4, -1); }},
      {"count beyond the records", [&](Bytes& b) { word(b, 4, 4); }},
      {"type 7", [&](Bytes& b) { word(b, second + 4, 7); }},
      {"type 10", [&](Bytes& b) { word(b, second + 4, 10); }},
      {"run state 3", [&](Bytes& b) { word(b, second + 8, 3); }},
      {"in-use word 2", [&](Bytes& b) { word(b, second, 2); }},
      {"snapshot start 100", [&](Bytes& b) { word(b, second + 32, 100); }},
      {"snapshot start -2", [&](Bytes& b) { word(b, second + 32, -2); }},
      {"unterminated character", [&](Bytes& b) { std::memset(b.data() + kFirstRecord + 136, 'x', kScriptNameSize); }},
      {"unterminated speech", [&](Bytes& b) { std::memset(b.data() + kFirstRecord + 844, 'x', kScriptTextSize); }},
      {"threshold not a number", [&](Bytes& b) { bytes::StoreU32(b.data() + second + 680 + 36, 0x7fc00000u); }},
      {"interface watch 2", [&](Bytes& b) { word(b, tail + 8, 2); }},
  };
  for (const auto& c : cases) {
    Bytes spoiled = good;
    c.spoil(spoiled);
    EXPECT_EQ(LoadEventBlock(spoiled), -1) << c.what;
    EXPECT_EQ(EventBlock(), good) << c.what;
  }
  for (size_t size = 0; size < good.size(); size += 97) {
    EXPECT_EQ(LoadEventBlock(Bytes(good.begin(), good.begin() + static_cast<long>(size))), -1) << size;
    EXPECT_EQ(EventBlock(), good) << size;
  }
  EXPECT_EQ(LoadEventBlock(Bytes(good.begin(), good.end() - 1)), -1);
  EXPECT_EQ(EventBlock(), good);
}

TEST_F(ScriptSave, TheScriptStateIs12904BytesAndComesBackWhole) {
  ScriptActor* bran = g_scriptActors.Register("Bran");
  bran->state = kActorAliveInBattle;
  bran->creature = 7;
  bran->lastCell[0] = 5, bran->lastCell[1] = 6, bran->lastCell[2] = 1;
  bran->keyCharacter = 1;
  g_scriptActors.Register("Herald")->temporary = 1;
  g_scriptActors.SetFlag(59, true);
  g_scriptActors.regionCompletion[43] = 1;
  const Bytes saved = StateBlock();
  ASSERT_EQ(saved.size(), 12904u);
  EXPECT_EQ(std::memcmp(saved.data(), &g_scriptActors.entries[0], 64), 0);

  g_scriptActors.Clear();
  ASSERT_EQ(LoadStateBlock(saved), 12904);
  const ScriptActor* back = g_scriptActors.FindByName("Bran");
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->creature, 7);
  EXPECT_EQ(back->lastCell[1], 6);
  EXPECT_TRUE(g_scriptActors.FlagSet(59));
  EXPECT_TRUE(g_scriptActors.RegionSet(43));
  EXPECT_EQ(StateBlock(), saved);

  // A fresh table saves as 12904 bytes too.
  g_scriptActors.Clear();
  EXPECT_EQ(StateBlock().size(), 12904u);
}

TEST_F(ScriptSave, ABadScriptStateIsRefusedAndTheTableStaysAsItWas) {
  g_scriptActors.Register("Bran")->creature = 3;
  g_scriptActors.SetFlag(2, true);
  const Bytes good = StateBlock();
  auto word = [](Bytes& b, size_t at, int32_t value) { bytes::StoreI32(b.data() + at, value); };
  const struct {
    const char* what;
    std::function<void(Bytes&)> spoil;
  } cases[] = {
      {"in-use word 2", [&](Bytes& b) { word(b, 0, 2); }},
      {"state 6", [&](Bytes& b) { word(b, 36, 6); }},
      {"state 0 in use", [&](Bytes& b) { word(b, 36, 0); }},
      {"state -1 free", [&](Bytes& b) { word(b, 64 + 36, -1); }},
      {"creature beyond the array", [&](Bytes& b) { word(b, 40, kCreatureCapacity); }},
      {"creature -2", [&](Bytes& b) { word(b, 40, -2); }},
      {"unterminated name", [&](Bytes& b) { std::memset(b.data() + 4, 'B', kScriptActorNameSize); }},
  };
  for (const auto& c : cases) {
    Bytes spoiled = good;
    c.spoil(spoiled);
    EXPECT_EQ(LoadStateBlock(spoiled), -1) << c.what;
    EXPECT_EQ(StateBlock(), good) << c.what;
  }
  for (size_t size : {size_t{0}, size_t{63}, size_t{12800}, good.size() - 1}) {
    EXPECT_EQ(LoadStateBlock(Bytes(good.begin(), good.begin() + static_cast<long>(size))), -1) << size;
    EXPECT_EQ(StateBlock(), good) << size;
  }
}

// The speech camera of the tests: straight lines in steps of about 8 map units, and an
// isometric screen around the camera.
struct LineCamera : ISpeechCamera {
  int x = 0, y = 0, z = 0;
  int from[3] = {}, to[3] = {}, steps = 1, step = 0;
  void CameraTile(int& tx, int& ty, int& level) override { tx = x / 32, ty = y / 32, level = z / 16; }
  void MoveCamera(int nx, int ny, int nz) override { x = nx, y = ny, z = nz; }
  void ProjectToScreen(int px, int py, int pz, int& sx, int& sy) override {
    sx = 400 + (px - x) - (py - y);
    sy = 300 + ((px - x) + (py - y)) / 2 - (pz - z);
  }
  int MapWidthTiles() override { return 64; }
  int MapHeightTiles() override { return 48; }
  int StartLine(int x0, int y0, int z0, int x1, int y1, int z1) override {
    const int a[3] = {x0, y0, z0}, b[3] = {x1, y1, z1};
    int longest = 0;
    for (int i = 0; i < 3; ++i) {
      from[i] = a[i], to[i] = b[i];
      longest = std::max(longest, std::abs(b[i] - a[i]));
    }
    steps = longest / 8 + 1;
    step = 0;
    return steps;
  }
  void StepLine(int& px, int& py, int& pz) override {
    step = std::min(step + 1, steps);
    int* out[3] = {&px, &py, &pz};
    for (int i = 0; i < 3; ++i) *out[i] = from[i] + (to[i] - from[i]) * step / steps;
  }
};

struct CountingSpeechBattle : ISpeechBattle {
  int pauses = 0, resumes = 0;
  void Pause() override { ++pauses; }
  void Resume() override { ++resumes; }
};

using SpeechWords = std::array<int32_t, kScriptSpeechWords>;

SpeechWords SavedSpeech() {
  SpeechWords words;
  SaveScriptSpeech(g_script, words.data());
  return words;
}

// The speech of a DIALOGUE event as a saved battle keeps it: saved while the camera glides to
// the speaker, and again while it glides back, and shown again over another camera and no
// speech at all, it saves to the same words, sends no second pause, and goes on to its end.
TEST_F(ScriptSave, ASpeechUnderWayComesBackWordForWord) {
  Load(Event(1, "EventType=DIALOGUE\nSpeakerName=Bran\nSpeech=Over here!"));
  LineCamera camera;
  CountingSpeechBattle battle;
  ISpeechCamera* cameraBefore = g_speechCamera;
  ISpeechBattle* battleBefore = g_speechBattle;
  g_speechCamera = &camera;
  g_speechBattle = &battle;
  EXPECT_EQ(SavedSpeech()[0], kSpeechNone);

  camera.MoveCamera(4 * 32, 4 * 32, 0);
  g_script.Event(0).runState = kScriptRunning;
  script_actions::Speak(g_script, 0, script_actions::MapPoint{50 * 32 + 16, 40 * 32 + 16, 16});
  for (int i = 0; i < 3; ++i) g_speechCtrl.Tick();
  ASSERT_TRUE(g_speechCtrl.IsActive());
  ASSERT_NE(camera.x, g_speechCtrl.targetX);  // on its way
  const SpeechWords gliding = SavedSpeech();
  EXPECT_EQ(gliding[0], kSpeechShowing);
  EXPECT_EQ(gliding[1], 0);
  auto showAgain = [&](const SpeechWords& words) {
    g_speechCtrl.Clear();
    camera.MoveCamera(0, 0, 0);
    ASSERT_TRUE(CheckScriptSpeech(g_script, words.data()));
    RestoreScriptSpeech(g_script, words.data());
    EXPECT_EQ(SavedSpeech(), words);
    EXPECT_EQ(camera.x, words[5]);  // where the glide had it
    EXPECT_EQ(camera.y, words[6]);
  };
  showAgain(gliding);
  EXPECT_EQ(g_speechCtrl.request.text, "Over here!");
  EXPECT_EQ(g_speechCtrl.request.heading, "Bran");
  EXPECT_EQ(battle.pauses, 1);  // the battle's pause is the saved one
  for (int i = 0; i < 3; ++i) g_speechCtrl.Tick();
  EXPECT_NE(camera.x, gliding[5]);  // gliding on

  // The script is done with it: the camera goes back to where the speech found it.
  g_speechCtrl.ReturnCamera();
  g_speechCtrl.Tick();
  const SpeechWords goingBack = SavedSpeech();
  EXPECT_EQ(goingBack[0], kSpeechGoingBack);
  showAgain(goingBack);
  EXPECT_TRUE(g_speechCtrl.returning);
  for (int i = 0; i < 400 && g_speechCtrl.IsActive(); ++i) g_speechCtrl.Tick();
  EXPECT_FALSE(g_speechCtrl.IsActive());
  EXPECT_EQ(battle.resumes, 1);
  EXPECT_EQ(camera.x, 4 * 32);
  EXPECT_EQ(camera.y, 4 * 32);
  EXPECT_EQ(SavedSpeech()[0], kSpeechNone);

  // Words a loader must refuse.
  struct Bad {
    const char* what;
    int word;
    int32_t value;
  };
  const Bad bad[] = {
      {"phase 3", 0, 3},
      {"no dialogue record", 1, 1},
      {"a record past the script", 1, 500},
      {"camera off the map", 5, -5},
      {"target beyond the map", 9, 48 * 64},
      {"half an origin", 11, -1},
      {"an anchor far away", 14, 1 << 20},
      {"ticks below 0", 16, -1},
      {"speed below 0", 17, -1},
      {"a countdown of 3", 18, 3},
  };
  Load(Event(1, "EventType=DIALOGUE\nSpeech=Over here!") + Event(2, "EventType=FLAG\nSetFlag=1"));
  for (const Bad& b : bad) {
    SpeechWords words = gliding;
    words[static_cast<size_t>(b.word)] = b.value;
    EXPECT_FALSE(CheckScriptSpeech(g_script, words.data())) << b.what;
  }
  SpeechWords stray{};
  SaveScriptSpeech(g_script, stray.data());
  stray[4] = 7;  // no speech, but a point
  EXPECT_FALSE(CheckScriptSpeech(g_script, stray.data()));

  g_speechCtrl.Clear();
  g_speechCamera = cameraBefore;
  g_speechBattle = battleBefore;
}

}  // namespace
}  // namespace script_test
