#include "frontend/LobbyScreen.h"

#include "graphics/Display.h"
#include "ui/SharedArt.h"

namespace {
constexpr const char* kBoxPicture = "bitmaps\\dlgback.bmp";
}

CLobbyScreen::CLobbyScreen(int screenId, std::string folder, std::string layoutName, std::vector<MenuWidget> widgets)
    : CFrontEndMenu(screenId, std::move(folder), std::move(layoutName), std::move(widgets)) {}

CLobbyScreen::~CLobbyScreen() { Unload(); }

void CLobbyScreen::Unload() {
  if (dialogBox) {
    dialogBox->Close();
    dialogBox = nullptr;
  }
  CFrontEndMenu::Unload();
}

void CLobbyScreen::ShowMessageBox(const char* text, int value) {
  boxValue = value;
  if (!loaded) return;
  if (!boxCallback_)
    boxCallback_ = std::make_unique<CFunctionCallback>([this](int) {
      if (dialogBox) dialogBox->Close();
      dialogBox = nullptr;
    });
  // A second box replaces the first: the newest failure is the one to read.
  box_.SetSurface(&g_backBuffer);
  box_.SetFont(&g_bodyFont);
  box_.Open(boxCallback_.get(), kBoxPicture, text ? text : "", "OK", nullptr);
  dialogBox = &box_;
}
