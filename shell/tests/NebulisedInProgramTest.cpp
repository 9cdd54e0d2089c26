// One nebulised provocation step through the real program on a temporary
// database, the instrument being the simulator on a pseudo-terminal (ten
// times faster than life) with the patient breathing quietly at the
// mouthpiece. The dose the program counts is compared with the samples the
// simulator says it sprayed while the compressor was on.
//
// The baseline is a trial of that quiet breathing whose FEV1 is then set by
// hand: what is tested here is the nebulizer's run on the real line, not the
// forced manoeuvre (the rig's NebulisedStepTest measures both).
//
// It takes some 5 s: the dose is sprayed over about 25 s of quiet breathing,
// 2.5 s at ten times life, and the instrument is checked on the line as the
// provocation and measurement windows open.

#include "shell/tests/InstrumentAppFixture.h"

#include "common/CommandNumbers.h"
#include "measure/window/Measure.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "platform/portkit/Protocol.h"
#include "shell/app/MdiChild.h"
#include "shell/app/MdiClient.h"
#include "shell/app/ProgramWindows.h"
#include "shell/tests/ManOfForty.h"
#include "special/provocation/ui/Provocation.h"
#include "testing/SimulatorProcess.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>

namespace {

class NebulisedInProgram : public TInstrumentAppFixture {
protected:
  void SetUp() override { Windows = ProgramWindows(); }

  // Types `dose` into the dose dialog the next action opens, then presses OK.
  static void AnswerDoseDialog(const QString& dose) {
    QTimer::singleShot(0, [dose] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      auto* edit = dialog->findChild<QLineEdit*>(QString::number(5940));
      ASSERT_NE(edit, nullptr);
      edit->selectAll();
      QTest::keyClicks(edit, dose);
      auto* ok = dialog->findChild<QPushButton*>(QString::number(IDOK));
      ASSERT_NE(ok, nullptr);
      ASSERT_TRUE(ok->isEnabled());
      ok->click();
    });
  }

  // A trial of the quiet breathing in the step's measurement window on the
  // line, filed to the provocation with its FEV1 set to `fev1`: quiet
  // breathing is no forced manoeuvre, and the window files no trial of it.
  void FileTrialWithFev1(float fev1) {
    auto* measure = dynamic_cast<TMeasure*>(Client().GetMeasure());
    ASSERT_NE(measure, nullptr);
    ASSERT_TRUE(measure->Link().PortInUse) << measure->Link().LastPortError;
    // The start after a good zero (taken elsewhere: the zero is not what is
    // tested here, and it would take a second of the line).
    measure->CreateZeroTimer();
    Sink.Answer = IDNO;  // the calibration reminder
    ASSERT_TRUE(Route(CM_START));
    QApplication::processEvents();
    Sink.Messages.clear();
    ASSERT_TRUE(measure->IsRunning());
    ASSERT_TRUE(WaitFor([&] { return measure->SampleCount[MEASURE_FVC][0] >= 300; }, 5000));
    ASSERT_TRUE(Route(CM_STOP));
    for (auto& trial : measure->AktParams[0])
      trial[2] = fev1;
    measure->SetUnsavedResults(true);
    ASSERT_TRUE(Enabled(CM_PROVOCATION_STEP));
    ASSERT_TRUE(Route(CM_PROVOCATION_STEP));
    QApplication::processEvents();
  }

  void ActivateProvocationFrame() {
    Client().setActiveSubWindow(Client().GetProvocationFrame());
    QApplication::processEvents();
  }

  // The simulator's count once the compressor was last switched off: it
  // logs the samples sprayed since the stream began each time the
  // compressor stops, the patient breathing in several times over one dose.
  std::optional<long> SprayedByTheSimulator() const {
    const std::vector<std::string> log = Simulator->Log();
    const auto lastOn = std::find(log.rbegin(), log.rend(), "nebulizer on");
    const auto line = std::find_if(log.rbegin(), lastOn, [](const std::string& l) { return l.starts_with("sprayed "); });
    if (lastOn == log.rend() || line == lastOn)
      return std::nullopt;
    return std::stol(line->substr(8));
  }

  // The simulator's last lines, for a failure's message.
  std::string LogTail() const {
    const std::vector<std::string> log = Simulator->Log();
    std::string tail;
    for (auto line = log.size() > 8 ? log.end() - 8 : log.begin(); line != log.end(); ++line)
      tail += "\n  " + *line;
    return tail;
  }

  std::unique_ptr<TSimulatorProcess> Simulator;
};

