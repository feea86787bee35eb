// The four player places: reset and text form, the checked 316-byte form, the counters and the
// next-free rule of colours and portraits.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/Bytes.h"
#include "core/PlayerSlot.h"

namespace {

CPlayerSlot Slot(const char* name, int portrait, int handicap, int colour, int ready = 0) {
  CPlayerSlot slot;
  slot.Reset();
  slot.SetName(name);
  slot.portrait = portrait;
  slot.handicap = handicap;
  slot.colour = colour;
  slot.ready = static_cast<uint8_t>(ready);
  return slot;
}

TEST(PlayerSlot, ResetFormatsAsNoPlayerAndKeepsTheTextBuffer) {
  CPlayerSlot slot = Slot("Morgath", 3, 20, 5, 1);
  slot.kills = 4;
  std::strcpy(slot.text, "scratch");
  EXPECT_EQ(slot.Reset(), 0);
  EXPECT_STREQ(slot.text, "scratch");
  EXPECT_TRUE(slot.IsEmpty());
  EXPECT_EQ(slot.kills, 0);
  EXPECT_STREQ(FormatPlayerSlotText(slot), "\"No Player\" -1 -1 -1 0");
}

TEST(PlayerSlot, NamesLoseTheirQuotesAndStopAtThirtyCharacters) {
  CPlayerSlot slot;
  slot.SetName("Say \"Hi\"");
  EXPECT_STREQ(slot.name, "Say Hi");
  slot.SetName(std::string(40, 'n').c_str());
  EXPECT_EQ(std::string(slot.name), std::string(30, 'n'));
  slot.SetName(nullptr);
  EXPECT_STREQ(slot.name, "");
}

TEST(PlayerSlot, TextFormsReadBackOrAreRefusedWhole) {
  struct Case {
    std::string text;
    bool ok;
    std::string name;
    int portrait, handicap, colour, ready;
  };
  const std::string forty(40, 'a');
  const std::vector<Case> cases = {
      {"\"Alia\" 4 10 2 1", true, "Alia", 4, 10, 2, 1},
      {"\"No Player\" -1 -1 -1 0", true, "No Player", -1, -1, -1, 0},
      {"\"" + forty + "\" 0 0 0 0", true, std::string(30, 'a'), 0, 0, 0, 0},
      {"\"Two words\"  11   100 7 0", true, "Two words", 11, 100, 7, 0},
      {"Alia\" 4 10 2 1", false},     // no opening quote
      {"\"Alia 4 10 2 1", false},     // no closing quote
      {"\"\" 4 10 2 1", false},       // no name
      {"\"Alia\" 4 10 2", false},     // a field missing
      {"\"Alia\" 4 ten 2 1", false},  // not a number
      {"\"Alia\" 12 10 2 1", false},  // portrait out of range
      {"\"Alia\" 4 10 8 1", false},   // colour out of range
      {"\"Alia\" 4 10 2 2", false},   // ready neither 0 nor 1
      {"\"Alia\" 4 101 2 1", false},  // handicap above 100
      {"\"Alia\" 4 10 2 99999999999", false},
  };
  for (const Case& c : cases) {
    CPlayerSlot slot;
    slot.Reset();
    slot.kills = 9;
    const bool ok = ParsePlayerSlotText(c.text.c_str(), slot);
    EXPECT_EQ(ok, c.ok) << c.text;
    if (!c.ok) {
      EXPECT_TRUE(slot.IsEmpty()) << c.text;
      continue;
    }
    EXPECT_EQ(std::string(slot.name), c.name) << c.text;
    EXPECT_EQ(slot.portrait, c.portrait) << c.text;
    EXPECT_EQ(slot.handicap, c.handicap) << c.text;
    EXPECT_EQ(slot.colour, c.colour) << c.text;
    EXPECT_EQ(slot.ready, c.ready) << c.text;
    EXPECT_EQ(slot.kills, 9) << "the counters stay";
  }
  CPlayerSlot slot;
  EXPECT_FALSE(ParsePlayerSlotText(nullptr, slot));
}

TEST(PlayerSlot, TheTextFormRoundTrips) {
  CPlayerSlot slot = Slot("Erin of the Fens", 7, 35, 6, 1), back;
  back.Reset();
  ASSERT_TRUE(ParsePlayerSlotText(FormatPlayerSlotText(slot), back));
  EXPECT_STREQ(back.name, slot.name);
  EXPECT_EQ(back.portrait, 7);
  EXPECT_EQ(back.handicap, 35);
  EXPECT_EQ(back.colour, 6);
  EXPECT_EQ(back.ready, 1);
}

TEST(PlayerSlot, TheBytesLieAtTheirOffsets) {
  CPlayerSlot slot = Slot("Wren", 11, 50, 7, 1);
  slot.kills = -2;
  slot.score = 0x01020304;
  slot.deaths = 3;
  slot.lives = 5;
  std::strcpy(slot.text, "\"Wren\" 11 50 7 1");
  std::vector<uint8_t> out(kPlayerSlotBytes, 0xEE);
  WritePlayerSlot(slot, out.data());
  EXPECT_STREQ(reinterpret_cast<const char*>(out.data()), "Wren");
  struct Field {
    size_t offset;
    int32_t value;
  };
  for (const Field& f :
       {Field{31, 11}, Field{35, 50}, Field{39, 7}, Field{44, -2}, Field{48, 0x01020304}, Field{52, 3}, Field{56, 5}})
    EXPECT_EQ(bytes::LoadI32(out.data() + f.offset), f.value) << "offset " << f.offset;
  EXPECT_EQ(out[43], 1);
  EXPECT_STREQ(reinterpret_cast<const char*>(out.data() + 60), slot.text);

  CPlayerSlot back;
  ASSERT_TRUE(ReadPlayerSlot(out.data(), out.size(), back));
  std::vector<uint8_t> again(kPlayerSlotBytes);
  WritePlayerSlot(back, again.data());
  EXPECT_EQ(again, out);
}

TEST(PlayerSlot, APeersBytesAreCheckedFieldByField) {
  CPlayerSlot good = Slot("Wren", 2, 0, 3);
  std::vector<uint8_t> base(kPlayerSlotBytes);
  WritePlayerSlot(good, base.data());
  struct Case {
    const char* what;
    size_t offset;
    int32_t value;  // a word, or a byte at 43 and in the name
    bool ok;
  };
  const std::vector<Case> cases = {
      {"portrait 11", 31, 11, true},  {"portrait 12", 31, 12, false},  {"portrait -2", 31, -2, false},
      {"handicap -1", 35, -1, true},  {"handicap 100", 35, 100, true}, {"handicap 101", 35, 101, false},
      {"handicap -5", 35, -5, false}, {"colour -1", 39, -1, true},     {"colour 8", 39, 8, false},
      {"ready 1", 43, 1, true},       {"ready 2", 43, 2, false},       {"unterminated name", 0, 0, false},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> record = base;
    if (c.offset == 43)
      record[43] = static_cast<uint8_t>(c.value);
    else if (c.offset == 0)
      std::memset(record.data(), 'x', kPlayerNameSize);
    else
      bytes::StoreI32(record.data() + c.offset, c.value);
    CPlayerSlot slot;
    slot.Reset();
    EXPECT_EQ(ReadPlayerSlot(record.data(), record.size(), slot), c.ok) << c.what;
    EXPECT_EQ(slot.IsEmpty(), !c.ok) << c.what << ": a refused record leaves the slot alone";
  }
  CPlayerSlot slot;
  EXPECT_FALSE(ReadPlayerSlot(base.data(), base.size() - 1, slot));
  base.push_back(0);
  EXPECT_FALSE(ReadPlayerSlot(base.data(), base.size(), slot));
  EXPECT_FALSE(ReadPlayerSlot(nullptr, kPlayerSlotBytes, slot));
}

TEST(PlayerSlot, CountersAddSignedAmountsAndWrap) {
  CPlayerSlot slot;
  slot.Reset();
  slot.AddKills(2);
  slot.AddScore(-7);
  slot.AddDeaths(1);
  EXPECT_EQ(slot.kills, 2);
  EXPECT_EQ(slot.score, -7);
  EXPECT_EQ(slot.deaths, 1);
  slot.score = INT32_MAX;
  slot.AddScore(1);
  EXPECT_EQ(slot.score, INT32_MIN);
}

TEST(PlayerSlot, TheNextFreeLookSkipsWhatOthersHold) {
  // The rule looks at values only; more places than four show the cases four cannot reach.
  struct Case {
    const char* what;
    std::vector<int> colours;  // place 0 first: the one that moves
    SlotLook look;
    int steps;
    int expected;
  };
  const std::vector<Case> cases = {
      {"0 and 1 held, from 2", {2, 0, 1}, SlotLook::kColour, 1, 3},
      {"3-7 and 0 held by others, from 2", {2, 3, 4, 5, 6, 7, 0}, SlotLook::kColour, 1, 1},
      {"all eight held: it stays", {2, 0, 1, 3, 4, 5, 6, 7}, SlotLook::kColour, 1, 2},
      {"a new place takes the lowest free", {-1, 0, 2}, SlotLook::kColour, 1, 1},
      {"a new place with none free stays -1", {-1, 0, 1, 2, 3, 4, 5, 6, 7}, SlotLook::kColour, 1, -1},
      {"two steps", {1, 3}, SlotLook::kColour, 2, 4},
      {"wraps from 7", {7}, SlotLook::kColour, 1, 0},
      {"portraits wrap from 11", {11, 0, 1}, SlotLook::kPortrait, 1, 2},
      {"portraits: three steps past held ones", {0, 1, 3, 5}, SlotLook::kPortrait, 3, 6},
  };
  for (const Case& c : cases) {
    std::vector<CPlayerSlot> slots(c.colours.size());
    for (size_t i = 0; i < slots.size(); ++i) {
      slots[i].Reset();
      (c.look == SlotLook::kColour ? slots[i].colour : slots[i].portrait) = c.colours[i];
    }
    EXPECT_EQ(StepLook(slots.data(), static_cast<int>(slots.size()), c.look, c.colours[0], c.steps), c.expected)
        << c.what;
  }
}

}  // namespace
