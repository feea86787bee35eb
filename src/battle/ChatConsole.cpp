#include "battle/ChatConsole.h"

#include <cstring>

#include "battle/PanelSounds.h"
#include "battle/TooltipManager.h"
#include "core/Preferences.h"
#include "graphics/Font.h"
#include "graphics/PixelFormat.h"
#include "net/NetMachine.h"
#include "ui/ControlArt.h"
#include "ui/SharedArt.h"

CChatConsole g_chatConsole;

namespace {

IChatSender g_neutralChatSender;

constexpr int kDefaultWidth = 400, kDefaultHeight = 100;
constexpr uint16_t kOliveIn555 = 11616, kOliveIn565 = 23232;
constexpr int kTickTop = 16;  // the check boxes' row
constexpr int kLineX = 20, kLineY = 48, kCaretBottom = 72;
constexpr int kBackspace = 8;

void CopyName(char (&to)[kChatNameLength + 1], const char* name) {
  std::strncpy(to, name ? name : "", kChatNameLength);
  to[kChatNameLength] = '\0';
}

}  // namespace

constinit HookSlot<IChatSender> g_chatSender{&g_neutralChatSender};

void IChatSender::SendChat(const char* text, const char* playerName) { g_netClient.SendChat(text, playerName); }

void CChatConsole::Init() {
  picture.FreeData();
  picture.Load("bitmaps\\ChatConsole.PCX");
  if (!checkBox.IsLoaded()) checkBox.Load("sprites\\CheckBox.spr", 2);
  textFont = &g_bodyFont;
  nameFont = &g_smallFont;
}

void CChatConsole::Load() {
  const bool hasPicture = picture.HasColours();
  const int width = hasPicture ? picture.width : kDefaultWidth, height = hasPicture ? picture.height : kDefaultHeight;
  const int blockLeft = g_prefs.isHighRes ? 596 : 436, blockTop = g_prefs.isHighRes ? 460 : 340;
  const int x = (blockLeft - width) / 2, y = blockTop + (140 - height) / 2;
  if (!CreatePanelSurface(surface, width, height, x, y)) return;
  surface.SetColourKey(0, 0, 255);
  if (!restore_) restore_ = std::make_unique<CPanelRestoreCallback>([this] { Repaint(); });
  surface.restorer = restore_.get();
  line_[0] = '\0';
  Repaint();
  Register({x, y, x + width, y + height}, flag);
}

void CChatConsole::Release() {
  surface.restorer = nullptr;
  restore_.reset();
  surface.Release();
  Unregister(index);
  flag = 0;
}

void CChatConsole::Draw() {
  if (flag) DrawPanelSurface(surface);
}

void CChatConsole::Show() {
  flag = 1;
  active = index != -1 ? 1 : 0;
  RequestPanelRedraw();
}

void CChatConsole::Hide() {
  flag = 0;
  Deactivate();
  RequestPanelRedraw();
}

int CChatConsole::SlotX(int slot) const { return slot * ((surface.width - 32) / 3) + 16; }

int CChatConsole::LineWidth(const char* text) const {
  if (!textFont || !textFont->IsLoaded() || !text[0]) return 0;
  const int measured = textFont->MeasureText(text, {0, 0, 4096, 4 * textFont->GetLineHeight()}, kTextLeft);
  return measured + LastGlyphOverhang(*textFont);
}

void CChatConsole::Repaint() {
  if (!surface.IsCreated()) return;
  if (picture.HasColours())
    picture.Draw(&surface);
  else
    surface.Fill(g_is555 ? kOliveIn555 : kOliveIn565);
  {
    SurfacePrinting printing(&surface);
    if (!printing) return;
    for (int slot = 0; slot < kChatRecipients; ++slot) {
      if (keys_[slot] == -1) continue;
      const int x = SlotX(slot);
      PrintControlFrame(&checkBox, 2 * slot + (ticked_[slot] ? 1 : 0), x, kTickTop);
      const int nameX = x + ControlFrameWidth(&checkBox, 2 * slot) + 4;
      if (nameFont && nameFont->IsLoaded())
        nameFont->PrintText(names_[slot], {nameX, kTickTop, SlotX(slot + 1) - 2, kLineY - 4}, 255, 240, 200, kTextLeft);
    }
    if (textFont && textFont->IsLoaded())
      textFont->PrintText(line_, {kLineX, kLineY, surface.width - 12, kCaretBottom + 4}, 255, 255, 255, kTextLeft);
  }
  const int caret = kLineX + LineWidth(line_) + 1;
  surface.HighlightRect({caret, kLineY, caret + 2, kCaretBottom});
  RequestPanelRedraw();
}

