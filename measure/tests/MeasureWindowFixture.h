#pragma once

// The measurement window offscreen, as every window test opens it: a
// temporary folder for its ini file, the English texts into a recording
// sink (every message the user would have seen must be taken by the test),
// a client that records the commands the window sends it, and the
// simulator rig for the tests that play an instrument on the event loop.

#include "measure/window/Measure.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "testing/Pictures.h"
#include "testing/RecordingSink.h"
#include "testing/SimulatorRig.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

// Stands for the program's client: records the commands the window sends
// it, answers everything else with `Answer` and asks for no help mode.
class TMeasureWindowClient final : public TEventHandler {
public:
  struct TSent {
    unsigned Msg;
    TParam1 WParam;
  };
  std::vector<TSent> Sent;
  TResult Answer = 1;

protected:
  TResult DefaultProcessing(unsigned msg, TParam1 wParam, TParam2) override {
    if (msg == WM_GET_HELP_MODE)
      return 0;
    if (msg == WM_COMMAND)
      Sent.push_back({msg, wParam});
    return Answer;
  }
};

class MeasureWindowFixture : public ::testing::Test {
protected:
  // The design scale of a 1280 × 800 screen.
  static constexpr float WideScale = 1280.0f / 800.0f;
  static constexpr float ShortScale = 800.0f / 600.0f;

  MeasureWindowFixture() { Texts.SetSink(&Sink); }
  ~MeasureWindowFixture() override {
    Rig.StopPump();
    Window.reset();
    Sink.ExpectAllTaken();
  }

  // An adult of average build.
  static PREDICTED_DATA Adult(std::string_view name = "Test Man") {
    PREDICTED_DATA patient;
    patient.SetName(name);
    patient.Age = 40;
    patient.Height = 180;
    patient.Weight = 80;
    patient.Sex = 1;
    return patient;
  }

  // The window of `kind` made, not yet set up: for a test that puts
  // results or a clock in place first. The ini file is Folder's.
  TMeasure& Create(short kind, const PREDICTED_DATA& patient = Adult(), bool stageView = false,
                   float xScale = WideScale, float yScale = ShortScale) {
    Window.reset();
    Window = std::make_unique<TMeasure>(xScale, yScale, kind, &Texts, (Folder / "Halvetra.ini").string(), short{0},
                                        patient, nullptr, 1.0f, stageView, &Client);
    return *Window;
  }

  // The window made set up in `kind` and shown offscreen.
  TMeasure& Show(short kind) {
    Window->SetupWindow();
    Window->SetMeasureMode(kind);
    Window->show();
    return *Window;
  }

  TMeasure& Open(short kind, const PREDICTED_DATA& patient = Adult(), bool stageView = false,
                 float xScale = WideScale, float yScale = ShortScale) {
    Create(kind, patient, stageView, xScale, yScale);
    return Show(kind);
  }

  // The window's link on the rig's clock and device, with the simulated
  // instrument of these options behind it.
  void Attach(TSimulatorOptions options) {
    Rig.Connect(*Window);
    Window->HasInstrument = true;
    Rig.Attach(std::move(options));
  }

  // `steps` sample periods on the event loop.
  void Play(long steps) {
    const long until = Rig.Steps() + steps;
    Rig.RunEventLoopWhile([&] { return Rig.Steps() < until; }, 10 * steps);
  }

  // The event loop until the window is idle, at most `passes` passes, each
  // a sample period of the instrument.
  void RunUntilIdle(long passes) {
    Rig.RunEventLoopWhile([this] { return Window->IsRunning(); }, passes);
  }

  // The screen drawn afresh, then its picture in build/artifacts.
  void Picture(std::string_view name) {
    Window->GetView().RedrawScreenBmp();
    SavePicture(*Window, name);
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TMeasureWindowClient Client;
  TSimulatorRig Rig;
  std::unique_ptr<TMeasure> Window;
};
