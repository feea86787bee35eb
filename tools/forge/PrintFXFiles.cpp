// cfg\printfx.cfg: the print effects the creatures and objects run, numbered by section.
#include <iterator>
#include <string>

#include "forge/Forge.h"
#include "forge/IniText.h"

namespace {

struct Effect {
  const char* comment;
  const char* printType1;
  const char* printType2;
  const char* shadow;
  const char* frameSteps;
  const char* light;
  const char* end;
  const char* colour;
};

// Each line: what the effect is for, then its keys (empty: the key is left out).
// The numbers are the ones the creature rules push: a creature arrives with 0 and then 5 (3
// and 14 for type 13); conditions start 3, 5 and 6; a teleport runs 9 to its callback and
// then 10; an illusion fades with 8 to its callback; its owner sees it through 7 (12 for
// type 13) once 5 or 14 ends.
const Effect kEffects[] = {
    {"0 plain", "PRT_NORMAL", "PRT_NONE", "PRT_SHADOW", "1", "0", "LOOP", ""},
    {"1 sighted: a gold flash", "PRT_OUTLINE_GOLD,prt_normal,PRT_OUTLINE_GOLD,PRT_NORMAL", "PRT_NONE", "PRT_SHADOW",
     "3,3,3,3", "20,0,20,0", "END", ""},
    {"2 hit: a red flash", "PRT_NORMAL,PRT_NORMAL", "", "PRT_SHADOW", "2,2", "40,0", "END ; back to what was shown",
     "CFX_RED"},
    {"3 invisible", "PRT_TRANS25", "", "PRT_NONE", "1", "0", "LOOP", ""},
    {"4 stoned", "PRT_NORMAL", "", "PRT_SHADOW", "1", "-10", "LOOP", "CFX_STONE"},
    {"5 iron skin: a metal sheen (also the sheen of a creature arriving)", "PRT_NORMAL,PRT_INC,PRT_NORMAL", "",
     "PRT_SHADOW", "4,6,4", "10,30,10", "END", "CFX_METAL"},
    {"6 blood lust (and invisibility wearing off)", "PRT_NORMAL,PRT_OUTLINE_PINK", "", "PRT_SHADOW", "6,6", "0,10",
     "LOOP", "CFX_REDTINT"},
    {"7 an illusion as its owner sees it: a shimmering haze", "PRT_SHIMMER_16,PRT_SHIMMER_8,PRT_SHIMMER_4", "",
     "PRT_NONE", "2,2,2", "0", "LOOP", ""},
    {"8 illusion fading", "PRT_TRANS75,PRT_TRANS50,PRT_TRANS25", "", "PRT_NONE", "8,8,8", "0", "CALLBACK", ""},
    {"9 teleport: vanishing, then the move", "PRT_TRANS75,PRT_TRANS50,PRT_TRANS25", "", "PRT_NONE", "4,4,4", "20,30,40",
     "CALLBACK", ""},
    {"10 arrival after a teleport", "PRT_TRANS25,PRT_TRANS50,PRT_TRANS75,PRT_NORMAL", "", "PRT_SHADOW", "4,4,4,2",
     "40,30,20,0", "END", ""},
    {"11 subverted: blue outline", "PRT_OUTLINE_BLUE,PRT_NORMAL", "", "PRT_SHADOW", "4,4", "0", "END", "CFX_BLUE"},
    {"12 an illusion of type 13 as its owner sees it: a watery haze", "\"  PRT_WATER x\"", "", "PRT_NONE", "1", "0",
     "LOOP", "CFX_BLUE"},
    {"13 glowing", "PRT_INC", "PRT_NORMAL", "PRT_SHADOW", "1", "0", "LOOP", ""},
    {"14 dulled (a creature of type 13 arriving)", "PRT_NORMAL", "", "PRT_SHADOW", "20", "-20", "END", "CFX_DULL"},
    {"15 rising", "PRT_SHIMMER,PRT_NORMAL", "", "PRT_SHADOW", "10,10", "0", "END", ""},
    {"16 healed: a white outline", "PRT_OUTLINE,PRT_NORMAL", "", "PRT_SHADOW", "4,4", "60,0", "END", ""},
};

FORGE_STEP(PrintEffects) {
  forge::IniText ini;
  ini.Comment("Print effects: per step the print types of up to three layers and the shadow, the frames");
  ini.Comment("the step lasts and a light adjustment; what happens after the last step; the colour effect.");
  ini.Section("HEADER").Key("NumberOfFX", static_cast<int>(std::size(kEffects)));
  int index = 0;
  for (const Effect& e : kEffects) {
    ini.Section("PRINTFX_" + std::to_string(index++));
    ini.Comment(e.comment);
    ini.Key("PrintType1", e.printType1);
    if (*e.printType2) ini.Key("PrintType2", e.printType2);
    ini.Key("ShadowPrintType", e.shadow);
    ini.Key("FrameSteps", e.frameSteps);
    ini.Key("LightAdjuster", e.light);
    ini.Key("EndCondition", e.end);
    if (*e.colour) ini.Key("ColourFX", e.colour);
  }
  ctx.WriteText("cfg\\printfx.cfg", ini.Text());
}

}  // namespace
