// The body box through the real program on the instrument simulator over a
// pseudo-terminal, ten times faster than life: a test measured, stored,
// found in the browser and loaded back as it was stored; a box that hangs
// up mid-test; and the box log the program wrote at the stop, replayed in
// demonstration mode to the results it gave on the instrument.
//
// The box at 37 °C settles for the shortest time, 30 s, then the patient
// breathes quietly (50 a minute), pants against the shutter and breathes
// out to RV and in to TLC: about 60 s of the box, 6 s of real time. The
// program's own waits run on the real clock (a second for the door to
// seal, 1.65 s of auto-zero words), and opening the window takes about
// 2 s, so each test takes about 10 s.

#include "shell/tests/InstrumentAppFixture.h"

#include "common/CommandNumbers.h"
#include "measure/window/Measure.h"
#include "platform/portkit/plethysmography/Trial.h"
#include "platform/portkit/tests/support/ManualLinkClock.h"
#include "shell/app/ProgramWindows.h"
#include "shell/tests/ManOfForty.h"
#include "testing/SimulatorProcess.h"

#include <QElapsedTimer>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace pl = plethysmography;

// What a stored box trial is: its parameters, its loops and marks, and the
// samples of its three curves.
struct TBoxTrial {
  std::vector<float> Params;
  TPlethySlot Slot;
  std::array<short, 4> Marks{};
  std::vector<float> Flow;
  std::vector<float> Box;
  std::vector<float> Mouth;
};

TBoxTrial BoxTrialOf(TMeasure& window, short slot) {
  TBoxTrial trial;
  if (const float* actual = window.GetAktBuffer(MEASURE_PLETHY, slot))
    trial.Params.assign(actual, actual + PLETHY_PARAMETER_COUNT);
  if (const TPlethySlot* loops = window.GetPlethySlot(slot))
    trial.Slot = *loops;
  trial.Marks = {window.ResistanceStartMark, window.ResistanceEndMark, window.TGVStartMark, window.EndMark};
  const auto count = static_cast<std::size_t>(std::max<short>(window.GetBufferSize(MEASURE_PLETHY, slot), 0));
  const auto samples = [count](const float* curve) {
    return curve ? std::vector<float>(curve, curve + count) : std::vector<float>();
  };
  trial.Flow = samples(window.GetSpiroFlowBuffer(slot));
  trial.Box = samples(window.GetSpiroBoxPressureBuffer(slot));
  trial.Mouth = samples(window.GetSpiroMouthPressureBuffer(slot));
  return trial;
}

// The record keeps the parameters, the chosen loops with their exact
// samples and the flow at every fourth sample; the curve comes back
// expanded, every sample ExpansionShift later than it was measured.
void ExpectTheStoredPartsBack(const TBoxTrial& measured, const TBoxTrial& back) {
  constexpr int Shift = MeasureLimits::ExpansionShift;
  const TPlethySlot& m = measured.Slot;
  const TPlethySlot& b = back.Slot;
  EXPECT_EQ(b.BeginResistanceLoop, m.BeginResistanceLoop + Shift);
  EXPECT_EQ(b.EndResistanceLoop, m.EndResistanceLoop + Shift);
  EXPECT_EQ(b.BeginTGVLoop, m.BeginTGVLoop + Shift);
  EXPECT_EQ(b.EndTGVLoop, m.EndTGVLoop + Shift);
  EXPECT_EQ(b.Values, m.Values) << "the first box pressures of the loops";
  const auto at = [](const std::vector<float>& curve, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < curve.size() ? curve[static_cast<std::size_t>(i)] : -1e9f;
  };
  int differing = 0;
  for (int i = m.BeginResistanceLoop; i < m.EndResistanceLoop; ++i)
    differing += at(back.Flow, i + Shift) != at(measured.Flow, i) || at(back.Box, i + Shift) != at(measured.Box, i);
  for (int i = m.BeginTGVLoop; i < m.EndTGVLoop; ++i)
    differing += at(back.Box, i + Shift) != at(measured.Box, i) || at(back.Mouth, i + Shift) != at(measured.Mouth, i);
  EXPECT_EQ(differing, 0) << "samples of the loops";
  differing = 0;
  // The expanded curve ends where the last stored sample would begin.
  for (int i = 0; i + Shift < static_cast<int>(back.Flow.size()); i += 4)
    differing += at(back.Flow, i + Shift) != at(measured.Flow, i);
  EXPECT_EQ(differing, 0) << "stored flow samples";
}

class PlethyInProgram : public TInstrumentAppFixture {
protected:
  void SetUp() override { Windows = ProgramWindows(); }

  // The settings of the box: the IVC after RV completes TLC; the model puts
  // no sensor resistance before the airway.
  static std::string BoxIni(bool live) {
    return std::string("[Hardware Plethysmograph]\nInstall=1\n") + (live ? "Demo=0\nPort=0\n" : "") +
           "[Plethysmograph Parameters]\nEndOfMeasurementWithIVC=1\nResistanceOfSensor=0\nInspBTPSCorrectionEffect=100\n";
  }

