#pragma once
// The looks of every creature animation file: the 23 named creature types, the herald and
// the six wizard looks, by file name.

#include <string_view>
#include <vector>

#include "forge/CreatureLook.h"

namespace forge {

// Every look, in a fixed order: types 1-23 by type number, then the herald, then wizard1-6.
const std::vector<CreatureLook>& CreatureLooks();
// The look of a file name ("brownie", "wizard3"); throws for an unknown name.
const CreatureLook& LookNamed(std::string_view name);

}  // namespace forge
