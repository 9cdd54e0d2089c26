#include "platform/ftdi/FtdiDevice.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Without the instrument attached, all a test can hold the library to is
// saying plainly that the device is not there.
TEST(FtdiDevice, ADescriptionThatNoAttachedDeviceHasIsReportedMissing) {
  const std::string description = "Halvetra test device that is not attached";
  const TFtdiDevice::TList list = TFtdiDevice::ListDescriptions();
  ASSERT_EQ(std::count(list.Descriptions.begin(), list.Descriptions.end(), description), 0);

  std::string error;
  bool missing = false;
  EXPECT_EQ(TFtdiDevice::Open(description, 57600, error, missing), nullptr);
  EXPECT_FALSE(error.empty());
  // A machine without USB access cannot search the bus at all; that is a
  // failure of its own, not a missing device.
  EXPECT_EQ(missing, list.Error.empty()) << error;
}

}  // namespace