  // The simulated box on a pseudo-terminal, the program on it, a man of 40
  // on the sheet and the plethysmograph window open.
  TMeasure* OpenOnTheBox(const QStringList& more, const std::string& moreIni = {}) {
    QStringList arguments{"--instrument", "plethysmograph", "--manoeuvre", "plethysmograph", "--speed", "10",
                          "--noise", "0", "--temperature", "37", "--pressure", "1013", "--humidity", "50",
                          "--weight", "80", "--ivc", "--box-breath", "1.2"};
    arguments << more;
    Simulator = std::make_unique<TSimulatorProcess>("halvetra-lungsim", arguments, Folder / "lungsim.log");
    EXPECT_FALSE(Simulator->Path.empty());
    if (Simulator->Path.empty())
      return nullptr;
    Folder.Write("Halvetra.ini", "[Serial Ports]\nCOM1=" + Simulator->Path +
                                     "\n[Hardware]\nInstall=1\nMode=0\n" + BoxIni(true) + moreIni);
    Start("");
    return OpenBoxWindow();
  }

  TMeasure* OpenBoxWindow() { return OpenForManOfForty(CM_MEASURE_PLETHY, MEASURE_PLETHY); }

  // The start, the calibration reminder answered No.
  void StartTheBox(TMeasure& window) {
    Sink.Answer = IDNO;
    ASSERT_TRUE(Route(CM_START));
    QApplication::processEvents();
    for (const std::string& message : Sink.Texts())
      ADD_FAILURE() << "unexpected message: " << message;
    Sink.Messages.clear();
    ASSERT_TRUE(window.IsRunning());
  }

  // The operator gives the shutter command once the breathing has begun,
  // and stops when the patient has breathed in to TLC (the model takes 7 s
  // from the opening to TLC and its hold).
  void MeasureATrial(TMeasure& window) {
    StartTheBox(window);
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(WaitFor([&] { return Enabled(CM_SHUTTER) || !window.IsRunning(); }, 8000))
        << "the shutter command comes once the box has settled and the breathing begun";
    ASSERT_TRUE(window.IsRunning());
    ASSERT_TRUE(Route(CM_SHUTTER));
    ASSERT_TRUE(WaitFor([&] { return window.EndMark != 0 || !window.IsRunning(); }, 8000)) << "the shutter opened";
    const long opened = window.SampleCount[MEASURE_PLETHY][0];
    ASSERT_TRUE(WaitFor([&] { return window.SampleCount[MEASURE_PLETHY][0] > opened + 800 || !window.IsRunning(); },
                        4000));
    if (window.IsRunning()) {
      ASSERT_TRUE(Route(CM_STOP));
    }
    ASSERT_FALSE(window.IsRunning());
  }

  // The lung volume the simulated shutter closed on, as the simulator logs
  // it; none when it logged no closure.
  std::optional<double> ClosureVolumeL() const {
    constexpr std::string_view Prefix = "lung volume at the closure ";
    for (const std::string& line : Simulator->Log())
      if (line.starts_with(Prefix))
        return std::stod(line.substr(Prefix.size()));
    return std::nullopt;
  }

  std::unique_ptr<TSimulatorProcess> Simulator;
};

// The model patient: TGV 3.2 L, ERV 1.6 L, IVC 4.4 L, Raw 0.15 kPa·s/L, in a
// 960-L box with the man on the sheet's 80 kg (both the model and the
// window take the box as 960 - 80/1.07 L): TGV 3.2 L, RV = 3.2 - 1.6 =
// 1.6 L, sGaw = 1 / (0.15 x 3.2) = 2.083. The box's sensors read 37 °C,
// 50 % and 1013 hPa, whose BTPS factor is 0.8973 + 0.00391 x 17 +
// 0.000197 x (50 - 70) - 0.0000405 x (1013 - 1050) = 0.96133; the inspired
// flow is divided by it (the model's flow is the lung's own), so the IVC
// reads 4.4 / 0.96133 = 4.5770 L and TLC = 1.6 + 4.5770 = 6.1770 L.
TEST_F(PlethyInProgram, ATestOnTheBoxIsStoredBrowsedAndLoadedBackUnchanged) {
  TMeasure* window = OpenOnTheBox({});
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->Link().PortInUse) << window->Link().LastPortError;
  MeasureATrial(*window);
  ASSERT_FALSE(HasFailure());
  const TBoxTrial measured = BoxTrialOf(*window, 0);
  ASSERT_EQ(measured.Params.size(), PLETHY_PARAMETER_COUNT);
  // The program closes the shutter as an inspiration starts, at FRC; the
  // simulator closes it when the word has crossed the line, and on a loaded
  // machine, at ten times life, that may be a tenth of a breath later or
  // more. The panting then compresses the lung as the closure found it, and
  // that is the TGV the box measures: 3.2 L plus what was breathed in
  // meanwhile. The airways' specific resistance, 0.15 x 3.2 = 0.48 kPa·s,
  // is the loops' slope whatever the closure, so Raw is it over that
  // volume and sGaw stays 2.083. RV, the closure's volume less the
  // expiration from it down to RV, stays 1.6 L, and TLC with it.
  const std::optional<double> closure = ClosureVolumeL();
  ASSERT_TRUE(closure.has_value()) << "the simulator logs the closure";
  EXPECT_GE(*closure, 3.2 - 1e-3) << "the shutter closes no sooner than the inspiration starts";
  const auto tgv = static_cast<float>(*closure);
  EXPECT_NEAR(measured.Params[pl::TGV], tgv, 0.02f * tgv);
  EXPECT_NEAR(measured.Params[pl::RV], 1.6f, 0.02f * 1.6f);
  EXPECT_NEAR(measured.Params[pl::TLC], 6.1770f, 0.02f * 6.1770f);
  const float raw = 0.15f * 3.2f / tgv;
  EXPECT_NEAR(measured.Params[pl::Raw], raw, 0.05f * raw);
  EXPECT_NEAR(measured.Params[pl::sGaw], 2.083f, 0.05f * 2.083f);
  EXPECT_GT(measured.Slot.LoopCount, 0);
  ASSERT_GT(measured.Flow.size(), 100u);

  TMeasure* loaded = StoreAndLoadBack(*window, "pl.db", MEASURE_PLETHY);
  ASSERT_NE(loaded, nullptr);
  const TBoxTrial back = BoxTrialOf(*loaded, 0);
  EXPECT_EQ(back.Params, measured.Params);
  ExpectTheStoredPartsBack(measured, back);
  EXPECT_FALSE(loaded->HasUnsavedResults()) << "a loaded test is not new";
  loaded->GetView().RedrawScreenBmp();
  SavePicture(*loaded->window(), "plethy-loaded-back.png");
}

