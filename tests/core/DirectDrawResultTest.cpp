#include <gtest/gtest.h>

#include "core/DirectDrawResult.h"
#include "support/TestSupport.h"

using testing_support::BoxRecorder;
using testing_support::ExitCodeOf;

namespace {

constexpr int32_t kSurfaceLost = static_cast<int32_t>(0x887601C2u);

TEST(DirectDrawResult, SuccessAndALostSurfaceShowNothingAndGoOn) {
  BoxRecorder boxes;
  EXPECT_EQ(CheckDirectDrawResult(0), 0);
  EXPECT_EQ(CheckDirectDrawResult(kSurfaceLost), 0);
  EXPECT_EQ(boxes.Count(), 0u);
  EXPECT_EQ(DirectDrawErrorText(kSurfaceLost), nullptr);
}

TEST(DirectDrawResult, AKnownFailureIsShownThenEndsTheProgram) {
  BoxRecorder boxes;
  EXPECT_EQ(ExitCodeOf([] { CheckDirectDrawResult(static_cast<int32_t>(0x80004005u)); }), 1);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "DirectDraw Error");
  EXPECT_EQ(boxes.Boxes()[0].text, " Generic failure.");
  EXPECT_EQ(ExitCodeOf([] { CheckDirectDrawResult(static_cast<int32_t>(0x88760000u + 695)); }), 1);
  EXPECT_EQ(boxes.Boxes()[1].text, " The video port is not active");
}

TEST(DirectDrawResult, AnUnknownFailureEndsTheProgramWithoutABox) {
  BoxRecorder boxes;
  EXPECT_EQ(ExitCodeOf([] { CheckDirectDrawResult(static_cast<int32_t>(0x88760000u + 6)); }), 1);
  EXPECT_EQ(boxes.Count(), 0u);
}

TEST(DirectDrawResult, EveryKnownCodeHasOneLineStartingWithABlank) {
  EXPECT_EQ(DirectDrawKnownCodeCount(), 105);
  for (uint32_t code : {0x80004001u, 0x8007000Eu, 0x80070057u, 0x800401F0u, 0x88760005u, 0x88760000u + 699}) {
    const char* text = DirectDrawErrorText(static_cast<int32_t>(code));
    ASSERT_NE(text, nullptr) << std::hex << code;
    EXPECT_EQ(text[0], ' ');
    EXPECT_EQ(std::string(text).find('\n'), std::string::npos);
  }
}

}  // namespace
