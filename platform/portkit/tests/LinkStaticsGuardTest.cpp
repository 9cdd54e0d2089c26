#include "platform/portkit/LinkStaticsGuard.h"

#include <gtest/gtest.h>

namespace {

class Window final : public TEventHandler {};

// A port test while a measurement window runs: the window's link state is
// cleared for the test and comes back whole afterwards.
TEST(LinkStaticsGuard, ClearsTheStaticsForAStandAloneLinkAndRestoresTheWindows) {
  using M = TMeasureInterrupt;
  Window window;
  M::pThis = &window;
  M::MeasureMode = 3;
  M::IdCommDev = 17;
  M::LastSentData = 0xEF62;
  M::TestMode = 4;
  M::HardwareMode = 7;
  M::CompressorState = 1;
  M::ZeroBuffer[5] = 12.5f;
  M::pIndicator = {1, 2, 3, 4, 5, 6};
  {
    const TLinkStaticsGuard guard;
    EXPECT_EQ(M::pThis.Get(), nullptr);
    EXPECT_EQ(M::IdCommDev, 0);
    EXPECT_EQ(M::TestMode, 0);
    EXPECT_EQ(M::HardwareMode, 0);
    EXPECT_EQ(M::CompressorState, 0);
    EXPECT_EQ(M::pIndicator[0], 0);
    M::MeasureMode = -1;
    M::LastSentData = 0xAF7F;
    M::ZeroBuffer[5] = 0.0f;
    M::IdCommDev = 99;
  }
  EXPECT_EQ(M::pThis.Get(), &window);
  EXPECT_EQ(M::MeasureMode, 3);
  EXPECT_EQ(M::IdCommDev, 17);
  EXPECT_EQ(M::LastSentData, 0xEF62);
  EXPECT_EQ(M::TestMode, 4);
  EXPECT_EQ(M::HardwareMode, 7);
  EXPECT_EQ(M::CompressorState, 1);
  EXPECT_EQ(M::ZeroBuffer[5], 12.5f);
  EXPECT_EQ(M::pIndicator[5], 6);
  M::ResetStatics();
  M::pThis = nullptr;
  M::MeasureMode = 0;
  M::ZeroBuffer.fill(0.0f);
}

}  // namespace
