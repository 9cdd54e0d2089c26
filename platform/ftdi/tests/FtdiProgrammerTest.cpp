#include "platform/ftdi/FtdiProgrammer.h"
#include "platform/ftdi/FtdiDevice.h"

#include <gtest/gtest.h>

namespace {

// With no FTDI device attached (or no USB access at all) opening fails with
// the library's reason, and the other calls refuse rather than touch a chip.
TEST(FtdiProgrammer, WithoutADeviceOpenFailsWithAReasonAndNothingIsWritten) {
  if (!TFtdiDevice::ListDescriptions().Descriptions.empty())
    GTEST_SKIP() << "an FTDI device is attached; this test must not program it";
  const auto programmer = TFtdiProgrammer::Create();
  std::string error;
  EXPECT_FALSE(programmer->Open(error));
  EXPECT_FALSE(error.empty());

  error.clear();
  TFtdiProgrammer::TImage image;
  image.Description = "USB Spirometer";
  EXPECT_FALSE(programmer->Program(image, error));
  EXPECT_FALSE(error.empty());
  std::string description;
  EXPECT_FALSE(programmer->ReadDescription(description, error));
  programmer->Close();
  programmer->Close();
}

}  // namespace
