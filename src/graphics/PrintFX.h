#pragma once
// Print types, colour effects, the print-effect table of cfg\printfx.cfg and the player
// that runs print effects on a creature or object.

#include <cstdint>
#include <cstdio>

// Print types (which printer draws a sprite).
enum PrintType : int {
  PRT_NONE = -1,
  PRT_SHADOW = 1,
  PRT_TRAIL = 2,  // no name in the files
  PRT_TRANS25 = 3,
  PRT_TRANS50 = 4,
  PRT_TRANS75 = 5,
  PRT_WATER = 6,
  PRT_OUTLINE = 7,
  PRT_INC = 10,
  PRT_SHIMMER = 11,
  PRT_OUTLINE_GOLD = 12,
  PRT_OUTLINE_BLUE = 13,
  PRT_OUTLINE_PINK = 14,
  PRT_SHIMMER_1 = 15,  // to PRT_SHIMMER_16 = 30
  PRT_SHIMMER_8 = 22,
  PRT_SHIMMER_16 = 30,
  PRT_NORMAL = 31,
  PRT_BLACK = -127,  // no name in the files
};

enum ColourFX : int { CFX_NORMAL, CFX_BLUE, CFX_RED, CFX_DULL, CFX_STONE, CFX_METAL, CFX_REDTINT };

// Names to numbers: leading blanks skipped, the name cut at the next blank, compared
// without regard to case. Unknown print types give -1, unknown colour effects 0.
int PrintTypeFromName(const char* text);
int ColourFXFromName(const char* text);

constexpr int kMaxPrintFXSteps = 30;
constexpr int kMaxPrintFX = 500;

enum PrintFXEnd : int { kPrintFXLoop = 0, kPrintFXEnd = 1, kPrintFXCallback = 2 };

struct PrintFXRecord {
  int printType1[kMaxPrintFXSteps];
  int printType2[kMaxPrintFXSteps];
  int printType3[kMaxPrintFXSteps];
  int shadowPrintType[kMaxPrintFXSteps];
  int frameSteps[kMaxPrintFXSteps];
  int lightAdjuster[kMaxPrintFXSteps];
  int endCondition;
  int colourFX;
  int stepCount;
};

extern PrintFXRecord* g_printFX;
extern int g_printFXCount;

// Reads cfg\printfx.cfg (in the current directory) into the table; records start zeroed.
void LoadPrintFX();
void FreePrintFX();
// The record of an effect number, or null outside the table.
const PrintFXRecord* PrintFXRecordOf(int effect);

// Told when an effect that ends with CALLBACK has run its last step.
class CPrintFXOwner {
 public:
  virtual void OnPrintEffectEnd(int effect) = 0;

 protected:
  ~CPrintFXOwner() = default;
};

class CPrintFXPlayer {
 public:
  static constexpr int kStackSize = 30;

  CPrintFXPlayer();
  // The owner belongs to the object that holds the player, not to its state: a copy starts
  // without one and an assignment keeps the one it has, so a record copied or moved about
  // in a pool never calls back to another record.
  CPrintFXPlayer(const CPrintFXPlayer& other);
  CPrintFXPlayer& operator=(const CPrintFXPlayer& other);

  // Pushes an effect (refused, answering the count, when 30 are stacked) and its colour
  // effect; answers the colour effect.
  int PushEffect(int effect);
  // Removes the current record's colour effect and the effect (the first match above the
  // bottom entry of each stack, which is never removed); the new top restarts.
  void RemoveEffect(int effect);
  int PushColourFX(int colour);
  void RemoveColourFX(int colour);
  // One frame of the top effect.
  void Step();
  void Clear();
  // The effect on top of the stack, -1 when empty.
  int GetCurrentEffect() const;
  // The record of the top effect, or null.
  const PrintFXRecord* CurrentRecord() const { return currentEffect < 0 ? nullptr : PrintFXRecordOf(currentEffect); }

  // The save block: bytes written or read, -1 on a stream error or a block that does not
  // fit the stacks (the player is then left as it was).
  int Save(FILE* stream) const;
  int Load(FILE* stream);

  int step = 0;
  int frameCounter = 0;
  int effects[kStackSize];
  int effectCount = 0;
  int colours[kStackSize];
  int colourCount = 0;
  CPrintFXOwner* owner = nullptr;
  int currentEffect = -1;  // the effect whose record is current, -1 for none
  int currentColour = 0;

 private:
  void MakeTopCurrent();
};
