// The lab's main road through the real program: a patient, an FVC, VC or
// MVV window, a trial on the demonstration data on a manual link clock,
// the evaluated parameters beside their predicted values, and the test
// saved and read back.

#include "shell/tests/MeasureRunFixture.h"

#include "common/CommandNumbers.h"
#include "measure/window/Measure.h"
#include "measure/results/ParamList.h"
#include "measure/window/SelectInstrument.h"
#include "platform/portkit/tests/support/ManualLinkClock.h"
#include "shell/app/ProgramWindows.h"
#include "shell/tests/ManOfForty.h"
#include "shell/app/MdiChild.h"


#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <random>

namespace {

// The men's equations of the ECCS set (Quanjer 1993) for 40 years and
// 1.80 m, worked by hand:
//   FVC  = 5.76 H - 0.026 A - 4.34 = 10.368 - 1.040 - 4.34 = 4.988 L
//   FEV1 = 4.30 H - 0.029 A - 2.49 =  7.740 - 1.160 - 2.49 = 4.090 L
constexpr float PredictedFvc = 4.988f;
constexpr float PredictedFev1 = 4.090f;

// What the demonstration files were made from (tools/lungmodel's patient).
constexpr float DemoFvcL = 4.5f;
constexpr float DemoPefLps = 9.0f;

class MeasureRun : public TMeasureRunFixture {
protected:
  void SlowTrial(unsigned command, short kind, const char* parameter, float expected, float tolerance);
};

TEST_F(MeasureRun, FvcOnTheDemonstrationDataBesideItsPredictedValuesSavedAndLoadedBack) {
  TMeasure& window = OpenTest(CM_MEASURE_FVC);
  ASSERT_FALSE(HasFailure());
  // Before any result the line holds the predicted value alone: no trial
  // value and no per cent that would read as a measured 0.
  const QStringList before = Line(window, "FVC");
  ASSERT_EQ(before.size(), 2) << before.join(' ').toStdString();
  EXPECT_NEAR(before[1].toFloat(), PredictedFvc, 0.006f);
  RunTrial(window);
  ASSERT_FALSE(HasFailure());

  const float factor = DrawnFactor();
  const QStringList fvc = Line(window, "FVC");
  ASSERT_GE(fvc.size(), 4);
  // Trials 2 and 3 were never run: their columns stay blank (at most the
  // grade follows the per cent).
  EXPECT_LE(fvc.size(), 5) << fvc.join(' ').toStdString();
  EXPECT_FALSE(fvc.contains("0.00")) << fvc.join(' ').toStdString();
  // Half the ISO 26782 volume tolerance: 1.5 % or 25 mL.
  const float expectedFvc = DemoFvcL * factor;
  EXPECT_NEAR(fvc[1].toFloat(), expectedFvc, std::max(0.015f * expectedFvc, 0.025f)) << fvc.join(' ').toStdString();
  EXPECT_NEAR(fvc[2].toFloat(), PredictedFvc, 0.006f);
  EXPECT_EQ(fvc[3].toInt(), static_cast<int>(std::lround(100.0 * fvc[1].toDouble() / fvc[2].toDouble())));
  const QStringList fev1 = Line(window, "FEV*1,0");
  ASSERT_GE(fev1.size(), 3);
  EXPECT_NEAR(fev1[2].toFloat(), PredictedFev1, 0.006f);
  const QStringList pef = Line(window, "PEF");
  ASSERT_GE(pef.size(), 2);
  // Flow: half of ISO 26782's 10 % or 0.3 L/s.
  const float expectedPef = DemoPefLps * factor;
  EXPECT_NEAR(pef[1].toFloat(), expectedPef, std::max(0.05f * expectedPef, 0.15f));
  SavePicture(*window.window(), "measure-run-fvc-demo.png");

  // Saved as the tool button saves it.
  const float measured = window.GetAktBuffer(MEASURE_FVC, 0)[0];
  EXPECT_TRUE(Route(CM_SAVE_MEASUREMENT));
  long rows = 0;
  OpenTestTable(Folder / "Database/Data", "fvc.db", &App->GetMessages())->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 1);
  EXPECT_FALSE(window.HasUnsavedResults());

  // Read back as the browser asks for it: the stored result in place of a
  // cleared one.
  window.ClearAktBuffer(MEASURE_FVC, 0);
  ASSERT_EQ(window.GetAktBuffer(MEASURE_FVC, 0)[0], 0.0f);
  LoadFirstStoredExamination();
  EXPECT_EQ(window.GetAktBuffer(MEASURE_FVC, 0)[0], measured);
}

