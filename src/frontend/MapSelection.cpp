#include "frontend/MapSelection.h"

#include "core/GameSettings.h"
#include "frontend/MultiplayerRegions.h"
#include "frontend/ScreenTable.h"
#include "graphics/Display.h"
#include "ui/Cursor.h"
#include "ui/ListBox.h"

CMapSelectionScreen* g_mapSelection = nullptr;

namespace {
constexpr size_t kMaxClickedText = 255;
}  // namespace

CMapSelectionScreen::CMapSelectionScreen()
    : CFrontEndMenu(kScreenMapSelection, "Interface\\MapSelectionScreen\\", "screen (Map Selection Screen).cfg",
                    {{kWidgetTextButton, 1, true},
                     {kWidgetTextButton, 2, true},
                     {kWidgetListBox, 1, true},
                     {kWidgetText, 1, false}}) {}

void CMapSelectionScreen::SetCaller(int screenId, IMapSelectionCaller* screen) {
  callerScreenId = screenId;
  caller = screen;
}

void CMapSelectionScreen::AfterLoad() {
  CListBox* list = List(0);
  if (!list) return;
  char name[kRegionNameSize];
  for (int n = 1; GetMultiplayerRegionName(n, name); ++n) list->AddItem(name);
  if (list->ItemCount() > 0) list->Select(0);
}

void CMapSelectionScreen::Enter() {
  if (loaded) return;
  closeRequested = 0;
  SetCursorKind(kCursorNormal);
  Load();
  pendingPush = nullptr;
  if (background && g_backBuffer.IsCreated()) background->BlitTo(&g_backBuffer, 0, 0);
  lastClicked.clear();
}

void CMapSelectionScreen::OnClick(int type, int index) {
  if (type == kWidgetListBox) {
    OnListClick();
  } else if (type == kWidgetTextButton && index == kAccept) {
    Accept();
  } else if (type == kWidgetTextButton && index == kCancel) {
    LeaveClosing();
  }
}

void CMapSelectionScreen::OnListClick() {
  CListBox* list = List(0);
  const char* selected = list ? list->FirstSelected() : nullptr;
  const std::string text = selected ? std::string(selected).substr(0, kMaxClickedText) : std::string();
  if (text != lastClicked) {
    lastClicked = text;
    return;
  }
  Accept();
}

void CMapSelectionScreen::Accept() {
  BeginFadeOut();
  CListBox* list = List(0);
  const char* selected = list ? list->FirstSelected() : nullptr;
  // The first item of that name: of two regions with one name, the first is taken.
  const int item = selected && *selected ? list->FindItem(selected) : -1;
  if (item >= 0) {
    g_gameSettings.regionIndex = item + 1;
    if (caller) {
      caller->ShowMapName(selected);
      if (callerScreenId != kScreenSinglePlayerBattle) caller->SendGameSettings(g_gameSettings);
    }
  }
  closeRequested = 1;
}