TEST_F(NebulisedInProgram, TheCountedDoseIsWhatTheSimulatorSprayed) {
  // Quiet breathing of 0.5 L every 4 s through the nebulizer's mouthpiece.
  const QStringList arguments{"--manoeuvre", "tidal",   "--trigger", "stream", "--lead-in",     "0",
                              "--noise",     "0",       "--speed",   "10",     "--tv",          "0.5",
                              "--breath",    "4",       "--capabilities",
                              QString::number(InstrumentProtocol::CapabilityNebulizer)};
  Simulator = std::make_unique<TSimulatorProcess>("halvetra-lungsim", arguments, Folder / "lungsim.log");
  ASSERT_FALSE(Simulator->Path.empty());
  // A dose step of its own (Type=2) nebulised (Mode=1) from the purple head
  // of 0.12 ml a minute; the mouth-pressure trigger at 50 Pa, well under the
  // quiet inspiration's pressure at the mouthpiece.
  Folder.Write("Halvetra.ini", "[Serial Ports]\nCOM1=" + Simulator->Path +
                                   "\n[Hardware]\nInstall=1\nDemo=0\nPort=0\nMode=0\n"
                                   "[Nebulizer]\nInstall=1\nPort=0\nHeadPurple=0.12\nMouthPressure=50\n"
                                   "[Provocation]\nMaterial=Metacholine\nParam1=FVC02\nLimit1=-20\n"
                                   "[Metacholine]\nMode=1\nType=2\nQueue=1\nAccum=1\nHead=0\n");
  Start("");
  CreateDatabase();
  PatientRecordType man = ManOfForty();
  ASSERT_EQ(Names()->AddPatientRecord(man, 1), 0);
  ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  ASSERT_TRUE(Route(CM_PROVOCATION));
  auto* provocation = dynamic_cast<TProvocation*>(Client().GetProvocation());
  ASSERT_NE(provocation, nullptr);
  ASSERT_TRUE(provocation->GetModel().NebulizerReady) << "the instrument drives the nebulizer";
  ASSERT_TRUE(provocation->CheckProvocationOK());

  // The baseline: the step opens the FVC window on the line.
  ActivateProvocationFrame();
  ASSERT_TRUE(Route(CM_PROVOCATION_STEP));
  ASSERT_NO_FATAL_FAILURE(FileTrialWithFev1(3.0f));

  // 0.02 ml at 0.12 ml a minute: 0.02 x 6000 / 0.12 = 1000 samples, 10 s of
  // inspiration, sprayed over some 25 s of quiet breathing: 2.5 s here.
  ActivateProvocationFrame();
  Sink.Answer = IDYES;  // go on with the next dose
  AnswerDoseDialog("0.02");
  ASSERT_TRUE(Route(CM_PROVOCATION_STEP));
  Sink.Take(App->GetMessages().LoadStringA(358));
  ASSERT_EQ(provocation->ListBox()->count(), 1);
  EXPECT_EQ(provocation->GetModel().StepList().front().Values[0], 3.0f);
  ASSERT_TRUE(provocation->IsNebulizerRunning());
  ASSERT_TRUE(WaitFor([&] { return !provocation->IsNebulizerRunning(); }, 8000))
      << "the dose was not given";
  const unsigned short counted = TMeasureInterrupt::DoseCounter;
  ASSERT_TRUE(WaitFor([&] { return SprayedByTheSimulator().has_value(); }, 5000))
      << "the simulator's log ends: " << LogTail();
  const long sprayed = *SprayedByTheSimulator();

  // Both count the samples between the compressor's switching on and off,
  // once each inspiration; but the simulator switches a little after the
  // program, when the word has crossed the line. At ten times life a sample
  // crosses every millisecond, so each switching shifts the simulator's
  // count by as many samples as the word took milliseconds, more at the
  // off than at the on or the other way round: over the seven or eight
  // inspirations of this dose a difference of up to 5 % of it (50 samples)
  // is the line's delay, not a count lost.
  EXPECT_NEAR(static_cast<double>(sprayed), static_cast<double>(counted), 50.0)
      << "counted " << counted << ", sprayed " << sprayed;
  // The run ends once less than 0.001 ml is left to give: after 950
  // samples, or a few more.
  EXPECT_GE(counted, 950);
  EXPECT_LE(counted, 1000);
  EXPECT_NEAR(provocation->GetModel().CountedDose(counted), static_cast<float>(counted) * 0.12f / 6000.0f, 1e-7f);
  EXPECT_NEAR(provocation->GetModel().AccumulatedDose(), 0.02f, 1e-6f);

  // The run's end took the program on to the measurement after the dose;
  // its FEV1 of 2.25 L against 3.00 L is a change of -25 %, past the limit.
  ASSERT_NO_FATAL_FAILURE(FileTrialWithFev1(2.25f));
  ASSERT_EQ(provocation->GetModel().StepList().size(), 2u);
  EXPECT_NEAR(provocation->GetModel().StepList().back().Dose, 0.02f, 1e-6f);
  EXPECT_NEAR(provocation->GetModel().StepList().back().Changes[0], -25.0f, 1e-3f);
  EXPECT_TRUE(provocation->GetModel().LimitHit(0));
  for (const std::string& text : Sink.Texts())
    ADD_FAILURE() << "shown: " << text;
}

}  // namespace
