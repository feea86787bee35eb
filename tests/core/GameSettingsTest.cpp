// The game settings record in its 312-byte form: the bytes of the network's set-up messages.
#include <gtest/gtest.h>

#include <vector>

#include "core/Bytes.h"
#include "core/GameSettings.h"

namespace {

CGameSettings Numbered() {
  CGameSettings settings;
  for (int i = 0; i < kGameSettingsFields; ++i) *GameSettingsField(settings, i) = (i + 1) * 1000 - 7;
  return settings;
}

}  // namespace

TEST(GameSettings, TheRecordGoesOutFieldByFieldInItsOrderAndComesBackTheSame) {
  CGameSettings settings = Numbered();
  settings.mana = -1;  // every bit of a field travels
  std::vector<uint8_t> block(kGameSettingsBytes, 0xAB);
  WriteGameSettings(settings, block.data());
  EXPECT_EQ(kGameSettingsBytes, 312u);
  EXPECT_EQ(bytes::LoadU32(block.data()), 993u);             // regionIndex first
  EXPECT_EQ(bytes::LoadU32(block.data() + 4), 0xFFFFFFFFu);  // then mana
  EXPECT_EQ(bytes::LoadU32(block.data() + 52), 13993u);      // ControlLimit last
  for (size_t i = 56; i < block.size(); ++i) ASSERT_EQ(block[i], 0) << "reserved byte " << i;

  CGameSettings back;
  ASSERT_TRUE(ReadGameSettings(block.data(), block.size(), back));
  for (int i = 0; i < kGameSettingsFields; ++i)
    EXPECT_EQ(*GameSettingsField(back, i), *GameSettingsField(settings, i)) << kGameSettingsKeys[i];
}

TEST(GameSettings, OnlyAWholeBlockIsReadAndItsReservedBytesAreIgnored) {
  std::vector<uint8_t> block(kGameSettingsBytes);
  WriteGameSettings(Numbered(), block.data());
  for (size_t i = 56; i < block.size(); ++i) block[i] = 0x5A;
  CGameSettings read;
  ASSERT_TRUE(ReadGameSettings(block.data(), block.size(), read));
  EXPECT_EQ(read.ControlLimit, 13993);

  for (size_t size : {size_t{0}, size_t{56}, kGameSettingsBytes - 1, kGameSettingsBytes + 1}) {
    CGameSettings untouched;
    untouched.lives = 3;
    std::vector<uint8_t> other(size + 1, 0x11);
    EXPECT_FALSE(ReadGameSettings(other.data(), size, untouched)) << size;
    EXPECT_EQ(untouched.lives, 3);
    EXPECT_EQ(untouched.regionIndex, 0);
  }
  CGameSettings none;
  EXPECT_FALSE(ReadGameSettings(nullptr, kGameSettingsBytes, none));
}

TEST(GameSettings, APeersRecordIsHeldWithinTheHardLimits) {
  struct Case {
    int field;
    int32_t sent, kept;
  };
  const Case cases[] = {
      {3, 22, 21},       {3, 21, 21}, {3, -4, 0},        {5, 8, 7},   {6, 2147483647, 7}, {7, 7, 7},
      {1, INT32_MIN, 0}, {0, -1, 0},  {9, 40000, 40000}, {13, -2, 0}, {8, 0, 0},
  };
  for (const Case& c : cases) {
    CGameSettings settings = Numbered();
    *GameSettingsField(settings, c.field) = c.sent;
    LimitPeerGameSettings(settings);
    EXPECT_EQ(*GameSettingsField(settings, c.field), c.kept) << kGameSettingsKeys[c.field] << " " << c.sent;
  }
  CGameSettings fine = Numbered();
  fine.magicItems = 4;
  fine.lawTalisman = fine.neutralTalisman = fine.vraskTalisman = 2;
  CGameSettings limited = fine;
  LimitPeerGameSettings(limited);
  for (int i = 0; i < kGameSettingsFields; ++i) EXPECT_EQ(*GameSettingsField(limited, i), *GameSettingsField(fine, i));
}
