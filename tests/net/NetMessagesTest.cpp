// The battle message formats: sizes and offsets, writers and readers, and the whole-frame
// check that every received frame passes before it is stored or run.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "NetProtocolSupport.h"
#include "core/Bytes.h"
#include "net/NetHooks.h"
#include "net/NetMessageQueue.h"
#include "net/NetMessages.h"

namespace {

using net_test::Bytes;
using net_test::ToBytes;

Bytes Frame(int frame, int origin, const std::vector<Bytes>& subs) { return MakeFrameMessage(frame, origin, subs); }
Bytes Walk(int creature) { return net_test::WalkCommand(creature); }
Bytes QueuedWalk(int creature) { return ToBytes(MakeCellCommand(MSG_Q_CREATURE_WALK, creature, 4, 5, 6)); }

Bytes Slot(const char* name) {
  Bytes slot(kPlayerSlotBytes, 0);
  std::snprintf(reinterpret_cast<char*>(slot.data()), 31, "%s", name);
  for (int offset : {31, 35, 39}) bytes::StoreU32(slot.data() + offset, static_cast<uint32_t>(-1));
  return slot;
}

TEST(NetMessages, SizesAndOffsetsAreTheWireFormat) {
  const Bytes settings(kGameSettingsBytes, 0);
  const Bytes slots[4] = {Slot("Ann"), Slot("Bo"), Slot("No Player"), Slot("No Player")};
  const uint8_t* slotPointers[4] = {slots[0].data(), slots[1].data(), slots[2].data(), slots[3].data()};
  const uint8_t items[21] = {3, 7};
  const int32_t setup[6] = {2, 1234, 77, 3, 2, 1};
  Bytes init = MakeInitialiseMessage(settings.data(), slotPointers, items, setup);
  ASSERT_EQ(init.size(), 1633u);
  EXPECT_EQ(MessageWord(init.data(), 2), 1633);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(std::memcmp(init.data() + 324 + 316 * i, slots[i].data(), 316), 0);
  EXPECT_EQ(init[1588], 3);
  EXPECT_EQ(bytes::LoadU32(init.data() + 1617), 77u);
  EXPECT_EQ(bytes::LoadU32(init.data() + 1629), 1u);

  INetSetupRecords records;
  InitialiseView view;
  ASSERT_TRUE(ReadInitialise(init.data(), init.size(), records, view));
  EXPECT_EQ(view.slots[2], init.data() + 956);
  EXPECT_EQ(view.setup[0], 2);
  EXPECT_EQ(view.setup[5], 1);

  EXPECT_EQ(MakeValidateMessage(1, 2, 3).length, 24);
  EXPECT_EQ(MakeCounterMessage(0).length, 16);
  EXPECT_EQ(MakeCounterMessage(0).Word(3), -1);  // the counter less one, never below -1
  EXPECT_EQ(MakeCounterMessage(-9).Word(3), -1);
  EXPECT_EQ(MakeCounterMessage(60).Word(3), 59);
  EXPECT_EQ(MakeWordCommand(MSG_PAUSE, 3).length, 16);
  EXPECT_EQ(MakeGameSetupMessage(settings.data()).size(), 324u);
  EXPECT_EQ(MakeWizardSetupMessage(slots[0].data(), 2).size(), 332u);
  EXPECT_EQ(MakeSlotMessage(MSG_INIT_JOIN_READY, 1).size(), 16u);
  EXPECT_EQ(MakeHandicapMessage(1, 20).size(), 20u);
  EXPECT_EQ(MakeLeaveOrder().size(), 12u);
}

TEST(NetMessages, EmptyAndFullFrames) {
  Bytes empty = Frame(5, kFrameOriginClient, {});
  EXPECT_EQ(empty.size(), 24u);
  EXPECT_TRUE(CheckFrameMessage(empty.data(), empty.size(), kFrameOriginClient));
  EXPECT_FALSE(FrameHasCommands(empty.data()));

  // Four full client buffers make a host frame of exactly 8216 bytes.
  std::vector<Bytes> clients;
  for (int c = 0; c < 4; ++c) {
    // 24 + 68 x 28 + 6 x 20 = 2048.
    std::vector<Bytes> commands(68, Walk(c));
    for (int i = 0; i < 6; ++i) commands.push_back(ToBytes(MakeCreatureCommand(MSG_CREATURE_ATTACK, 1, 2)));
    clients.push_back(Frame(5, kFrameOriginClient, commands));
    ASSERT_EQ(clients.back().size(), 2048u);
  }
  Bytes host = Frame(5, kFrameOriginHost, clients);
  EXPECT_EQ(host.size(), 8216u);
  EXPECT_TRUE(CheckFrameMessage(host.data(), host.size(), kFrameOriginHost));
  EXPECT_TRUE(FrameHasCommands(host.data()));
}

TEST(NetMessages, QueuedWalkMovesTheReaderTo29Bytes) {
  Bytes frame = Frame(1, kFrameOriginClient, {QueuedWalk(2), Walk(3)});
  ASSERT_TRUE(CheckFrameMessage(frame.data(), frame.size(), kFrameOriginClient));
  EXPECT_EQ(QueuedWalk(2).size(), 29u);
  // The walk after it starts at an odd offset.
  EXPECT_EQ(MessageWord(frame.data() + 24 + 29, 1), MSG_CREATURE_WALK);
}

// Each case breaks one rule of the whole-frame check.
TEST(NetMessages, MalformedFramesAreRefusedWhole) {
  struct Case {
    const char* what;
    int origin;
    std::function<Bytes()> make;
  };
  const Bytes good = Frame(3, kFrameOriginClient, {Walk(1), QueuedWalk(2)});
  auto patched = [&](int offset, int32_t value) {
    Bytes out = good;
    SetMessageWord(out.data() + offset, 0, value);
    return out;
  };
  const std::vector<Case> cases = {
      {"shorter than a header", kFrameOriginClient, [&] { return Bytes(good.begin(), good.begin() + 20); }},
      {"length word above the bytes", kFrameOriginClient, [&] { return patched(8, 200); }},
      {"length word below the bytes", kFrameOriginClient, [&] { return patched(8, 60); }},
      {"first word not 0", kFrameOriginClient, [&] { return patched(0, 5); }},
      {"not a frame", kFrameOriginClient, [&] { return patched(4, 2); }},
      {"negative frame", kFrameOriginClient, [&] { return patched(12, -1); }},
      {"host origin at the host", kFrameOriginClient, [&] { return patched(16, -1); }},
      {"count too high", kFrameOriginClient, [&] { return patched(20, 3); }},
      {"count too low", kFrameOriginClient, [&] { return patched(20, 1); }},
      {"negative count", kFrameOriginClient, [&] { return patched(20, -1); }},
      {"sub-message length 11", kFrameOriginClient, [&] { return patched(24 + 8, 11); }},
      {"sub-message past the end", kFrameOriginClient, [&] { return patched(24 + 8, 1000); }},
      {"queued walk of 28 bytes", kFrameOriginClient, [&] { return patched(24 + 28 + 8, 28); }},
      {"sub-message first word", kFrameOriginClient, [&] { return patched(24, 1); }},
      {"set-up message in a frame", kFrameOriginClient,
       [&] { return Frame(3, kFrameOriginClient, {MakeSlotMessage(MSG_INIT_JOIN_READY, 0)}); }},
      {"nested frame in a client frame", kFrameOriginClient,
       [&] { return Frame(3, kFrameOriginClient, {Frame(3, kFrameOriginClient, {})}); }},
      {"command in a host frame", kFrameOriginHost, [&] { return Frame(3, kFrameOriginHost, {Walk(1)}); }},
      {"host frame in a host frame", kFrameOriginHost,
       [&] { return Frame(3, kFrameOriginHost, {Frame(3, kFrameOriginHost, {})}); }},
      {"five clients", kFrameOriginHost,
       [&] { return Frame(3, kFrameOriginHost, std::vector<Bytes>(5, Frame(3, kFrameOriginClient, {}))); }},
      {"client frame above 2048 bytes", kFrameOriginClient,
       [&] { return Frame(3, kFrameOriginClient, std::vector<Bytes>(80, Walk(1))); }},
  };
  EXPECT_TRUE(CheckFrameMessage(good.data(), good.size(), kFrameOriginClient));
  for (const Case& c : cases) {
    Bytes bad = c.make();
    EXPECT_FALSE(CheckFrameMessage(bad.data(), bad.size(), c.origin)) << c.what;
  }
}

TEST(NetMessages, SetUpReadersCheckEveryValue) {
  INetSetupRecords records;
  WizardSpells spells;
  const uint8_t list[3] = {0, 50, 103};
  Bytes message = MakeWizardSpellsMessage(2, list, 3);
  ASSERT_EQ(message.size(), 41u);
  ASSERT_TRUE(ReadWizardSpells(message.data(), message.size(), spells));
  EXPECT_EQ(spells.count, 3);
  EXPECT_EQ(spells.spells[2], 103);
  Bytes none = MakeWizardSpellsMessage(1, nullptr, 0);
  ASSERT_TRUE(ReadWizardSpells(none.data(), none.size(), spells));
  EXPECT_EQ(spells.count, 0);  // the lone 255 is no spell
  EXPECT_EQ(none[20], 255);

  struct Broken {
    const char* what;
    Bytes bytes;
  };
  auto withWord = [](Bytes bytes, int word, int32_t value) {
    SetMessageWord(bytes.data(), word, value);
    return bytes;
  };
  auto withByte = [](Bytes bytes, int at, uint8_t value) {
    bytes[at] = value;
    return bytes;
  };
  const Bytes settings(kGameSettingsBytes, 0);
  const std::vector<Broken> spellCases = {
      {"player 4", withWord(message, 3, 4)},
      {"player -1", withWord(message, 3, -1)},
      {"no count", withWord(message, 4, 0)},
      {"22 spells", withWord(message, 4, 22)},
      {"spell 104", withByte(message, 21, 104)},
      {"255 among others", withByte(message, 21, 255)},
      {"short", Bytes(message.begin(), message.end() - 1)},
  };
  for (const Broken& b : spellCases) EXPECT_FALSE(ReadWizardSpells(b.bytes.data(), b.bytes.size(), spells)) << b.what;

  int32_t slot = 0, value = 0;
  Bytes ready = MakeSlotMessage(MSG_INIT_JOIN_READY, 3);
  EXPECT_TRUE(ReadSlotMessage(ready.data(), ready.size(), slot));
  EXPECT_EQ(slot, 3);
  ready = withWord(ready, 3, 4);
  EXPECT_FALSE(ReadSlotMessage(ready.data(), ready.size(), slot));
  Bytes handicap = MakeHandicapMessage(-1, 10);
  EXPECT_FALSE(ReadHandicapMessage(handicap.data(), handicap.size(), slot, value));

  const uint8_t* record = nullptr;
  Bytes gameSetup = MakeGameSetupMessage(settings.data());
  EXPECT_TRUE(ReadGameSetup(gameSetup.data(), gameSetup.size(), records, record));
  EXPECT_FALSE(ReadGameSetup(withWord(gameSetup, 3 + 3, 22).data(), gameSetup.size(), records, record))
      << "22 magic items";
  EXPECT_FALSE(ReadGameSetup(withWord(gameSetup, 3, -1).data(), gameSetup.size(), records, record))
      << "negative region";

  Bytes slotRecord = Slot("Ann");
  Bytes wizard = MakeWizardSetupMessage(slotRecord.data(), 1);
  EXPECT_TRUE(ReadWizardSetup(wizard.data(), wizard.size(), records, record, slot));
  EXPECT_FALSE(ReadWizardSetup(withWord(wizard, 82, 4).data(), wizard.size(), records, record, slot)) << "slot 4";
  Bytes unterminated = wizard;
  std::memset(unterminated.data() + 12, 'A', 31);
  EXPECT_FALSE(ReadWizardSetup(unterminated.data(), unterminated.size(), records, record, slot));
}

TEST(NetMessages, InitialiseChecksPlayersAndOwnIndex) {
  INetSetupRecords records;
  const Bytes settings(kGameSettingsBytes, 0), slot = Slot("Ann");
  const uint8_t* slots[4] = {slot.data(), slot.data(), slot.data(), slot.data()};
  const uint8_t items[21] = {};
  struct Case {
    int32_t clients, own;
    bool ok;
  };
  for (const Case& c : {Case{1, 0, true}, Case{4, 3, true}, Case{0, 0, false}, Case{5, 0, false}, Case{2, 2, false},
                        Case{2, -1, false}}) {
    const int32_t setup[6] = {1, 0, 0, 0, c.clients, c.own};
    Bytes init = MakeInitialiseMessage(settings.data(), slots, items, setup);
    InitialiseView view;
    EXPECT_EQ(ReadInitialise(init.data(), init.size(), records, view), c.ok) << c.clients << " " << c.own;
  }
  const int32_t setup[6] = {1, 0, 0, 0, 1, 0};
  Bytes init = MakeInitialiseMessage(settings.data(), slots, items, setup);
  InitialiseView view;
  init.push_back(0);
  EXPECT_FALSE(ReadInitialise(init.data(), init.size(), records, view)) << "1634 bytes";
  init.pop_back();
  bytes::StoreU32(init.data() + 324 + 316 + 39, 8);  // colour 8 in slot 1
  EXPECT_FALSE(ReadInitialise(init.data(), init.size(), records, view));
}

TEST(NetMessageQueue, RingPushDropAndFind) {
  CNetMessageQueue queue;
  ASSERT_FALSE(queue.Create(20, 3));
  ASSERT_TRUE(queue.Create(64, 3));
  EXPECT_EQ(queue.Oldest(), nullptr);
  for (int frame = 0; frame < 3; ++frame) {
    CNetMessageQueue::Entry* entry = queue.Push();
    ASSERT_NE(entry, nullptr);
    entry->frame = frame;
  }
  EXPECT_EQ(queue.Push(), nullptr);  // full: nothing moves
  EXPECT_EQ(queue.Oldest()->frame, 0);
  EXPECT_EQ(queue.Newest()->frame, 2);
  queue.DropOldest();
  CNetMessageQueue::Entry* wrapped = queue.Push();
  wrapped->Reset();
  EXPECT_EQ(wrapped, &queue.entries[0]);
  EXPECT_EQ(queue.FindFrame(2), &queue.entries[2]);
  EXPECT_EQ(queue.FindFrame(0), nullptr);

  // Appending counts and refuses what does not fit.
  const Bytes walk = Walk(1);
  EXPECT_TRUE(wrapped->Append(walk.data(), 28));
  EXPECT_EQ(MessageWord(wrapped->buffer, 5), 1);
  EXPECT_EQ(MessageWord(wrapped->buffer, 2), 52);
  EXPECT_FALSE(wrapped->Append(walk.data(), 28));
  EXPECT_EQ(wrapped->used, 52);
}

}  // namespace
