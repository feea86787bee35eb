#include "ui/PlaceholderMenu.h"

#include "graphics/Display.h"
#include "graphics/Surface.h"
#include "ui/Cursor.h"

void CPlaceholderMenu::Update() {
  if (!g_backBuffer.IsCreated() || !g_primary.IsCreated()) return;
  g_backBuffer.Fill(0);
  g_cursorTimerMayDraw = false;
  DrawSoftwareCursor();
  PresentWorkSurface();
  g_cursorTimerMayDraw = true;
}

int CPlaceholderMenu::OnMessage(platform::WindowHandle, unsigned message, uintptr_t wParam, intptr_t) {
  if (message == platform::WM_KEYDOWN && wParam == static_cast<uintptr_t>(platform::VK_ESCAPE)) PopScreen();
  return 0;
}
