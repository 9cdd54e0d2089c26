// The shutter test through the real program: on the instrument simulator
// over a pseudo-terminal (ten times faster than life) a series of closures
// is measured, stored, found again in the browser and loaded back as it was
// stored; and in demonstration mode ShDemo.bin replays to the resistance of
// the patient it was made from.
//
// Both take a few seconds: the series waits for five breaths and then
// takes twenty closures, about 30 s of breathing that even ten times faster
// is 3 s of real time; the demonstration plays its 48 s one event-loop pass
// a sample.

#include "shell/tests/InstrumentAppFixture.h"

#include "common/CommandNumbers.h"
#include "measure/window/Measure.h"
#include "platform/portkit/Protocol.h"
#include "platform/portkit/tests/support/ManualLinkClock.h"
#include "shell/app/ProgramWindows.h"
#include "shell/tests/ManOfForty.h"
#include "testing/SimulatorProcess.h"

#include <QElapsedTimer>
#include <QMdiSubWindow>

#include <algorithm>
#include <array>
#include <functional>
#include <random>
#include <vector>

namespace {

// What a stored shutter trial is: its parameters, its final curve, and its
// date and time.
struct TShutterTrial {
  std::vector<float> Params;
  std::vector<float> Flow;
  std::vector<float> Pressure;
  std::array<unsigned short, 6> When{};
};

TShutterTrial TrialOf(TMeasure& window, short slot) {
  TShutterTrial trial;
  const float* actual = window.GetAktBuffer(MEASURE_SHUTTER, slot);
  const std::size_t names = TMeasureCore::GetParamStr(MEASURE_SHUTTER).size();
  if (actual)
    trial.Params.assign(actual, actual + names);
  const auto count = static_cast<std::size_t>(std::max<short>(window.GetBufferSize(MEASURE_SHUTTER, slot), 0));
  const auto s = static_cast<std::size_t>(slot);
  trial.Flow.assign(window.Flow[s].begin(), window.Flow[s].begin() + static_cast<std::ptrdiff_t>(count));
  trial.Pressure.assign(window.Third[s].begin(), window.Third[s].begin() + static_cast<std::ptrdiff_t>(count));
  auto& w = trial.When;
  window.GetMeasureDate(MEASURE_SHUTTER, slot, &w[0], &w[1], &w[2]);
  window.GetMeasureTime(MEASURE_SHUTTER, slot, &w[3], &w[4], &w[5]);
  return trial;
}

class ShutterInProgram : public TInstrumentAppFixture {
protected:
  void SetUp() override { Windows = ProgramWindows(); }

  // A man of 40 on the sheet and his shutter window open.
  TMeasure* OpenShutter() { return OpenForManOfForty(CM_MEASURE_SHUTTER, MEASURE_SHUTTER); }

  std::unique_ptr<TSimulatorProcess> Simulator;
};

TEST_F(ShutterInProgram, ATestOnTheInstrumentIsStoredBrowsedAndLoadedBackUnchanged) {
  // Quiet breathing, 1 L every 4 s, through 0.3 kPa·s/L.
  constexpr double RawKpaSpL = 0.3;
  const QStringList arguments{"--manoeuvre", "tidal", "--trigger", "stream", "--lead-in", "0.5", "--noise", "0",
                              "--speed", "10", "--tv", "1", "--breath", "4", "--raw", QString::number(RawKpaSpL),
                              "--capabilities", QString::number(InstrumentProtocol::CapabilityShutter)};
  Simulator = std::make_unique<TSimulatorProcess>("halvetra-lungsim", arguments, Folder / "lungsim.log");
  ASSERT_FALSE(Simulator->Path.empty());
  Folder.Write("Halvetra.ini", "[Serial Ports]\nCOM1=" + Simulator->Path +
                                   "\n[Hardware]\nInstall=1\nDemo=0\nPort=0\nMode=5\n");
  Start("");
  TMeasure* window = OpenShutter();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->Link().PortInUse) << window->Link().LastPortError;

  // The start after a good zero (taken elsewhere), the calibration
  // reminder answered No.
  window->CreateZeroTimer();
  Sink.Answer = IDNO;
  ASSERT_TRUE(Route(CM_START));
  QApplication::processEvents();
  Sink.Messages.clear();
  ASSERT_TRUE(window->IsRunning());

