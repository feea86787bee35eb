#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "support/TestSupport.h"

TEST(Process, ExitHookLetsFatalPathsBeTested) {
  EXPECT_EQ(testing_support::ExitCodeOf([] { platform::ExitProcess(3); }), 3);
  EXPECT_EQ(testing_support::ExitCodeOf([] {}), -1);
}

TEST(Clock, ManualClockDrivesTheTickCount) {
  platform::ManualClock clock(0xFFFFFFF0u);
  EXPECT_EQ(platform::TickCount(), 0xFFFFFFF0u);
  clock.Advance(0x20);
  EXPECT_EQ(platform::TickCount(), 0x10u);  // wraps like a 32-bit tick count
}

TEST(MessageBoxes, RecorderAnswersFromItsScriptThenWithTheDefault) {
  testing_support::BoxRecorder boxes;
  boxes.QueueAnswer(platform::kAnswerNo);
  EXPECT_EQ(platform::ShowMessageBox("Quit?", "QUESTION", platform::kBoxYesNo), platform::kAnswerNo);
  EXPECT_EQ(platform::ShowMessageBox("Quit?", "QUESTION", platform::kBoxYesNo | platform::kBoxDefaultButton2),
            platform::kAnswerNo);
  EXPECT_EQ(platform::ShowMessageBox("Quit?", "QUESTION", platform::kBoxYesNo), platform::kAnswerYes);
  ASSERT_EQ(boxes.Count(), 3u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Quit?");
}
