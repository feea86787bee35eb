#include "frontend/ScreenTable.h"

namespace {
CScreen* g_frontEndScreens[static_cast<int>(FrontEndScreen::kCount)] = {};

bool Listed(FrontEndScreen which) { return which >= FrontEndScreen::kRealmView && which < FrontEndScreen::kCount; }
}  // namespace

CScreen* FindFrontEndScreen(FrontEndScreen which) {
  return Listed(which) ? g_frontEndScreens[static_cast<int>(which)] : nullptr;
}

void SetFrontEndScreen(FrontEndScreen which, CScreen* screen) {
  if (Listed(which)) g_frontEndScreens[static_cast<int>(which)] = screen;
}