  // The operator arms the series once the breathing has settled, then
  // waits for twenty closures.
  ASSERT_TRUE(WaitFor([&] { return Enabled(CM_SHUTTER) || !window->IsRunning(); }, 30000))
      << "the shutter button comes after a few breaths";
  ASSERT_TRUE(window->IsRunning());
  ASSERT_TRUE(Route(CM_SHUTTER));
  ASSERT_TRUE(WaitFor([&] { return window->Shutter.Fitted.size() >= 20 || !window->IsRunning(); }, 30000));
  ASSERT_TRUE(Route(CM_STOP));
  ASSERT_FALSE(window->IsRunning());
  // The stop has written its off byte; the simulator is another process and
  // logs it once it has read it, which a loaded machine may delay.
  const auto logged = [&](const std::string& line) {
    const std::vector<std::string> log = Simulator->Log();
    return std::count(log.begin(), log.end(), line);
  };
  EXPECT_TRUE(WaitFor([&] { return logged("shutter series off") > 0; }, 10000));
  EXPECT_EQ(logged("shutter series on"), 1);
  EXPECT_EQ(logged("shutter series off"), 1);
  const TShutterTrial measured = TrialOf(*window, 0);
  ASSERT_FALSE(measured.Params.empty());
  EXPECT_NEAR(measured.Params[0], RawKpaSpL, 0.1 * RawKpaSpL) << "Raw";
  ASSERT_GT(measured.Flow.size(), 2u);
  SavePicture(*window->window(), "shutter-in-program.png");

  // The browser lists the examination; loading it opens the shutter window
  // on the stored trial.
  TMeasure* loaded = StoreAndLoadBack(*window, "sh.db", MEASURE_SHUTTER);
  ASSERT_NE(loaded, nullptr);
  QString caption;
  for (QWidget* up = loaded->parentWidget(); up; up = up->parentWidget())
    if (auto* frame = qobject_cast<QMdiSubWindow*>(up)) {
      caption = frame->windowTitle();
      break;
    }
  EXPECT_EQ(caption.toStdString(), "Shutter") << "the menu's text without its accelerator mark";
  const TShutterTrial back = TrialOf(*loaded, 0);
  EXPECT_EQ(back.Params, measured.Params);
  EXPECT_EQ(back.Flow, measured.Flow);
  EXPECT_EQ(back.Pressure, measured.Pressure);
  // The trial comes back with the examination's moment, the moment it was
  // saved: the same day.
  EXPECT_TRUE(std::equal(back.When.begin(), back.When.begin() + 3, measured.When.begin()));
  EXPECT_FALSE(loaded->HasUnsavedResults()) << "a loaded test is not new";
  loaded->GetView().RedrawScreenBmp();
  SavePicture(*loaded->window(), "shutter-loaded-back.png");
}

// The demonstration link plays ShDemo.bin's counts as the instrument
// would, after the replay has varied them as every demonstration trial is
// varied: flow by f1 = (r1 mod 75 + 75) / 100 and pressure by
// f2 = (r2 mod 50 + 50) / 100 from the window's first two draws. Seed 19271
// draws r1 mod 75 = 25 and r2 mod 50 = 49: f1 = 1.00, f2 = 0.99, the
// recording almost as made. It was made from a patient of Raw
// 0.15 kPa·s/L (tools/lungmodel), so the window finds 0.15 x 0.99 = 0.1485.
TEST_F(ShutterInProgram, TheDemonstrationReplaysToThePatientsResistance) {
  constexpr unsigned Seed = 19271;
  Folder.Write("Halvetra.ini", "[Hardware]\nInstall=1\nMode=5\n");
  Start();
  TMeasure* window = OpenShutter();
  ASSERT_NE(window, nullptr);
  const auto clock = std::make_shared<TManualLinkClock>();
  window->TMeasureInterrupt::SetClock(clock);
  window->SeedRandom(Seed);
  ASSERT_TRUE(Route(CM_START));
  QApplication::processEvents();
  ASSERT_TRUE(window->IsRunning());
  for (int step = 0; step < 20000 && window->IsRunning(); ++step) {
    clock->Advance(10);
    QApplication::processEvents();
  }
  if (window->IsRunning()) {
    ASSERT_TRUE(Route(CM_STOP));
  }
  ASSERT_FALSE(window->IsRunning());

  std::mt19937 draws(Seed);
  ASSERT_EQ((draws() & 0x7FFFFFFF) % 75, 25u);
  ASSERT_EQ((draws() & 0x7FFFFFFF) % 50, 49u);
  const double expected = 0.15 * 0.99;
  EXPECT_GT(window->GetBufferSize(MEASURE_SHUTTER, 0), 2) << "a curve";
  EXPECT_NEAR(window->GetAktBuffer(MEASURE_SHUTTER, 0)[0], expected, 0.1 * expected) << "Raw";
  EXPECT_NEAR(window->GetAktBuffer(MEASURE_SHUTTER, 0)[3], 1.0f / window->GetAktBuffer(MEASURE_SHUTTER, 0)[0], 1e-3f)
      << "Gaw";
  EXPECT_TRUE(window->HasUnsavedResults());
  window->GetView().RedrawScreenBmp();
  SavePicture(*window->window(), "shutter-demo-in-program.png");
}

}  // namespace