// A box that hangs up after 90 s (9000 samples): into the quiet breathing
// after the 30-s settling and the program's door and zero waits. Those run
// on the real clock, some 3 s, which the box at ten times life counts as
// 30 s, and more when a loaded machine holds the program back: the margin
// is for that.
TEST_F(PlethyInProgram, ABoxThatHangsUpMidTestGivesOneMessageNamingThePortAndKeepsItsSamples) {
  TMeasure* window = OpenOnTheBox({"--stop-after", "9000"});
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->Link().PortInUse) << window->Link().LastPortError;
  StartTheBox(*window);
  ASSERT_FALSE(HasFailure());
  ASSERT_TRUE(WaitFor([&] { return !window->IsRunning(); }, 30000)) << "the hang-up ends the run";
  QApplication::processEvents();
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_NE(Sink.Messages[0].Text.find(Simulator->Path), std::string::npos) << Sink.Messages[0].Text;
  Sink.Messages.clear();
  EXPECT_GT(window->GetBufferSize(MEASURE_PLETHY, 0), 100) << "the breathing that came is kept";
}

// The box log the program wrote at the stop replays in demonstration mode
// (the log named in the settings stands in for PlDemo.bin) to the results
// the program gave on the instrument: the same raw samples, the same marks.
TEST_F(PlethyInProgram, TheBoxLogOfATestReplaysToTheSameResults) {
  TMeasure* window = OpenOnTheBox({}, "[Creating Measure Log]\nWriteEnable=1\nMeasureMode=4\nSaveAllMeasurements=1\n");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->Link().PortInUse) << window->Link().LastPortError;
  MeasureATrial(*window);
  ASSERT_FALSE(HasFailure());
  const TBoxTrial measured = BoxTrialOf(*window, 0);
  ASSERT_TRUE(std::filesystem::exists(Folder / "Bad" / "Plethy.001")) << "the log of the trial";
  ASSERT_TRUE(Route(CM_SAVE_MEASUREMENT));
  App.reset();
  Simulator.reset();

  // The same patient and settings on the demonstration link, the log read
  // in place of the demonstration trial.
  Folder.Write("Halvetra.ini", "[Hardware]\nInstall=1\nMode=0\n" + BoxIni(false) +
                                   "[Creating Measure Log]\nReadEnable=1\nReadFileName=Bad\\Plethy.001\n");
  std::filesystem::remove_all(Folder / "Database");
  Start();
  TMeasure* replay = OpenBoxWindow();
  ASSERT_NE(replay, nullptr);
  const auto clock = std::make_shared<TManualLinkClock>();
  replay->TMeasureInterrupt::SetClock(clock);
  ASSERT_TRUE(Route(CM_START));
  QApplication::processEvents();
  ASSERT_TRUE(replay->IsRunning());
  for (int step = 0; step < 2000 && replay->IsRunning(); ++step) {
    clock->Advance(100);
    QApplication::processEvents();
  }
  ASSERT_FALSE(replay->IsRunning());
  const TBoxTrial replayed = BoxTrialOf(*replay, 0);
  ASSERT_EQ(replayed.Params.size(), measured.Params.size());
  for (const pl::PlethyParameter p : {pl::TGV, pl::RV, pl::TLC, pl::Raw, pl::sGaw})
    EXPECT_NEAR(replayed.Params[p], measured.Params[p], 0.005f * std::abs(measured.Params[p]))
        << PlethyParameterNames[p];
  EXPECT_EQ(replayed.Marks, measured.Marks);
}

}  // namespace
