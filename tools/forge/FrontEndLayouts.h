#pragma once
// The front end's menu screens as the forge writes them: their layout files and their painted
// backgrounds. Tests read the layouts to find the buttons.

#include "forge/ScreenLayout.h"

namespace forge {

// "Interface\MainScreen\screen (MainMenu).cfg": TEXTBUTTON_1-6, TEXT_1 (the version).
ScreenLayout MainMenuLayout();
// "Interface\QuickBattleMainMenu\Screen (Quick Battle Main Menu).cfg": TEXTBUTTON_1-4, TEXT_1.
ScreenLayout QuickBattleMenuLayout();
// "Interface\MapSelectionScreen\screen (Map Selection Screen).cfg": TEXTBUTTON_1 (accept),
// TEXTBUTTON_2 (cancel), LISTBOX_1, TEXT_1.
ScreenLayout MapSelectionLayout();

// The centre of a widget's rectangle at a resolution (800 x 600 or 640 x 480).
struct LayoutPoint {
  int x = 0, y = 0;
};
LayoutPoint WidgetCentre(const ScreenLayout& layout, WidgetKind kind, int number, bool highRes);

}  // namespace forge
