// Lock step between processes: two and four copies of the peer program (peer/LockstepPeer.cpp)
// run the battle model over ENet on this machine's loopback, with datagrams lost and messages
// doubled and reordered as they arrive. Every machine's validations agree and all end with the
// same words; since the model's commands follow from the frames alone, a lossy run ends as the
// lossless run of as many frames. The host killed mid-battle leaves survivors that finish
// alike, and a hostile machine's bytes change nothing and end no process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "peer/PeerRun.h"

namespace {

using net_peer::PeerResult;
using net_peer::RunSpec;

std::vector<PeerResult> RunPeers(const RunSpec& spec) { return net_peer::PeerRun(VRASK_NET_PEER, spec).Run(); }

// Every machine from `from` on finished its frames with status 0, checked the others' records,
// and ended with the words of the first; answers those words.
std::vector<uint32_t> ExpectAgreement(const std::vector<PeerResult>& results, const RunSpec& spec, size_t from = 0) {
  for (size_t i = from; i < results.size(); ++i) {
    SCOPED_TRACE("machine " + std::to_string(i));
    EXPECT_EQ(results[i].status, 0);
    EXPECT_EQ(results[i].frames, spec.frames);
    EXPECT_GT(results[i].agreed, spec.frames / 2);
    EXPECT_EQ(results[i].words, results[from].words);
  }
  return results.size() > from ? results[from].words : std::vector<uint32_t>{};
}

class LockstepProcesses : public ::testing::TestWithParam<int> {};

// Each lost message the battle waits for costs it half a second before it is asked for again,
// so the lossier runs are shorter; bench/net_processes runs the long ones.
TEST_P(LockstepProcesses, AgreeOnEveryFrameAtEveryLoss) {
  const int machines = GetParam();
  const RunSpec lossless{machines, 2000, 0.0};
  EXPECT_FALSE(ExpectAgreement(RunPeers(lossless), lossless).empty());
  for (const RunSpec& spec : {RunSpec{machines, 300, 0.05}, RunSpec{machines, 60, 0.2}}) {
    SCOPED_TRACE(net_peer::Describe(spec));
    const std::vector<uint32_t> words = ExpectAgreement(RunPeers(spec), spec);
    ASSERT_FALSE(words.empty());
    const RunSpec same{machines, spec.frames, 0.0};
    EXPECT_EQ(words, ExpectAgreement(RunPeers(same), same)) << "the same frames without loss end otherwise";
  }
}

INSTANTIATE_TEST_SUITE_P(Peers, LockstepProcesses, ::testing::Values(2, 4));

// The survivors wait out the keep-alive time before the lowest of them hosts; those that ran
// frames the new host lost hand it those frames as they ran them.
TEST(LockstepProcessTest, SurvivorsOfAKilledHostFinishAlike) {
  const RunSpec spec{4, 160, 0.05, 60};
  SCOPED_TRACE(net_peer::Describe(spec));
  std::vector<PeerResult> results = RunPeers(spec);
  ASSERT_EQ(results.size(), 4u);
  EXPECT_EQ(results[0].status, -1) << "the host was to die";
  ExpectAgreement(results, spec, 1);
}

TEST(LockstepProcessTest, AHostilePeerChangesNothing) {
  const RunSpec honest{3, 200, 0.05};
  const std::vector<uint32_t> clean = ExpectAgreement(RunPeers(honest), honest);
  RunSpec hostile = honest;
  hostile.hostile = 2;
  SCOPED_TRACE(net_peer::Describe(hostile));
  EXPECT_EQ(ExpectAgreement(RunPeers(hostile), hostile), clean);
}

}  // namespace
