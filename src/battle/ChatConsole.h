#pragma once
// CChatConsole: in a network battle the player opens a console over the bottom of the screen,
// ticks up to three other players as recipients, types one line and sends it to them. The
// battle's key handler opens and closes it and feeds it the keys (Enter sends, Escape and
// Tab close); the network client names the players and removes those who leave.

#include <memory>

#include "battle/InterfacePanel.h"
#include "core/Hooks.h"
#include "graphics/Pictures.h"
#include "graphics/Sprite.h"
#include "ui/Flatwin.h"

class CFont;

inline constexpr int kChatRecipients = 3;
inline constexpr int kChatLineLength = 63;  // characters of the typed line
inline constexpr int kChatNameLength = 14;  // characters of a recipient's name
inline constexpr int kChatRefusedSound = 99999;

// Where a sent line goes: the neutral one is this machine's network client
// (CNetClient::SendChat); tests install a recorder.
class IChatSender {
 public:
  virtual ~IChatSender() = default;
  virtual void SendChat(const char* text, const char* playerName);
};
extern HookSlot<IChatSender> g_chatSender;

class CChatConsole : public CFlatWin, public CInterfacePanel {
 public:
  CChatConsole() = default;
  ~CChatConsole() override = default;

  // The panel's operations. Draw copies the console by the panel draw rule while it is shown.
  void Draw() override;
  // Program start: "bitmaps\ChatConsole.PCX", "sprites\CheckBox.spr" and the two fonts.
  void Init() override;
  void Release() override;
  // Creates the surface (the picture's size, 400 x 100 without one) centred over the left
  // part of the bottom block, clears the line, paints it and registers the window over it.
  void Load() override;

  // A button release on the tick row toggles the tick of the slot under the pointer.
  void OnMouse(int flags, CMouseEvent event) override;
  // Misses everywhere while hidden, and on the transparent pixels of the surface.
  int IsTransparentAt(int x, int y) override;

  // A character typed: characters 31 to 123 are added while the line holds fewer than 63 and
  // still fits in the console; backspace (8) takes the last one off. A key refused plays
  // sound 99999. False for keys the console does not handle.
  bool OnKey(int character);
  // Sends the line to every ticked recipient, then clears it; an empty line sends nothing.
  void Send();
  void ClearText();

  // Names the slot with that key, or takes the first empty slot (ticked); 0 when all three
  // are taken by other keys.
  int SetRecipient(int key, const char* name);
  void ClearRecipients();
  // Empties every slot with that name.
  void RemovePlayer(const char* name);
  // The battle's set-up: the recipients become the four player slots' names, but for the
  // local slot and the empty ones ("No Player"); a slot's key is its index.
  void SetRecipientsFromSlots(const char* const names[4], int localSlot);

  void Show();
  void Hide();
  bool Shown() const { return flag != 0; }

  const char* Line() const { return line_; }
  int RecipientKey(int slot) const { return keys_[slot]; }
  const char* RecipientName(int slot) const { return names_[slot]; }
  bool Ticked(int slot) const { return ticked_[slot]; }
  // The first pixel column of a slot's check box on the console.
  int SlotX(int slot) const;

  CPcxImage picture;
  CSurface surface;
  CSprite checkBox;
  CFont* textFont = nullptr;
  CFont* nameFont = nullptr;

 private:
  void Repaint();
  void Refuse();
  int LineWidth(const char* text) const;

  char line_[kChatLineLength + 1] = {};
  char names_[kChatRecipients][kChatNameLength + 1] = {};
  int keys_[kChatRecipients] = {-1, -1, -1};
  bool ticked_[kChatRecipients] = {};
  std::unique_ptr<CPanelRestoreCallback> restore_;
};

extern CChatConsole g_chatConsole;
