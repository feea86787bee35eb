#include "graphics/PrintFX.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "core/Bytes.h"
#include "core/Options.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "platform/Text.h"

PrintFXRecord* g_printFX = nullptr;
int g_printFXCount = 0;

namespace {

// The first word of a text: leading blanks skipped, cut at the next blank.
std::string FirstWord(const char* text) {
  if (!text) return {};
  while (*text == ' ' || *text == '\t') ++text;
  size_t length = 0;
  while (text[length] && text[length] != ' ' && text[length] != '\t') ++length;
  return std::string(text, length);
}

bool SameName(const std::string& a, const char* b) { return platform::EqualNoCase(a, b); }

}  // namespace

int PrintTypeFromName(const char* text) {
  static const struct {
    const char* name;
    int type;
  } kNames[] = {{"PRT_NONE", PRT_NONE},
                {"PRT_SHADOW", PRT_SHADOW},
                {"PRT_TRANS25", PRT_TRANS25},
                {"PRT_TRANS50", PRT_TRANS50},
                {"PRT_TRANS75", PRT_TRANS75},
                {"PRT_WATER", PRT_WATER},
                {"PRT_OUTLINE", PRT_OUTLINE},
                {"PRT_INC", PRT_INC},
                {"PRT_SHIMMER", PRT_SHIMMER},
                {"PRT_OUTLINE_GOLD", PRT_OUTLINE_GOLD},
                {"PRT_OUTLINE_BLUE", PRT_OUTLINE_BLUE},
                {"PRT_OUTLINE_PINK", PRT_OUTLINE_PINK},
                {"PRT_NORMAL", PRT_NORMAL}};
  const std::string word = FirstWord(text);
  for (const auto& n : kNames)
    if (SameName(word, n.name)) return n.type;
  for (int level = 1; level <= 16; ++level)
    if (SameName(word, ("PRT_SHIMMER_" + std::to_string(level)).c_str())) return PRT_SHIMMER_1 + level - 1;
  return PRT_NONE;
}

int ColourFXFromName(const char* text) {
  static const char* const kNames[] = {"CFX_NORMAL", "CFX_BLUE",  "CFX_RED",    "CFX_DULL",
                                       "CFX_STONE",  "CFX_METAL", "CFX_REDTINT"};
  const std::string word = FirstWord(text);
  for (int i = 0; i < 7; ++i)
    if (SameName(word, kNames[i])) return i;
  return CFX_NORMAL;
}

namespace {

// The comma-separated items of a key (empty items skipped), at most limit of them.
std::vector<std::string> Items(const std::string& value, int limit) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= value.size() && static_cast<int>(items.size()) < limit) {
    size_t comma = value.find(',', start);
    if (comma == std::string::npos) comma = value.size();
    std::string item = value.substr(start, comma - start);
    const size_t equals = item.find('=');
    if (equals != std::string::npos) item.resize(equals);
    if (!item.empty()) items.push_back(item);
    start = comma + 1;
  }
  return items;
}

// Fills steps fields from the items, the last value repeated up to count; answers the
// number of items read.
template <class Convert>
int ReadSteps(const std::string& value, int limit, int count, int* out, Convert convert) {
  std::vector<std::string> items = Items(value, limit);
  for (size_t i = 0; i < items.size(); ++i) out[i] = convert(items[i]);
  for (int i = static_cast<int>(items.size()); i < count && !items.empty(); ++i) out[i] = out[items.size() - 1];
  return static_cast<int>(items.size());
}

int PrintTypeItem(const std::string& item) { return PrintTypeFromName(item.c_str()); }
int NumberItem(const std::string& item) { return platform::TextToInt(item); }

std::string CutAt(std::string text, char stop) {
  const size_t at = text.find(stop);
  if (at != std::string::npos) text.resize(at);
  return text;
}

