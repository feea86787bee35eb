#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/CpuInfo.h"
#include "core/MMTimer.h"
#include "core/Options.h"
#include "platform/Clock.h"
#include "platform/Timer.h"

namespace {

int g_lastFamilySet = -1;
int g_portableSet = 0;

struct RecordedPrinterSelection : IPrinterSelection {
  void SelectProcessorPrinters(bool family6) override { g_lastFamilySet = family6 ? 6 : 0; }
  void UsePortableSpritePrinter() override { ++g_portableSet; }
};

class ProcessorProbe : public ::testing::Test {
 protected:
  void SetUp() override {
    g_lastFamilySet = -1;
    g_portableSet = 0;
    g_measureCpuMhz = [](bool) { return 1234; };
  }
  void TearDown() override {
    g_measureCpuMhz = MeasureCpuMhz;
    ResetGlobalOptions();
  }
  RecordedPrinterSelection printers_;
  HookScope<IPrinterSelection> scope_{g_printerSelection, printers_};
};

TEST_F(ProcessorProbe, FillsTheRecordAndChoosesThePrinters) {
  CCpuInfo info;
  info.Probe();
  EXPECT_EQ(info.mhz, 1234);
  EXPECT_NE(info.vendor[0], 0);
  EXPECT_EQ(info.vendor[12], 0);
  EXPECT_EQ(info.hasFpu, 1);
  EXPECT_EQ(info.hasTsc, 1);
  EXPECT_EQ(info.featureFlags & 1u, 1u);
  EXPECT_EQ(g_lastFamilySet, info.family == 6 ? 6 : 0);
  EXPECT_EQ(g_portableSet, 1);  // UseCSpritePrinter is on by default
}

TEST_F(ProcessorProbe, FamilySixGetsItsOwnSetAndThePortablePrinterFollowsTheOption) {
  CCpuInfo info;
  info.family = 15;
  info.ChoosePrinters();
  EXPECT_EQ(g_lastFamilySet, 0);
  EXPECT_EQ(g_portableSet, 1);
  info.family = 6;
  g_useCSpritePrinter = 0;
  info.ChoosePrinters();
  EXPECT_EQ(g_lastFamilySet, 6);
  EXPECT_EQ(g_portableSet, 1);  // the option off leaves the main printer to the processor's
}

TEST(ProcessorClock, TwoMeasurementsOfTheCounterRateAgree) {
  // The rate is the processor counter's, whatever a test did to the tick count.
  platform::ManualClock frozen(5);
  const int first = MeasureCpuMhz(true);
  const int second = MeasureCpuMhz(true);
  ASSERT_GT(first, 0);
  EXPECT_NEAR(second, first, first / 10 + 1);
}

std::atomic<int> g_ticks{0};
std::atomic<bool> g_inCallback{false};
std::atomic<bool> g_callbackDone{false};

TEST(MMTimer, StartsOnceStopsAndNoCallbackRunsAfterStop) {
  g_ticks = 0;
  CMMTimer timer;
  EXPECT_EQ(timer.delay, 40u);
  timer.SetPeriod(2, 5);
  EXPECT_EQ(timer.resolution, platform::kTimerMinimumPeriod);
  ASSERT_EQ(timer.Start([](uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t) { ++g_ticks; }), 1);
  uint32_t first = timer.timerId;
  EXPECT_EQ(timer.Start([](uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t) {}), 0);
  EXPECT_EQ(timer.timerId, first);
  while (g_ticks < 3) std::this_thread::yield();
  EXPECT_EQ(timer.Stop(), 0);
  EXPECT_EQ(timer.running, 0);
  int atStop = g_ticks;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(g_ticks, atStop);
  EXPECT_EQ(timer.Stop(), 0);  // stopping a stopped timer does nothing
}

TEST(MMTimer, StopWaitsForACallbackInFlight) {
  g_inCallback = false;
  g_callbackDone = false;
  CMMTimer timer;
  timer.SetPeriod(1, 5);
  // Without a started timer the wait below would never end.
  ASSERT_EQ(timer.Start([](uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t) {
    if (g_callbackDone) return;
    g_inCallback = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    g_callbackDone = true;
  }),
            1);
  while (!g_inCallback) std::this_thread::yield();
  timer.Stop();
  EXPECT_TRUE(g_callbackDone);
}

TEST(MMTimer, AnUnavailableTimerServiceNeverStarts) {
  // The service is looked at once, by the first timer a process builds: that first look
  // happens with it still there, so that the timers of later tests are not refused.
  CMMTimer firstTimer;
  platform::SetTimersAvailable(false);
  CMMTimer timer;
  EXPECT_EQ(timer.Start([](uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t) {}), 0);
  platform::SetTimersAvailable(true);
  EXPECT_EQ(timer.running, 0);
}

}  // namespace
