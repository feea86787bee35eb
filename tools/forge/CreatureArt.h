#pragma once
// The creature animation files: creatures\<name>.ani with its sprite creatures\<name>.spr
// for the 23 named types, the herald and the six wizard looks, and the same names under
// "creatures\16Mb Anims\" for the cut-down set (the CutDownAnims preference), whose pictures
// are plainer but whose step programs (frames, delays, events, offsets) are the same bytes.
//
// A frame's hot spot is the creature's ground point: the centre of its (first) cell. A two
// tile figure stands centred 16 units further on in x and y, 16 pixels lower on screen in
// the first view rotation (the creature's frame offsets are corrected for the others).
// Frames are cropped to their pixels; a picture that repeats is one frame.

#include <cstdint>
#include <string>
#include <vector>

#include "forge/CreatureLook.h"
#include "forge/CreatureSequences.h"
#include "forge/FigurePalette.h"

namespace forge {

struct CreatureArtFile {
  std::string name;   // file name without extension: "brownie", "wizard3"
  int type = 0;       // the creature type it serves (0 for the wizard looks)
  CreatureLook look;  // its look, two tiles wide when the type is
  CreatureTraits traits;
};

// The 30 files, in a fixed order.
std::vector<CreatureArtFile> CreatureArtFiles();
// The art file of a name; throws when there is none.
CreatureArtFile CreatureArtFileNamed(const std::string& name);

struct ForgedCreatureArt {
  std::vector<uint8_t> animation;    // the same for both sets
  std::vector<uint8_t> sprite;       // the normal set
  std::vector<uint8_t> plainSprite;  // the cut-down set
};

// Draws and encodes one file on up to `threads` threads; the bytes do not depend on them.
ForgedCreatureArt ForgeCreatureArt(const CreatureArtFile& file, int threads);

// The folders of the two sets.
inline constexpr const char* kCreatureFolder = "creatures\\";
inline constexpr const char* kCutDownCreatureFolder = "creatures\\16Mb Anims\\";

}  // namespace forge
