#pragma once
// The body-part sprites: creatures\bodyparts\<name>.spr per creature type (wiz3n1.spr for
// the wizards, none for the herald) and the offal sprites offal.spr and offalsml.spr. Each
// holds parts of nine frames: eight tumbling, one lying on the ground.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "forge/CreatureLook.h"

namespace forge {

inline constexpr const char* kBodyPartFolder = "creatures\\bodyparts\\";

// The sprite of a look's parts.
std::vector<uint8_t> BodyPartSprite(const CreatureLook& look);
// Every body-part file: its path below the data folder and its bytes.
std::vector<std::pair<std::string, std::vector<uint8_t>>> BodyPartFiles();

}  // namespace forge