void ReadRecord(const std::string& path, int index, int previousSteps, PrintFXRecord& record) {
  const std::string section = "PRINTFX_" + std::to_string(index);
  const std::vector<std::string> keys = platform::ReadProfileKeyNames(section, path);
  auto has = [&](const char* key) {
    for (const std::string& k : keys)
      if (platform::EqualNoCase(k, key)) return true;
    return false;
  };
  auto value = [&](const char* key) { return platform::ReadProfileString(section, key, "", path); };
  record.stepCount = previousSteps;
  if (has("PrintType1"))
    record.stepCount = ReadSteps(value("PrintType1"), kMaxPrintFXSteps, 0, record.printType1, PrintTypeItem);
  const int count = record.stepCount;
  if (has("PrintType2")) ReadSteps(value("PrintType2"), count, count, record.printType2, PrintTypeItem);
  if (has("PrintType3")) ReadSteps(value("PrintType3"), count, count, record.printType3, PrintTypeItem);
  if (has("ShadowPrintType")) ReadSteps(value("ShadowPrintType"), count, count, record.shadowPrintType, PrintTypeItem);
  if (has("FrameSteps")) ReadSteps(value("FrameSteps"), count, count, record.frameSteps, NumberItem);
  if (has("LightAdjuster")) ReadSteps(value("LightAdjuster"), count, count, record.lightAdjuster, NumberItem);
  if (has("EndCondition")) {
    const std::string word = FirstWord(CutAt(value("EndCondition"), ';').c_str());
    if (SameName(word, "LOOP"))
      record.endCondition = kPrintFXLoop;
    else if (SameName(word, "END"))
      record.endCondition = kPrintFXEnd;
    else if (SameName(word, "CALLBACK"))
      record.endCondition = kPrintFXCallback;
  }
  if (has("ColourFX")) record.colourFX = ColourFXFromName(CutAt(value("ColourFX"), ';').c_str());
}

}  // namespace

void LoadPrintFX() {
  FreePrintFX();
  char path[512];
  MakeCurrentDirPath("cfg\\printfx.cfg", path, sizeof path);
  const std::string header = platform::ReadProfileString("HEADER", "NumberOfFX", "", path);
  int count = platform::TextToInt(header);
  if (count < 1) count = 0;
  if (count > kMaxPrintFX - 1) count = kMaxPrintFX;
  if (count == 0) return;
  g_printFX = new PrintFXRecord[count]();
  g_printFXCount = count;
  int previousSteps = 0;
  for (int i = 0; i < count; ++i) {
    ReadRecord(path, i, previousSteps, g_printFX[i]);
    previousSteps = g_printFX[i].stepCount;
  }
}

void FreePrintFX() {
  delete[] g_printFX;
  g_printFX = nullptr;
  g_printFXCount = 0;
}

const PrintFXRecord* PrintFXRecordOf(int effect) {
  return effect >= 0 && effect < g_printFXCount ? &g_printFX[effect] : nullptr;
}

CPrintFXPlayer::CPrintFXPlayer() {
  for (int i = 0; i < kStackSize; ++i) effects[i] = colours[i] = -1;
}

CPrintFXPlayer::CPrintFXPlayer(const CPrintFXPlayer& other) { *this = other; }

CPrintFXPlayer& CPrintFXPlayer::operator=(const CPrintFXPlayer& other) {
  step = other.step;
  frameCounter = other.frameCounter;
  std::copy(std::begin(other.effects), std::end(other.effects), std::begin(effects));
  effectCount = other.effectCount;
  std::copy(std::begin(other.colours), std::end(other.colours), std::begin(colours));
  colourCount = other.colourCount;
  currentEffect = other.currentEffect;
  currentColour = other.currentColour;
  return *this;
}

int CPrintFXPlayer::PushEffect(int effect) {
  if (effectCount >= kStackSize) return effectCount;
  effects[effectCount++] = effect;
  step = frameCounter = 0;
  currentEffect = effect;
  const PrintFXRecord* record = CurrentRecord();
  const int colour = record ? record->colourFX : 0;
  if (colour != 0 && colourCount < kStackSize) {
    colours[colourCount++] = colour;
    currentColour = colour;
  }
  return colour;
}

namespace {
// Removes the first match above the bottom entry; answers whether one was removed.
bool RemoveAboveBottom(int* stack, int& count, int value) {
  for (int i = 1; i < count; ++i) {
    if (stack[i] != value) continue;
    for (int j = i; j + 1 < count; ++j) stack[j] = stack[j + 1];
    stack[--count] = -1;
    return true;
  }
  return false;
}
}  // namespace

void CPrintFXPlayer::RemoveEffect(int effect) {
  const PrintFXRecord* record = CurrentRecord();
  if (record && record->colourFX != 0) RemoveAboveBottom(colours, colourCount, record->colourFX);
  currentColour = colourCount > 0 ? colours[colourCount - 1] : 0;
  RemoveAboveBottom(effects, effectCount, effect);
  MakeTopCurrent();
}

