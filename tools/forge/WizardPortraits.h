#pragma once
// The twelve wizard portraits, one look per portrait number 0-11: the face panel shows them
// in battle and the set-up screens on their portrait buttons.

#include "forge/IconArt.h"

namespace forge {

// The round portrait of that number, 80 x 80.
icon::Raster WizardPortrait(int portrait);

}  // namespace forge