void CChatConsole::Refuse() { g_panelSounds->Play(kChatRefusedSound, 0, nullptr); }

bool CChatConsole::OnKey(int character) {
  const size_t length = std::strlen(line_);
  if (character == kBackspace) {
    if (length == 0) {
      Refuse();
    } else {
      line_[length - 1] = '\0';
      Repaint();
    }
    return true;
  }
  if (character < 31 || character > 123) return false;
  char longer[kChatLineLength + 2];
  std::memcpy(longer, line_, length);
  longer[length] = static_cast<char>(character);
  longer[length + 1] = '\0';
  if (length >= kChatLineLength || LineWidth(longer) > surface.width - 32) {
    Refuse();
    return true;
  }
  std::memcpy(line_, longer, length + 2);
  Repaint();
  return true;
}

void CChatConsole::Send() {
  if (line_[0])
    for (int slot = 0; slot < kChatRecipients; ++slot)
      if (keys_[slot] != -1 && ticked_[slot]) g_chatSender->SendChat(line_, names_[slot]);
  ClearText();
}

void CChatConsole::ClearText() {
  line_[0] = '\0';
  Repaint();
}

int CChatConsole::SetRecipient(int key, const char* name) {
  int slot = -1;
  for (int i = 0; i < kChatRecipients && slot < 0; ++i)
    if (keys_[i] == key) slot = i;
  for (int i = 0; i < kChatRecipients && slot < 0; ++i)
    if (keys_[i] == -1) {
      slot = i;
      keys_[i] = key;
      ticked_[i] = true;
    }
  if (slot < 0) return 0;
  CopyName(names_[slot], name);
  Repaint();
  return 1;
}

void CChatConsole::ClearRecipients() {
  for (int i = 0; i < kChatRecipients; ++i) {
    keys_[i] = -1;
    names_[i][0] = '\0';
    ticked_[i] = false;
  }
  Repaint();
}

void CChatConsole::RemovePlayer(const char* name) {
  for (int i = 0; i < kChatRecipients; ++i)
    if (keys_[i] != -1 && name && std::strncmp(names_[i], name, kChatNameLength) == 0) {
      keys_[i] = -1;
      names_[i][0] = '\0';
      ticked_[i] = false;
    }
  Repaint();
}

void CChatConsole::SetRecipientsFromSlots(const char* const names[4], int localSlot) {
  ClearRecipients();
  for (int slot = 0; slot < 4; ++slot)
    if (slot != localSlot && names[slot] && std::strcmp(names[slot], "No Player") != 0) SetRecipient(slot, names[slot]);
}

void CChatConsole::OnMouse(int flags, CMouseEvent event) {
  if (!(flags & MF_LEFT_UP) || !flag) return;
  const int below = event.y - rect.top, across = event.x - rect.left - 16, slotWidth = (surface.width - 32) / 3;
  if (below < 1 || below > 47 || across < 0 || slotWidth <= 0) return;
  const int slot = across / slotWidth;
  if (slot >= kChatRecipients) return;
  ticked_[slot] = !ticked_[slot];
  Repaint();
}

int CChatConsole::IsTransparentAt(int x, int y) {
  if (!flag || !surface.IsCreated()) return 1;
  const int px = x - surface.x, py = y - surface.y;
  if (px < 0 || py < 0 || px >= surface.width || py >= surface.height) return 1;
  uint16_t* pixels = surface.Lock();
  if (!pixels) return 0;
  const uint16_t pixel = pixels[static_cast<size_t>(py) * (surface.pitch / 2) + px];
  surface.Unlock(pixels);
  return pixel == kPanelKeyColour ? 1 : 0;
}
