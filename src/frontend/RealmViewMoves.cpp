// The campaign on the realm view: which regions the player sees, the wizards' walks from
// region to region, the battles their meetings start and what a battle's end changes.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "battle/Battle.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/Random.h"
#include "creatures/WizardTable.h"
#include "frontend/CurrentRealm.h"
#include "frontend/FrontEndBattle.h"
#include "frontend/FrontEndWizards.h"
#include "frontend/RealmView.h"
#include "graphics/Display.h"
#include "graphics/Font.h"
#include "map/Map.h"
#include "ui/ControlArt.h"
#include "ui/SharedArt.h"

namespace {

constexpr int kStandingMarker = 40;  // a wizard standing in a region it owns: icon + 40
constexpr int kVisitingMarker = 50;  // walking, or standing in another's region: icon + 50
// Each frame a walking marker moves this many points along its path.
constexpr int kStepsPerFrame = 4;
constexpr int kMessageWidth = 420, kMessageHeight = 60;

bool IsRegion(int region, int count) { return region >= 1 && region <= count && region <= kRealmRegions; }

// A centred message panel: one line in the heading font on a dark plate.
class CRealmMessagePanel : public CSlidePanel {
 public:
  CRealmMessagePanel(int x, int y, const std::string& text)
      : CSlidePanel(x, y, kMessageWidth, kMessageHeight), text_(text.substr(0, 255)) {}
  void Draw() override {
    if (!g_backBuffer.IsCreated()) return;
    const platform::Rect box{x, y, x + width, y + height};
    g_backBuffer.FillRect(&box, 0x1082);
    SurfacePrinting printing(&g_backBuffer);
    if (printing)
      g_headingFont.PrintText(text_.c_str(), TextRect{box.left + 8, box.top + 8, box.right - 8, box.bottom - 8}, 250,
                              220, 140, 1);
  }

 private:
  std::string text_;
};

}  // namespace

bool CRealmView::Adjacent(int from, int to) const {
  return IsRegion(from, regionCount) && IsRegion(to, regionCount) && adjacency[from - 1][to - 1];
}

bool CRealmView::IsRegionVisible(int region, int wizard) const {
  if (!IsRegion(region, regionCount)) return false;
  if (realmState.IsActiveWizard(wizard)) {
    if (realmState.OwnerOf(region) == wizard) return true;
    const CRealmMovement& m = realmState.movement[wizard];
    const int from = m.countdown == 0 ? realmState.locations[wizard] : m.oldRegion;
    return region == from || Adjacent(from, region);
  }
  for (int owned = 1; owned <= regionCount; ++owned)
    if (realmState.OwnerOf(owned) == wizard && Adjacent(owned, region)) return true;
  return false;
}

void CRealmView::StartFlag(CAnimPlayer& player, int sequence) {
  if (flagsAnimation.HasSequence(sequence)) player.Start(sequence, 0);
}

void CRealmView::TickWizards() {
  CRealmState& s = realmState;
  for (int i = 0; i < s.wizardCount && i < kRealmWizards; ++i) {
    if (!s.active[i]) continue;
    CRealmMovement& m = s.movement[i];
    const int here = s.locations[i];
    if (m.countdown != 0) {
      m.countdown -= kStepsPerFrame;
      if (m.countdown > 0) continue;
      m.countdown = 0;
      for (int j = 0; j < s.wizardCount && j < kRealmWizards; ++j)
        if (j != i && s.active[j] && s.movement[j].countdown == 0 && s.locations[j] == here) {
          battlePending = 1;
          attacker = i;
          defender = j;
          battleRegion = here;
        }
      if (s.OwnerOf(here) == i) {
        StartFlag(wizardFlags[i], s.icons[i] + kStandingMarker);
      } else {
        StartFlag(wizardFlags[i], s.icons[i] + kVisitingMarker);
        const RealmPoint slot = IsRegion(here, regionCount) ? flagPaths[here - 1].TakeStartSlot() : RealmPoint{};
        m.x = slot.x;
        m.y = slot.y;
      }
    } else if (s.destinations[i] == here) {
      if (i == s.playerWizard && here == s.lastRegion) endOfRealm = 1;
    } else {
      const int next = Adjacent(here, s.destinations[i]) ? s.destinations[i] : FindNextStep(here, s.destinations[i]);
      if (next > 0) StartWizardMove(i, next);
    }
  }
}

int CRealmView::FindNextStep(int from, int to) const {
  if (!IsRegion(to, regionCount)) return -1;
  int queue[kRealmRegions];
  int queued = 0;
  queue[queued++] = to;
  for (int at = 0; at < queued; ++at) {
    const int current = queue[at];
    for (int j = 1; j <= regionCount; ++j) {
      if (!adjacency[current - 1][j - 1]) continue;
      if (j == from) return current;
      if (realmState.CountWizardsInRegion(j) > 0 || std::find(queue, queue + queued, j) != queue + queued) continue;
      if (queued < kRealmRegions) queue[queued++] = j;
    }
    if (queued == kRealmRegions) break;
  }
  return -1;
}

