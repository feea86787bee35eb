#include "game/ScriptedInput.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "battle/Battle.h"
#include "core/Random.h"
#include "graphics/Display.h"
#include "graphics/Surface.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Png.h"
#include "platform/Text.h"
#include "platform/Window.h"
#include "ui/Screen.h"

namespace {

struct KeyName {
  const char* name;
  int key;
};
constexpr KeyName kKeyNames[] = {
    {"RETURN", platform::VK_RETURN}, {"ESCAPE", platform::VK_ESCAPE}, {"TAB", platform::VK_TAB},
    {"SPACE", platform::VK_SPACE},   {"UP", platform::VK_UP},         {"DOWN", platform::VK_DOWN},
    {"LEFT", platform::VK_LEFT},     {"RIGHT", platform::VK_RIGHT},   {"SHIFT", platform::VK_SHIFT},
    {"CTRL", platform::VK_CONTROL},  {"ALT", platform::VK_MENU},      {"PGUP", platform::VK_PRIOR},
    {"PGDN", platform::VK_NEXT},     {"HOME", platform::VK_HOME},     {"END", platform::VK_END},
    {"BACK", platform::VK_BACK},     {"DELETE", platform::VK_DELETE}, {"INSERT", platform::VK_INSERT},
};
// The keys of the punctuation characters, by the character they type.
constexpr KeyName kPunctuationKeys[] = {{";", 0xBA}, {"=", 0xBB}, {",", 0xBC},  {"-", 0xBD}, {".", 0xBE}, {"/", 0xBF},
                                        {"`", 0xC0}, {"[", 0xDB}, {"\\", 0xDC}, {"]", 0xDD}, {"'", 0xDE}};

bool IsNumber(const std::string& word) {
  return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A key's name, its character or its code, with the character it types (0 for none); key 0
// for none of these.
struct ScriptKey {
  int key = 0;
  char typed = 0;
};

ScriptKey KeyOf(const std::string& word) {
  for (const KeyName& entry : kKeyNames)
    if (platform::EqualNoCase(word, entry.name)) return {entry.key, entry.key == platform::VK_SPACE ? ' ' : '\0'};
  if (word.size() == 1) {
    const char c = word[0];
    if (c >= 'a' && c <= 'z') return {c - 'a' + 'A', c};
    if (c >= 'A' && c <= 'Z') return {c, static_cast<char>(c - 'A' + 'a')};
    if (c >= '0' && c <= '9') return {c, c};
    for (const KeyName& entry : kPunctuationKeys)
      if (word == entry.name) return {entry.key, c};
    return {};
  }
  if ((word[0] == 'F' || word[0] == 'f') && IsNumber(word.substr(1))) {
    const int number = platform::TextToInt(word.substr(1));
    if (number >= 1 && number <= 12) return {platform::VK_F1 + number - 1, 0};
  }
  const int code = IsNumber(word) ? platform::TextToInt(word) : 0;
  if (code <= 0 || code >= 256) return {};
  // A code of a letter or digit types its character as the key does.
  const bool letter = code >= 'A' && code <= 'Z', digit = code >= '0' && code <= '9';
  return {code, letter ? static_cast<char>(code - 'A' + 'a') : digit ? static_cast<char>(code) : '\0'};
}

// One line's command; false with the reason when it cannot be read.
bool ParseCommand(std::istringstream& words, const std::string& first, ScriptCommand& command, std::string& why) {
  if (!IsNumber(first) || platform::TextToInt(first) < 1) {
    why = "a frame number from 1 was expected";
    return false;
  }
  command.frame = platform::TextToInt(first);
  std::string verb, a, b;
  words >> verb >> a >> b;
  if (verb == "click" || verb == "rclick" || verb == "press" || verb == "release" || verb == "move") {
    command.kind = verb == "click"    ? ScriptCommand::kClick
                   : verb == "rclick" ? ScriptCommand::kRightClick
                   : verb == "press"  ? ScriptCommand::kPress
                   : verb == "move"   ? ScriptCommand::kMove
                                      : ScriptCommand::kRelease;
    if (!IsNumber(a) || !IsNumber(b)) {
      why = "a " + verb + " needs x and y";
      return false;
    }
    command.x = platform::TextToInt(a);
    command.y = platform::TextToInt(b);
  } else if (verb == "key" || verb == "keydown" || verb == "keyup") {
    command.kind = verb == "key"       ? ScriptCommand::kKey
                   : verb == "keydown" ? ScriptCommand::kKeyDown
                                       : ScriptCommand::kKeyUp;
    const ScriptKey key = KeyOf(a);
    command.key = key.key;
    command.typed = key.typed;
    if (command.key == 0) {
      why = "unknown key '" + a + "'";
      return false;
    }
  } else if (verb == "png") {
    command.kind = ScriptCommand::kPng;
    command.file = a;
    if (a.empty()) {
      why = "png needs a file name";
      return false;
    }
  } else if (verb == "battle") {
    if (a != "won" && a != "lost") {
      why = "battle needs won or lost";
      return false;
    }
    command.action = a == "won" ? ScriptCommand::kWinBattle : ScriptCommand::kLoseBattle;
  } else if (verb == "close") {
    command.kind = ScriptCommand::kClose;
  } else if (verb == "seed") {
    command.kind = ScriptCommand::kSeed;
    if (!IsNumber(a) || a.size() > 10 || std::strtoull(a.c_str(), nullptr, 10) > UINT32_MAX) {
      why = "seed needs a number below 2^32";
      return false;
    }
    command.seed = static_cast<uint32_t>(std::strtoull(a.c_str(), nullptr, 10));
  } else {
    why = "unknown command '" + verb + "'";
    return false;
  }
  return true;
}

// What the effects do when a battle is decided: the player's victory or the loss of its
// wizard; the battle's end countdown takes it from there.
void EndRunningBattle(bool won) {
  if (!g_battle || !g_battle->loaded) return;
  if (won)
    g_battle->victoryReached = 1;
  else
    g_battle->wizardLostByEffect = 1;
}

std::unique_ptr<CScriptedInput> g_scriptedInput;
int g_scriptFrame = 0;

}  // namespace

InputScript ParseInputScript(const std::string& text) {
  InputScript script;
  std::istringstream lines(text);
  std::string line;
  int screen = 0, screenTime = 1;
  for (int number = 1; std::getline(lines, line); ++number) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string first;
    if (!(words >> first)) continue;
    if (first == "log") {
      words >> script.logFile;
      continue;
    }
    if (first == "on") {
      std::string id, time;
      words >> id >> time;
      if (IsNumber(id) && (time.empty() || (IsNumber(time) && platform::TextToInt(time) >= 1))) {
        screen = platform::TextToInt(id);
        screenTime = time.empty() ? 1 : platform::TextToInt(time);
      } else {
        script.errors.push_back("line " + std::to_string(number) + ": a screen id (and a count from 1) was expected");
      }
      continue;
    }
    ScriptCommand command;
    std::string why;
    if (ParseCommand(words, first, command, why)) {
      command.screen = screen;
      command.screenTime = screenTime;
      (screen ? script.onScreen : script.commands).push_back(command);
    } else
      script.errors.push_back("line " + std::to_string(number) + ": " + why);
  }
  std::stable_sort(script.commands.begin(), script.commands.end(),
                   [](const ScriptCommand& a, const ScriptCommand& b) { return a.frame < b.frame; });
  return script;
}

