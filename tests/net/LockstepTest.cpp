// Four machines on a loopback run a battle model in lock step over lossy links: every
// validation agrees and all end in the same state; one seed gives one run; a machine that
// skips a command is caught, its battle ends, and the process goes on.
#include <gtest/gtest.h>

#include <string>

#include "NetRig.h"
#include "net/NetMessages.h"
#include "support/TestSupport.h"

namespace net_test {
namespace {

struct LossCase {
  double loss;
  int delay;
};

platform::LoopbackConditions Lossy(double loss) {
  platform::LoopbackConditions conditions;
  conditions.loss = loss;
  conditions.duplicate = loss / 4;
  conditions.reorder = loss;
  conditions.minDelayMs = 5;
  conditions.maxDelayMs = 40;
  conditions.heldBackMs = 60;
  return conditions;
}

struct RunResult {
  int rounds = 0;
  std::vector<std::vector<uint32_t>> words;
  std::vector<int> agreed;
  uint64_t lost = 0;
};

RunResult RunBattle(int frames, const LossCase& lossCase, uint64_t seed) {
  LockstepRig rig(4, lossCase.delay, seed, Lossy(lossCase.loss));
  rig.Start();
  RunResult result;
  result.rounds = rig.Run(frames, 40 * frames + 20000);
  for (auto& machine : rig.machines) {
    result.words.push_back(machine->model.FinalWords());
    result.agreed.push_back(machine->net.client.validationsAgreed);
    EXPECT_FALSE(machine->ended) << machine->model.endReason;
    EXPECT_EQ(machine->net.frame, frames);
  }
  result.lost = rig.network.Stats().lost;
  return result;
}

class LockstepLoss : public ::testing::TestWithParam<LossCase> {};

TEST_P(LockstepLoss, FourMachinesAgreeOnEveryFrame) {
  constexpr int kFrames = 10000;
  testing_support::BoxRecorder boxes;
  RunResult run = RunBattle(kFrames, GetParam(), 77);
  ASSERT_GE(run.rounds, 0) << "the battle stalled";
  EXPECT_EQ(boxes.Count(), 0u);
  for (size_t i = 1; i < run.words.size(); ++i) EXPECT_EQ(run.words[i], run.words[0]) << "machine " << i;
  // Each machine checks every client's record of every frame it ran but the first few.
  for (int agreed : run.agreed) EXPECT_GE(agreed, 4 * (kFrames - GetParam().delay - 2));
  if (GetParam().loss > 0) EXPECT_GT(run.lost, 0u);
}

INSTANTIATE_TEST_SUITE_P(Loss, LockstepLoss,
                         ::testing::Values(LossCase{0.0, 2}, LossCase{0.05, 2}, LossCase{0.20, 2}, LossCase{0.05, 5}));

TEST(Lockstep, OneSeedGivesOneRun) {
  RunResult first = RunBattle(600, LossCase{0.2, 2}, 5);
  RunResult second = RunBattle(600, LossCase{0.2, 2}, 5);
  EXPECT_EQ(first.rounds, second.rounds);
  EXPECT_EQ(first.words, second.words);
  EXPECT_EQ(first.lost, second.lost);
  RunResult other = RunBattle(600, LossCase{0.2, 2}, 6);
  EXPECT_NE(first.rounds, other.rounds);
}

TEST(Lockstep, AMachineSkippingACommandIsCaughtAtThatFrame) {
  testing_support::BoxRecorder boxes;
  testing_support::ExitTrap trap;
  LockstepRig rig(4, 2, 9, Lossy(0.0));
  for (auto& machine : rig.machines) machine->commandRate = 1.0;
  constexpr int kSkipped = 300;
  rig.At(2).model.skipFrame = kSkipped;
  rig.Start();
  rig.Run(400, 40000);
  ASSERT_TRUE(rig.At(2).model.skipped);
  // The record built after frame 300 runs with frame 300 + 1 + delay: every machine finds it
  // differs, and only its battle ends.
  for (auto& machine : rig.machines) {
    EXPECT_TRUE(machine->ended);
    EXPECT_EQ(machine->model.endedAtFrame, kSkipped + 3);
    EXPECT_EQ(machine->model.endReason, "message validation: random numbers out of synch");
    EXPECT_TRUE(machine->net.client.Failed());
  }
  ASSERT_GE(boxes.Count(), 4u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "CRITICAL NETWORK ERROR");
}

// The host has run the last frame while the other machine lags, and the host frames it sent
// that machine are lost. The host serves until that machine has run the last frame too: had
// it left at once, the other would have rebuilt those frames as their new host, without the
// host's commands in them, and ended otherwise.
TEST(Lockstep, AFinishedHostServesUntilTheOthersRanTheLastFrame) {
  constexpr int kLast = 40;
  testing_support::BoxRecorder boxes;
  LockstepRig rig(2, 2, 13, Lossy(0.0));
  for (auto& machine : rig.machines) machine->commandRate = 1.0;
  rig.Start();
  ASSERT_GE(rig.Run(kLast - 3, 20000), 0);
  RigMachine& host = rig.At(0);
  RigMachine& guest = rig.At(1);
  guest.paused = true;
  ASSERT_GE(rig.Run(kLast, 20000), 0);  // the guest's messages reach as far as the host's last frame
  ASSERT_EQ(host.net.frame, kLast);
  std::vector<uint8_t> buffer(kHostFrameBytes);
  platform::NetMessageInfo info;
  while (guest.net.session.endpoint->Receive(guest.net.client.ownPlayer, buffer.data(), buffer.size(), info) ==
         platform::kNetOk) {
  }
  guest.paused = false;
  int rounds = 0;
  {
    NetHooksScope scope(host.hooks);
    for (; host.net.Serve() && rounds < 2000; ++rounds) {
      rig.Step(guest, kLast);
      rig.clock.Advance(rig.stepMs);
    }
  }
  EXPECT_GT(rounds, 0) << "the host was not needed";
  EXPECT_LT(rounds, 2000) << "the host was needed for ever";
  EXPECT_EQ(guest.net.frame, kLast);
  host.net.session.Release();
  host.ended = true;
  for (int round = 0; round < 200; ++round) rig.Step(guest, kLast);
  EXPECT_EQ(guest.model.FinalWords(), host.model.FinalWords());
  EXPECT_EQ(boxes.Count(), 0u);
}

// The host machine leaves while one survivor is behind, having lost the host frames meant for
// it: the survivor that joined first becomes the host, resends the frames it ran to the one
// behind, and the three carry on in agreement.
TEST(Lockstep, ANewHostBringsASurvivorBehindAlong) {
  testing_support::BoxRecorder boxes;
  LockstepRig rig(4, 2, 11, Lossy(0.0));
  rig.At(0).commandRate = 0;  // the frames a new host rebuilds hold nothing of the departed
  rig.Start();
  ASSERT_GE(rig.Run(100, 20000), 0);

  RigMachine& behind = rig.At(2);
  behind.paused = true;
  rig.Run(110, 300);  // the others go on as far as its frames reach
  std::vector<uint8_t> buffer(kHostFrameBytes);
  platform::NetMessageInfo info;
  while (behind.net.session.endpoint->Receive(behind.net.client.ownPlayer, buffer.data(), buffer.size(), info) ==
         platform::kNetOk) {
  }
  const int behindAt = behind.net.frame, newHostAt = rig.At(1).net.frame;
  EXPECT_GT(newHostAt, behindAt);

  rig.At(0).net.session.Release();
  rig.At(0).ended = true;
  behind.paused = false;
  ASSERT_GE(rig.Run(300, 40000), 0) << "stalled after the host left";
  EXPECT_TRUE(rig.At(1).net.session.isHost);
  EXPECT_EQ(boxes.Count(), 0u);
  for (int i = 1; i < 4; ++i) {
    EXPECT_FALSE(rig.At(i).ended) << rig.At(i).model.endReason;
    EXPECT_EQ(rig.At(i).model.FinalWords(), rig.At(1).model.FinalWords()) << "machine " << i;
  }
  EXPECT_GT(rig.At(2).net.client.validationsAgreed, 3 * 250);
}

// The host machine leaves while the survivor that becomes the host is behind the others, having
// lost the last host frames: the others ran frames it never had, and their messages for the
// first of them are gone from their queues. They answer its requests with the frames as they
// ran them, which it sends on as they were: none is rebuilt without the departed host's
// commands, and all three finish alike.
TEST(Lockstep, ANewHostBehindTheOthersTakesTheFramesTheyRan) {
  testing_support::BoxRecorder boxes;
  LockstepRig rig(4, 2, 17, Lossy(0.0));
  for (auto& machine : rig.machines) machine->commandRate = 1.0;
  rig.Start();
  ASSERT_GE(rig.Run(100, 20000), 0);

  RigMachine& newHost = rig.At(1);
  newHost.paused = true;
  rig.Run(110, 300);  // the others go on as far as its frames reach
  std::vector<uint8_t> buffer(kHostFrameBytes);
  platform::NetMessageInfo info;
  while (newHost.net.session.endpoint->Receive(newHost.net.client.ownPlayer, buffer.data(), buffer.size(), info) ==
         platform::kNetOk) {
  }
  EXPECT_GE(rig.At(2).net.frame, newHost.net.frame + 3);

  rig.At(0).net.session.Release();
  rig.At(0).ended = true;
  newHost.paused = false;
  ASSERT_GE(rig.Run(200, 40000), 0) << "stalled after the host left";
  EXPECT_TRUE(newHost.net.session.isHost);
  EXPECT_EQ(boxes.Count(), 0u);
  for (int i = 1; i < 4; ++i) {
    EXPECT_FALSE(rig.At(i).ended) << rig.At(i).model.endReason;
    EXPECT_EQ(rig.At(i).model.FinalWords(), rig.At(2).model.FinalWords()) << "machine " << i;
  }
}

}  // namespace
}  // namespace net_test
