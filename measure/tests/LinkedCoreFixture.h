#pragma once

// A measurement core on the instrument link's fake device and a manual
// clock, with the English texts, a recording message sink and a fake
// client. The link's statics start as a freshly started program has them.

#include "measure/core/MeasureCore.h"
#include "measure/tests/MeasureCoreFixture.h"

#include "platform/portkit/tests/support/FakeDevice.h"
#include "platform/portkit/tests/support/ManualLinkClock.h"

template <class TCore>
class LinkedCoreTest : public ::testing::Test {
protected:
  explicit LinkedCoreTest(unsigned short kind)
      : Texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"),
        Core(&Texts, &Client, kind) {
    Texts.SetSink(&Sink);
    TMeasureInterrupt::ResetStatics();
    TMeasureInterrupt::ConstansOfBTPS.fill(1.0f);
    TMeasureInterrupt::FlagBegin = false;
    TMeasureInterrupt::TestMode = 0;
    TMeasureData::LastSentData = 0xEF7F;
    TMeasureCore::StateOfMetronom = 0;
    TMeasureCore::DisableMetronom = false;
    Core.TMeasureInterrupt::SetClock(Clock);
    Core.SetIniFile((Folder / "Halvetra.ini").string());
    Core.SetDeviceOpener([this](const PORT_CONFIG&, TPortError&, std::string& name) -> std::unique_ptr<TTransport> {
      name = "COM1";
      return std::make_unique<TFakeTransport>(Device, name);
    });
  }

  // Every message a test provokes it takes out of the sink; any other fails.
  void TearDown() override {
    for (const TUserMessage& message : Sink.Messages)
      ADD_FAILURE() << "unexpected message: " << message.Text;
  }

  std::string TakeMessage() {
    if (Sink.Messages.empty())
      return {};
    std::string text = Sink.Messages.front().Text;
    Sink.Messages.erase(Sink.Messages.begin());
    return text;
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts;
  TFakeClient Client;
  std::shared_ptr<TManualLinkClock> Clock = std::make_shared<TManualLinkClock>();
  std::shared_ptr<TFakeDevice> Device = std::make_shared<TFakeDevice>(Clock.get());
  TCore Core;
};