CScriptedInput::~CScriptedInput() {
  if (log_) std::fclose(log_);
}

bool CScriptedInput::Load(const char* path) {
  std::vector<uint8_t> bytes;
  if (!path || !platform::ReadWholeFile(path, bytes)) {
    std::fprintf(stderr, "VRASK_SCRIPT: cannot read %s\n", path ? path : "(none)");
    return false;
  }
  Use(ParseInputScript(std::string(bytes.begin(), bytes.end())));
  return true;
}

void CScriptedInput::Use(InputScript script) {
  script_ = std::move(script);
  next_ = 0;
  lastScreen_ = -1;
  framesOn_.clear();
  timesOn_.clear();
  onScreenDone_.assign(script_.onScreen.size(), false);
  for (const std::string& error : script_.errors) std::fprintf(stderr, "VRASK_SCRIPT: %s\n", error.c_str());
  if (log_) std::fclose(log_);
  log_ = script_.logFile.empty() ? nullptr : platform::OpenFile(script_.logFile.c_str(), "w");
  // A run whose screen log is missing would look like one that never changed screen.
  if (!script_.logFile.empty() && !log_)
    std::fprintf(stderr, "VRASK_SCRIPT: cannot write the screen log %s\n", script_.logFile.c_str());
}

void CScriptedInput::Frame(int frame, int topScreenId) {
  if (topScreenId != lastScreen_) {
    framesOn_.emplace(std::make_pair(topScreenId, ++timesOn_[topScreenId]), frame);
    if (log_) {
      std::fprintf(log_, "%d %d\n", frame, topScreenId);
      std::fflush(log_);
    }
  }
  lastScreen_ = topScreenId;
  while (next_ < script_.commands.size() && script_.commands[next_].frame <= frame) Run(script_.commands[next_++]);
  for (size_t i = 0; i < script_.onScreen.size(); ++i) {
    const ScriptCommand& command = script_.onScreen[i];
    const auto seen = framesOn_.find({command.screen, command.screenTime});
    if (onScreenDone_[i] || seen == framesOn_.end() || seen->second + command.frame - 1 > frame) continue;
    onScreenDone_[i] = true;
    Run(command);
  }
}