void CPrintFXPlayer::MakeTopCurrent() {
  currentEffect = effectCount > 0 ? effects[effectCount - 1] : -1;
  step = frameCounter = 0;
}

int CPrintFXPlayer::PushColourFX(int colour) {
  if (colourCount < kStackSize) {
    colours[colourCount++] = colour;
    currentColour = colour;
  }
  return colourCount;
}

void CPrintFXPlayer::RemoveColourFX(int colour) {
  RemoveAboveBottom(colours, colourCount, colour);
  currentColour = colourCount > 0 ? colours[colourCount - 1] : 0;
}

void CPrintFXPlayer::Step() {
  const PrintFXRecord* record = CurrentRecord();
  if (!record) return;
  ++frameCounter;
  // A step that lasts 0 frames or fewer still takes one.
  const int frames = step >= 0 && step < kMaxPrintFXSteps ? record->frameSteps[step] : 1;
  if (frameCounter >= (frames > 0 ? frames : 1)) {
    frameCounter = 0;
    ++step;
  }
  if (step < record->stepCount) return;
  const int effect = currentEffect;
  switch (record->endCondition) {
    case kPrintFXEnd:
      RemoveEffect(effect);
      break;
    case kPrintFXCallback:
      RemoveEffect(effect);
      if (owner) owner->OnPrintEffectEnd(effect);
      break;
    default:
      step = frameCounter = 0;
      break;
  }
}

void CPrintFXPlayer::Clear() {
  effectCount = colourCount = 0;
  currentEffect = -1;
  currentColour = 0;
}

int CPrintFXPlayer::GetCurrentEffect() const { return effectCount > 0 ? effects[effectCount - 1] : -1; }

int CPrintFXPlayer::Save(FILE* stream) const {
  if (!stream) return -1;
  bool ok = bytes::WriteU32(stream, static_cast<uint32_t>(step)) &&
            bytes::WriteU32(stream, static_cast<uint32_t>(frameCounter)) &&
            bytes::WriteU32(stream, static_cast<uint32_t>(effectCount));
  for (int i = 0; ok && i < effectCount; ++i) ok = bytes::WriteU32(stream, static_cast<uint32_t>(effects[i]));
  ok = ok && bytes::WriteU32(stream, static_cast<uint32_t>(colourCount));
  for (int i = 0; ok && i < colourCount; ++i) ok = bytes::WriteU32(stream, static_cast<uint32_t>(colours[i]));
  ok = ok && bytes::WriteU32(stream, static_cast<uint32_t>(currentColour));
  return ok ? 20 + 4 * effectCount + 4 * colourCount : -1;
}

int CPrintFXPlayer::Load(FILE* stream) {
  if (!stream) return -1;
  uint32_t v[3];
  if (!bytes::ReadU32(stream, v[0]) || !bytes::ReadU32(stream, v[1]) || !bytes::ReadU32(stream, v[2])) return -1;
  const int32_t newEffectCount = static_cast<int32_t>(v[2]);
  if (newEffectCount < 0 || newEffectCount > kStackSize) return -1;
  int newEffects[kStackSize], newColours[kStackSize];
  for (int i = 0; i < newEffectCount; ++i) {
    uint32_t e;
    if (!bytes::ReadU32(stream, e)) return -1;
    newEffects[i] = static_cast<int32_t>(e);
  }
  uint32_t k;
  if (!bytes::ReadU32(stream, k)) return -1;
  const int32_t newColourCount = static_cast<int32_t>(k);
  if (newColourCount < 0 || newColourCount > kStackSize) return -1;
  for (int i = 0; i < newColourCount; ++i) {
    uint32_t c;
    if (!bytes::ReadU32(stream, c)) return -1;
    newColours[i] = static_cast<int32_t>(c);
  }
  uint32_t colour;
  if (!bytes::ReadU32(stream, colour)) return -1;
  step = static_cast<int32_t>(v[0]);
  frameCounter = static_cast<int32_t>(v[1]);
  effectCount = newEffectCount;
  colourCount = newColourCount;
  for (int i = 0; i < kStackSize; ++i) {
    effects[i] = i < effectCount ? newEffects[i] : -1;
    colours[i] = i < colourCount ? newColours[i] : -1;
  }
  currentColour = static_cast<int32_t>(colour);
  currentEffect = effectCount > 0 ? effects[effectCount - 1] : -1;
  return 20 + 4 * effectCount + 4 * colourCount;
}