void CRealmView::StartWizardMove(int w, int r) {
  CRealmState& s = realmState;
  if (!s.IsWizard(w)) return;
  CRealmMovement& m = s.movement[w];
  const int here = s.locations[w];
  if (m.countdown != 0 || r == here || !Adjacent(here, r) || s.CountWizardsInRegion(r) >= 4) return;
  if (s.OwnerOf(here) != w) flagPaths[here - 1].ReleaseStartSlot(m.x, m.y);
  const CFixPoints& paths = flagPaths[here - 1];
  m.pathSlot = -1;
  for (int p = 0; p < paths.PathCount(); ++p) {
    const RealmPoint end = paths.GetPathEnd(p);
    if (RegionAt(end.x, end.y) == r) {
      m.pathSlot = p;
      break;
    }
  }
  // Without a path to walk the wizard arrives with the next frame.
  m.countdown = m.pathSlot >= 0 ? std::max(1, paths.GetPathLength(m.pathSlot)) : 1;
  m.oldRegion = here;
  s.locations[w] = r;
  StartFlag(wizardFlags[w], s.icons[w] + kVisitingMarker);
  const int player = s.playerWizard;
  if (r == (s.IsWizard(player) ? s.locations[player] : -1) && w != player && s.IsActiveWizard(player))
    AddInvasionMessage(w);
}

void CRealmView::AddInvasionMessage(int wizard) {
  const std::string text = std::string(texts.Get(0)) + realmState.wizardNames[wizard];
  messagePanels.Add(std::make_unique<CRealmMessagePanel>((ScreenWidth() - kMessageWidth) / 2,
                                                         (ScreenHeight() - kMessageHeight) / 2, text));
}

void CRealmView::ChooseRegion(int r) {
  CRealmState& s = realmState;
  const int player = s.playerWizard;
  if (!s.IsWizard(player)) return;
  const int owner = s.OwnerOf(r);
  if (r == s.locations[player] && owner != player && s.IsActiveWizard(owner) && s.locations[owner] == r) {
    state = kEnterChosenBattle;
    battlePending = 1;
    attacker = player;
    defender = owner;
    battleRegion = r;
    return;
  }
  if (s.CountWizardsInRegion(r) > 3) {
    PlaySound(kRealmRefusedSound);
    return;
  }
  s.destinations[player] = r;
}

void CRealmView::EnterBattle() {
  if (!g_map.HasCells()) {
    const char* realm = realmState.currentRealmName;
    char path[512];
    std::snprintf(path, sizeof path, "Interface\\RealmViewer\\%ix%i\\%s_Region_%02i.BMP", ScreenWidth(), ScreenHeight(),
                  realm, battleRegion);
    if (g_backBuffer.IsCreated() && !g_backBuffer.LoadBitmap(path)) {
      std::snprintf(path, sizeof path, "Interface\\RealmViewer\\Generic\\%s_Region_%02i.BMP", realm, battleRegion);
      g_backBuffer.LoadBitmap(path);
    }
    SetCurrentRealm(realm);
    BattleSetupRecord setup;
    setup.region = battleRegion;
    setup.mapSeed = static_cast<int32_t>(g_random.Next() & 0x7fffffffu);
    setup.battleSeed = static_cast<int32_t>((g_random.Next() & 0x7fffffffu) % 9999u);
    setup.armies = FrontEndWizards().CountInGroup(battleRegion) + 1;
    setup.players = 1;
    setup.localArmy = 0;
    g_lastBattleSetup = setup;
    if (CScreen* battle = FrontEndBattle().LoadBattle(setup)) PushScreen(battle);
    return;
  }
  if (g_battle) PushScreen(g_battle);
}

void CRealmView::ApplyBattleResult() {
  CRealmState& s = realmState;
  const int player = s.playerWizard;
  if (!s.IsWizard(player)) return;
  if (battleResult != 1) {
    s.destinations[player] = s.movement[player].oldRegion;
    StartWizardMove(player, s.movement[player].oldRegion);
    return;
  }
  const int here = s.locations[player];
  for (int b = 0; b < s.wizardCount && b < kRealmWizards; ++b) {
    if (b == player || !s.active[b] || s.movement[b].countdown != 0 || s.locations[b] != here) continue;
    s.active[b] = 0;
    for (int g = 1; g <= kRealmRegions; ++g) {
      if (s.regionOwners[g - 1] != b) continue;
      s.regionOwners[g - 1] = player;
      StartFlag(regionFlags[g - 1], s.flags[player]);
      for (int k = 1; k <= regionCount; ++k)
        if (k != g && Adjacent(g, k)) RecordKnowledge(k);
    }
  }
  StartFlag(wizardFlags[player], s.icons[player] + kStandingMarker);
}

void CRealmView::RecordKnowledge(int section) const {
  CWizard* wizard = g_wizardTable.At(FindPlayerWizardIndex());
  if (!wizard || wizard->textBlock.size() != static_cast<size_t>(kWizardTextBlockBytes)) return;
  wizard->NoteSeen(RealmIndex(realmState.currentRealmName), section);
}
