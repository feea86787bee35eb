#pragma once
// The screens of a battle's end: the victory and defeat screen of a campaign battle, the
// results of a quick or network battle and the Experience Processing screen.

#include "forge/ScreenLayout.h"

namespace forge {

// "Interface\BattleEnd\screen (Battle End - Victory).cfg" or "... - Defeat).cfg": TEXT_1-20
// (two column heads, seven award rows of name and points, the total's caption, sum and
// "/ out of", the defeat's reason) and TEXTBUTTON_1.
ScreenLayout BattleEndLayout(bool victory);
// "Interface\QuickBattleEnd\screen (Quick Battle End).cfg": TEXT_1-26 (the title, five column
// heads, four rows of five), TEXTBUTTON_1-3, PICTUREBOX_1-4 (the rows' portraits).
ScreenLayout QuickBattleEndLayout();
ScreenLayout ExperienceProcessingLayout();

}  // namespace forge
