#include "core/GameSettings.h"

#include <algorithm>
#include <cstring>

#include "core/Bytes.h"

CGameSettings g_gameSettings;
int32_t g_gameMode = kGameModeNone;
int32_t g_networkGame = 0;

const char* const kGameSettingsKeys[kGameSettingsFields] = {
    "regionIndex",   "mana",     "health", "magicItems",    "selectionTime", "lawTalisman", "neutralTalisman",
    "vraskTalisman", "gameTime", "lives",  "placesOfPower", "manaSprites",   "Artefacts",   "ControlLimit",
};

namespace {

template <class Settings, class Field>
Field* FieldOf(Settings& s, int index) {
  Field* const fields[kGameSettingsFields] = {
      &s.regionIndex,   &s.mana,     &s.health, &s.magicItems,    &s.selectionTime, &s.lawTalisman, &s.neutralTalisman,
      &s.vraskTalisman, &s.gameTime, &s.lives,  &s.placesOfPower, &s.manaSprites,   &s.Artefacts,   &s.ControlLimit,
  };
  return index >= 0 && index < kGameSettingsFields ? fields[index] : nullptr;
}

}  // namespace

int32_t* GameSettingsField(CGameSettings& settings, int index) {
  return FieldOf<CGameSettings, int32_t>(settings, index);
}

const int32_t* GameSettingsField(const CGameSettings& settings, int index) {
  return FieldOf<const CGameSettings, const int32_t>(settings, index);
}

void WriteGameSettings(const CGameSettings& settings, uint8_t* out) {
  for (int i = 0; i < kGameSettingsFields; ++i)
    bytes::StoreU32(out + 4 * i, static_cast<uint32_t>(*GameSettingsField(settings, i)));
  std::memset(out + 4 * kGameSettingsFields, 0, kGameSettingsReservedBytes);
}

bool ReadGameSettings(const uint8_t* data, size_t size, CGameSettings& settings) {
  if (!data || size != kGameSettingsBytes) return false;
  for (int i = 0; i < kGameSettingsFields; ++i)
    *GameSettingsField(settings, i) = static_cast<int32_t>(bytes::LoadU32(data + 4 * i));
  return true;
}

void LimitPeerGameSettings(CGameSettings& settings) {
  for (int i = 0; i < kGameSettingsFields; ++i) {
    int32_t& field = *GameSettingsField(settings, i);
    field = std::max<int32_t>(field, 0);
  }
  settings.magicItems = std::min(settings.magicItems, kMaxMagicItems);
  for (int32_t* talismans : {&settings.lawTalisman, &settings.neutralTalisman, &settings.vraskTalisman})
    *talismans = std::min(*talismans, kMaxTalismans);
}