// One trial of a slow test: its key parameter is the demonstration
// patient's value times the drawn factor.
void MeasureRun::SlowTrial(unsigned command, short kind, const char* parameter, float expected, float tolerance) {
  TMeasure& window = OpenTest(command);
  ASSERT_FALSE(HasFailure());
  EXPECT_EQ(window.GetMeasureMode(), kind);
  RunTrial(window);
  ASSERT_FALSE(HasFailure());
  const QStringList line = Line(window, parameter);
  ASSERT_GE(line.size(), 2);
  const float value = expected * DrawnFactor();
  EXPECT_NEAR(line[1].toFloat(), value, tolerance * value) << line.join(' ').toStdString();
  SavePicture(*window.window(), std::string("measure-run-") + parameter + "-demo.png");
}

// The slow manoeuvre's IVC runs from RV to the top: ERV 1.5 + tidal 0.6 +
// IRV 2.2 = 4.3 L.
TEST_F(MeasureRun, VcOnTheDemonstrationData) { SlowTrial(CM_MEASURE_VC, MEASURE_VC, "IVC", 4.3f, 0.015f); }

// 90 breaths a minute of 1.8 L: 162 L/min.
TEST_F(MeasureRun, MvvOnTheDemonstrationData) { SlowTrial(CM_MEASURE_MVV, MEASURE_MVV, "MVV", 162.0f, 0.03f); }

// With the spirometer and the diffusion unit installed, opening a test asks
// which instrument it runs on, in the program's own dialog; the answer
// decides the window's instrument.
TEST_F(MeasureRun, TwoInstrumentsInstalledTheProgramAsksWhichOne) {
  Dialogs.SelectInstrument = nullptr;
  ExtraIni = "[Hardware Diffusion Test]\nInstall=1\n[Hardware Plethysmograph]\nInstall=0\n";
  std::vector<std::string> shown;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* dialog = dynamic_cast<TSelectInstrument*>(QApplication::activeModalWidget());
    if (!dialog)
      return;
    answer.stop();
    for (const char* id : {"5881", "5882", "5883"})
      if (const QPushButton* button = dialog->findChild<QPushButton*>(id); button && button->isVisibleTo(dialog))
        shown.push_back(button->text().toStdString());
    SavePicture(*dialog, "instrument-choice-two-instruments.png");
    dialog->findChild<QPushButton*>("5882")->click();
  });
  answer.start(0);
  TMeasure& window = OpenTest(CM_MEASURE_FVC);
  ASSERT_FALSE(HasFailure());
  const TMessage& texts = App->GetMessages();
  EXPECT_EQ(shown, (std::vector<std::string>{texts.LoadStringA(501), texts.LoadStringA(426)}));
  EXPECT_EQ(window.GetInstrumentKind(), 3);  // the diffusion unit
}

TEST_F(MeasureRun, AReplayWithoutSamplesUndoesTheStartAndSaysSo) {
  TMeasure& window = OpenTest(CM_MEASURE_FVC);
  ASSERT_FALSE(HasFailure());
  // The replay takes a measure log the settings name; this one is cut short.
  Folder.Write("Bad/Fvc.999", "cut");
  Folder.Write("Halvetra.ini",
               "[Hardware]\nInstall=1\nMode=0\n[Creating Measure Log]\nReadEnable=1\nReadFileName=Bad/Fvc.999\n");
  ASSERT_TRUE(Route(CM_START));
  QApplication::processEvents();
  EXPECT_FALSE(window.IsRunning());
  EXPECT_TRUE(Enabled(CM_START));
  // The damaged log is named, once, and nothing else is said.
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_NE(Sink.Messages.front().Text.find("Fvc.999"), std::string::npos) << Sink.Messages.front().Text;
  Sink.Messages.clear();
}

TEST_F(MeasureRun, InContextHelpModeTheUnitCommandOnlyAsksForItsHelp) {
  TMeasure& window = OpenTest(CM_MEASURE_FVC);
  ASSERT_FALSE(HasFailure());
  App->CmHelpMode();
  ASSERT_TRUE(App->IsHelpMode());
  window.DispatchCommand(CM_UNIT);
  EXPECT_EQ(window.UnitSystem, 0);
  App->LeaveHelpMode();
  window.DispatchCommand(CM_UNIT);
  EXPECT_EQ(window.UnitSystem, 1);
}

}  // namespace
