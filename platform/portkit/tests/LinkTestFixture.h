#pragma once

// A link with a fake instrument behind it, a manual clock, the English
// texts with a recording sink, and a window that is notified.

#include "platform/basekit/Message.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "platform/portkit/tests/support/FakeDevice.h"
#include "platform/portkit/tests/support/LinkStatics.h"
#include "platform/portkit/tests/support/ManualLinkClock.h"
#include "platform/portkit/tests/support/TestWindow.h"
#include "testing/RecordingSink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

class LinkTest : public ::testing::Test {
protected:
  LinkTest() {
    ResetLinkStatics();
    Texts.SetSink(&Sink);
    Link.SetClock(Clock);
    Link.SetDeviceOpener([this](const PORT_CONFIG&, TPortError& error, std::string& name) -> std::unique_ptr<TTransport> {
      name = "COM1 (fake)";
      ++Opened;
      error = OpenFailure;
      if (OpenFailure.Kind != TPortFailure::None)
        return nullptr;
      return std::make_unique<TFakeTransport>(Device, name);
    });
    Link.HasInstrument = true;
    Device->Identity = {InstrumentProtocol::Version, 0, 0, InstrumentProtocol::ChannelFlow};
  }
  ~LinkTest() override { ResetLinkStatics(); }

  // A port check, then the acquisition with the window notified.
  void Start() {
    ASSERT_TRUE(Link.TestSerialPort()) << Link.LastPortError;
    TMeasureData::pThis = &Window;
    Link.InitHandler();
  }

  static std::filesystem::path LanguageFolder() { return std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"; }

  std::shared_ptr<TManualLinkClock> Clock = std::make_shared<TManualLinkClock>();
  std::shared_ptr<TFakeDevice> Device = std::make_shared<TFakeDevice>(Clock.get());
  TPortError OpenFailure;
  int Opened = 0;
  TRecordingSink Sink;
  TMessage Texts{"English", LanguageFolder()};
  TMeasureInterrupt Link{MEASURE_FVC, &Texts};
  TTestWindow Window{Link};
};
