// The type-level rules of CCreatureType: wizard numbers, marker offsets and ratings.
#include "creatures/CreatureType.h"

#include "map/MapView.h"

CCreatureType g_creatureTypes[kCreatureTypes];
CTypeMaxima g_typeMaxima;

const char* const g_creatureTypeNames[kTypeNameCount] = {
    "PLAYER_WIZARD", "BROWNIE",   "CENTAUR", "ELF",      "GRIFFIN",      "HERO",   "PHOENIX", "UNICORN",
    "BLACK_DOG",     "MANTICORE", "REDCAP",  "SKELETON", "VAMPIRE",      "WRAITH", "ZOMBIE",  "BAT",
    "BASILISK",      "CROCODILE", "DRAGON",  "FAUN",     "CHAMP_OF_LAW", "TROLL",  "EYE",     "CHAMP_OF_VRASK",
};

namespace {

constexpr int kWizardTypes[4] = {0, 24, 25, 26};

bool IsTypeNumber(int type) { return type >= 0 && type < kCreatureTypes; }

// Whether the rating against the target is cut to a third: the target is undead and this
// type is not.
bool UndeadCut(const CCreatureType& self, int targetType) {
  return !self.IsUndead && g_creatureTypes[targetType].IsUndead;
}

}  // namespace

bool IsWizardType(int type) { return type == 0 || (type >= 24 && type <= 26); }

int WizardNumberToType(int wizardNumber) {
  return wizardNumber >= 0 && wizardNumber < 4 ? kWizardTypes[wizardNumber] : wizardNumber;
}

int TypeToWizardNumber(int type) {
  for (int n = 0; n < 4; ++n)
    if (kWizardTypes[n] == type) return n;
  return type;
}

int RangedAttackSpellOfType(int type) {
  switch (type) {
    case 1:
    case 10:
      return 94;
    case 2:
      return 95;
    case 3:
      return 93;
    case 8:
      return 97;
    case 9:
      return 96;
    case 18:
      return 99;
    case 20:
      return 101;
    case 23:
      return 102;
    default:
      return kNoRangedAttack;
  }
}

void CCreatureType::GetMarkerOffset(int& x, int& y, int facing, int index) const {
  GetMarkerOffset(x, y, facing, index, g_mapView.rotation);
}

void CCreatureType::GetMarkerOffset(int& x, int& y, int facing, int index, int viewRotation) const {
  // The even facings run diagonally across the screen in every rotation; the odd ones run
  // sideways or up and down, turning over with each quarter turn of the view.
  const int32_t(*set)[2] = MarkerDiag;
  if (facing & 1) {
    const bool sideways = ((facing & 7) == 1 || (facing & 7) == 5) == ((viewRotation & 1) == 0);
    set = sideways ? MarkerHoriz : MarkerVert;
  }
  x = set[index & 3][0];
  y = set[index & 3][1];
}

int CCreatureType::GetHthRating(int targetType) const {
  if (!IsTypeNumber(targetType)) return 0;
  const int rating = HTH_Matrix[targetType];
  return UndeadCut(*this, targetType) ? rating / 3 : rating;
}

int CCreatureType::GetLrcRating(int targetType) const {
  if (typeNumber == 8 || typeNumber == 20) return 10;
  if (!IsTypeNumber(targetType)) return 0;
  const int rating = LRC_Matrix[targetType];
  return UndeadCut(*this, targetType) ? rating / 3 : rating;
}

int CCreatureType::GetThreatClass() const {
  switch (typeNumber) {
    case 1:
    case 3:
      return 2;
    case 2:
    case 10:
      return 1;
    default:
      return 0;
  }
}

CMoveQuery CCreatureType::MakePlacementRequest() const {
  CMoveQuery query;
  query.height = TileHeight;
  query.size = TileSizeXY;
  query.airborne = CanFly;
  query.movementKind = SwimmingAbility;
  // A swimmer may be placed in deep water.
  query.deepWater = SwimmingAbility >= kMovementSwimmer ? 1 : 0;
  query.typeIndex = typeNumber;
  return query;
}
