#include "battle/PanelBattle.h"

#include "battle/TooltipManager.h"
#include "net/NetMachine.h"
#include "net/NetMessages.h"

namespace {

IPanelBattle g_neutralPanelBattle;

// The neutral command sink: this machine's network client.
class CNetClientSink : public IMapCommandSink {
 public:
  void AddMessage(const CommandMessage& message) override { g_netClient.AddMessage(message); }
};
CNetClientSink g_netClientSink;

constexpr int kIdBits = 12;
constexpr int kIdMask = (1 << kIdBits) - 1;

int32_t PackId(int id) { return id >= -1 && id < kIdMask ? id + 1 : 0; }

}  // namespace

HookSlot<IPanelBattle> g_panelBattle(&g_neutralPanelBattle);

void IPanelBattle::ShowTooltipText(const char* text) { g_tooltipManager.ShowForControl(text); }
HookSlot<IMapCommandSink> g_panelCommands(&g_netClientSink);

int32_t InterfaceCommandWord(int command, int id1, int id2) {
  const uint32_t word = static_cast<uint32_t>(command & 0xFF) | (static_cast<uint32_t>(PackId(id1)) << 8) |
                        (static_cast<uint32_t>(PackId(id2)) << (8 + kIdBits));
  return static_cast<int32_t>(word);
}

void ReadInterfaceCommandWord(int32_t word, int& command, int& id1, int& id2) {
  const uint32_t bits = static_cast<uint32_t>(word);
  command = static_cast<int>(bits & 0xFF);
  id1 = static_cast<int>((bits >> 8) & kIdMask) - 1;
  id2 = static_cast<int>((bits >> (8 + kIdBits)) & kIdMask) - 1;
}

void OfferInterfaceCommand(int command, int id1, int id2) {
  if (!g_panelBattle->ScriptCommandsArmed()) return;
  g_panelCommands->AddMessage(MakeWordCommand(MSG_INTERFACE_COMMAND, InterfaceCommandWord(command, id1, id2)));
}