void CScriptedInput::Run(const ScriptCommand& command) {
  if (command.action != ScriptCommand::kNoAction) {
    EndRunningBattle(command.action == ScriptCommand::kWinBattle);
    return;
  }
  switch (command.kind) {
    case ScriptCommand::kClick:
    case ScriptCommand::kRightClick: {
      const bool left = command.kind == ScriptCommand::kClick;
      platform::SimulateMouseMove(command.x, command.y);
      platform::SimulateMouseButton(left, true, command.x, command.y);
      platform::SimulateMouseButton(left, false, command.x, command.y);
      break;
    }
    case ScriptCommand::kMove:
      platform::SimulateMouseMove(command.x, command.y);
      break;
    case ScriptCommand::kPress:
    case ScriptCommand::kRelease:
      platform::SimulateMouseMove(command.x, command.y);
      platform::SimulateMouseButton(true, command.kind == ScriptCommand::kPress, command.x, command.y);
      break;
    case ScriptCommand::kKey:
    case ScriptCommand::kKeyDown:
      platform::SimulateKey(command.key, true);
      // A key that types a character gives it too, as a keyboard does (letters in lower case).
      if (command.typed != 0) {
        const char text[2] = {command.typed, 0};
        platform::SimulateText(text);
      }
      if (command.kind == ScriptCommand::kKey) platform::SimulateKey(command.key, false);
      break;
    case ScriptCommand::kKeyUp:
      platform::SimulateKey(command.key, false);
      break;
    case ScriptCommand::kPng:
      if (!SaveShownFrame(command.file)) std::fprintf(stderr, "VRASK_SCRIPT: cannot save %s\n", command.file.c_str());
      break;
    case ScriptCommand::kClose:
      platform::SimulateCloseRequest();
      break;
    case ScriptCommand::kSeed:
      g_random.Seed(command.seed);
      break;
  }
}

bool SaveShownFrame(const std::string& path) {
  if (!g_primary.IsCreated()) return false;
  const uint16_t* pixels = g_primary.Lock();
  if (!pixels) return false;
  std::vector<uint16_t> frame;
  frame.reserve(static_cast<size_t>(g_primary.width) * g_primary.height);
  for (int y = 0; y < g_primary.height; ++y) {
    const auto* row = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                        static_cast<size_t>(y) * g_primary.pitch);
    frame.insert(frame.end(), row, row + g_primary.width);
  }
  g_primary.Unlock(const_cast<uint16_t*>(pixels));
  return platform::WritePng565(path, g_primary.width, g_primary.height, frame);
}

void StartScriptedInput() {
  const char* path = std::getenv("VRASK_SCRIPT");
  g_scriptFrame = 0;
  if (!path || !*path) return;
  auto input = std::make_unique<CScriptedInput>();
  if (input->Load(path)) g_scriptedInput = std::move(input);
}

void ScriptedInputFrame() {
  if (!g_scriptedInput) return;
  g_scriptedInput->Frame(++g_scriptFrame, g_currentScreen ? g_currentScreen->id : 0);
}
