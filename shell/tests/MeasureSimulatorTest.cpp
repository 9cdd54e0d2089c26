// An FVC trial through the real program on the instrument simulator over a
// pseudo-terminal: the start word reaches the instrument, the blast is
// evaluated by the standard's definitions, and the measure log keeps the
// patient and the raw samples. The simulator's clock runs ten times faster,
// so the window must keep up with 1,000 samples a second and take each one.

#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "measure/window/Measure.h"
#include "measure/results/ParamList.h"
#include "shell/app/ProgramWindows.h"
#include "shell/tests/ManOfForty.h"
#include "testing/SimulatorProcess.h"
#include "tools/lungmodel/LungModel.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace {

// The forced expiration the simulator blows.
constexpr double ModelFvcL = 4.8;
constexpr double ModelFev1L = 4.0;  // 1 s after the start of the blast
constexpr double ModelPefLps = 10.0;
constexpr double ModelFivcL = 4.6;
constexpr int LeadInSamples = 100;  // --lead-in 1: one second of rest first
constexpr int Speed = 10;

LungModel::TPatient ModelPatient() {
  LungModel::TPatient model;
  model.FvcL = ModelFvcL;
  model.Fev1L = ModelFev1L;
  model.PefLps = ModelPefLps;
  model.FivcL = ModelFivcL;
  return model;
}

// Where the trial lies in the manoeuvre the simulator sends after its
// lead-in, in samples: the first count whose flow is an expiration of at
// least 60 mL/s (the FVC start) and the last count that is not 0.
struct TModelTrial {
  int Start = -1;
  int End = -1;
};

TModelTrial ModelTrial() {
  LungModel::TFlowQuantizer counts;
  TModelTrial trial;
  const std::vector<double> flows = LungModel::ForcedManoeuvre(ModelPatient());
  for (std::size_t i = 0; i < flows.size(); ++i) {
    const int count = counts.Next(flows[i]);
    if (trial.Start < 0 && count * 8.7890625 <= -60.0)
      trial.Start = static_cast<int>(i);
    if (count != 0)
      trial.End = static_cast<int>(i);
  }
  return trial;
}

// The last sample of the window's trial whose flow is not 0, read before
// the evaluation smooths the curve.
int LastFlowingSample(const TMeasure& window) {
  const auto& flow = window.Flow[0];
  const auto count = std::min<std::size_t>(flow.size(), static_cast<std::size_t>(window.SampleCount[MEASURE_FVC][0]));
  for (std::size_t i = count; i-- > 0;)
    if (flow[i] != 0.0f)
      return static_cast<int>(i);
  return -1;
}

// FEV1 as the ATS/ERS standard defines it: the volume 1 s after time zero,
// found by back extrapolation from the steepest point of the volume-time
// curve (time zero = t of the steepest slope minus its volume over the
// slope). Worked here on the model's own continuous curve.
double StandardFev1(const LungModel::TPatient& patient) {
  const LungModel::TForcedExpiration blast(patient);
  const double step = 0.0005;
  double steepestT = 0.0;
  double steepest = 0.0;
  for (double t = step; t < 1.0; t += step) {
    const double slope = (blast.Expired(t + step) - blast.Expired(t - step)) / (2.0 * step);
    if (slope > steepest) {
      steepest = slope;
      steepestT = t;
    }
  }
  const double timeZero = steepestT - blast.Expired(steepestT) / steepest;
  return blast.Expired(timeZero + 1.0);
}

class MeasureSimulator : public TAppFixture {
protected:
  void SetUp() override { Windows = ProgramWindows(); }

  // The simulator blowing the model's FVC (with `extra` options) on COM1,
  // a man of 40, 180 cm and 80 kg on the sheet, and his FVC window open.
  TMeasure* Open(const QStringList& extra) {
    QStringList arguments{"--manoeuvre", "fvc", "--trigger", "stream", "--lead-in", "1", "--noise", "0", "--speed",
                          QString::number(Speed),
                          "--fvc", QString::number(ModelFvcL), "--fev1", QString::number(ModelFev1L), "--pef",
                          QString::number(ModelPefLps), "--fivc", QString::number(ModelFivcL)};
    arguments += extra;
    Simulator = std::make_unique<TSimulatorProcess>("halvetra-lungsim", arguments, Folder / "lungsim.log");
    EXPECT_FALSE(Simulator->Path.empty());
    Folder.Write("Halvetra.ini", "[Serial Ports]\nCOM1=" + Simulator->Path +
                                     "\n[Hardware]\nInstall=1\nDemo=0\nPort=0\nMode=0\n"
                                     "[Creating Measure Log]\nWriteEnable=1\nMeasureMode=0\nSaveAllMeasurements=1\n");
    Start("");
    CreateDatabase();
    PatientRecordType man = ManOfForty();
    EXPECT_EQ(Names()->AddPatientRecord(man, 1), 0);
    EXPECT_TRUE(Route(CM_OPEN_PATIENT));
    EXPECT_TRUE(Route(CM_MEASURE_FVC));
    auto* window = dynamic_cast<TMeasure*>(Client().GetMeasure());
    EXPECT_NE(window, nullptr);
    if (window) {
      EXPECT_TRUE(window->Link().PortInUse) << window->Link().LastPortError;
    }
    return window;
  }

  // The start after a good zero, the calibration reminder answered No.
  void StartTrial(TMeasure& window) {
    // The zero is taken elsewhere: a good one stands in here.
    window.CreateZeroTimer();
    Sink.Answer = IDNO;
    ASSERT_TRUE(Enabled(CM_START));
    ASSERT_TRUE(Route(CM_START));
    QApplication::processEvents();
    Sink.Messages.clear();
    ASSERT_TRUE(window.IsRunning());
  }

  // Events until the model's whole trial and half a second of rest after
  // it are in, or the run ends.
  static void WaitForBreath(TMeasure& window) {
    const TModelTrial model = ModelTrial();
    const int wanted = model.End - model.Start + 50;
    QElapsedTimer waited;
    waited.start();
    while (window.SampleCount[MEASURE_FVC][0] < wanted && waited.elapsed() < 20000 && window.IsRunning())
      QApplication::processEvents(QEventLoop::AllEvents, 5);
  }

  std::unique_ptr<TSimulatorProcess> Simulator;
};

TEST_F(MeasureSimulator, FvcOnTheInstrumentIsEvaluatedByTheStandardAndLogged) {
  TMeasure* window = Open({});
  ASSERT_FALSE(HasFailure());
  StartTrial(*window);
  ASSERT_FALSE(HasFailure());
  // The lead-in, the blast and the forced inspiration, then the stop as
  // the user gives it.
  WaitForBreath(*window);
  const TModelTrial trial = ModelTrial();
  ASSERT_GT(trial.Start, 0);
  ASSERT_GT(window->SampleCount[MEASURE_FVC][0], trial.End - trial.Start);
  const int lastFlowing = LastFlowingSample(*window);
  ASSERT_TRUE(Route(CM_STOP));
  EXPECT_FALSE(window->IsRunning());
  // Every sample was taken: the breath lasts as many samples in the window
  // as in the model, from the start of the blast to the end of the forced
  // inspiration.
  EXPECT_EQ(lastFlowing, trial.End - trial.Start);

  const float* actual = window->GetAktBuffer(MEASURE_FVC, 0);
  const auto names = TMeasureCore::GetParamStr(MEASURE_FVC);
  auto value = [&](std::string_view name) {
    const auto at = std::find(names.begin(), names.end(), name);
    return at == names.end() ? -1.0f : actual[at - names.begin()];
  };
  // Half the ISO 26782 tolerances: volumes 1.5 % or 25 mL, flows 5 % or 0.15 L/s.
  const auto volume = [](double v) { return std::max(0.015 * v, 0.025); };
  EXPECT_NEAR(value("FVC"), ModelFvcL, volume(ModelFvcL));
  const double fev1 = StandardFev1(ModelPatient());
  EXPECT_GT(fev1, ModelFev1L);  // time zero lies after the first flow
  EXPECT_NEAR(value("FEV*1,0"), fev1, volume(fev1));
  EXPECT_NEAR(value("PEF"), ModelPefLps, std::max(0.05 * ModelPefLps, 0.15));
  // Inspirations are corrected to body conditions at 25 °C, 50 % and 1070 hPa.
  EXPECT_NEAR(value("FIVC"), ModelFivcL / 0.9121, volume(ModelFivcL / 0.9121));
  SavePicture(*window->window(), "measure-run-fvc-simulator.png");

  // A plain spirometer gets no start word: the link's stream starts the
  // manoeuvre, and the stop ends the stream.
  EXPECT_EQ(Simulator->Log(),
            (std::vector<std::string>{"identify", "stream on", "manoeuvre fvc started", "stream off"}));
  // The measure log: the patient first, then the raw samples.
  std::ifstream file(Folder / "Bad" / "Fvc.001", std::ios::binary);
  ASSERT_TRUE(file);
  const std::string bytes(std::istreambuf_iterator<char>(file), {});
  ASSERT_GT(bytes.size(), 84u);
  EXPECT_EQ(bytes.substr(0, 8), "Test Man");
}

TEST_F(MeasureSimulator, DamagedFramesOnTheLineLeaveTheValuesInTolerance) {
  TMeasure* window = Open({"--corrupt-every", "40"});
  ASSERT_FALSE(HasFailure());
  StartTrial(*window);
  ASSERT_FALSE(HasFailure());
  WaitForBreath(*window);
  ASSERT_TRUE(Route(CM_STOP));
  // A warning about the line may stand; the values must not suffer.
  Sink.Messages.clear();
  const float* actual = window->GetAktBuffer(MEASURE_FVC, 0);
  EXPECT_NEAR(actual[0], ModelFvcL, std::max(0.015 * ModelFvcL, 0.025));
  const auto names = TMeasureCore::GetParamStr(MEASURE_FVC);
  const auto pef = std::find(names.begin(), names.end(), "PEF") - names.begin();
  EXPECT_NEAR(actual[pef], ModelPefLps, std::max(0.05 * ModelPefLps, 0.15));
}

TEST_F(MeasureSimulator, AnInstrumentThatHangsUpMidBlastLeavesTheWindowIdleWithItsSamples) {
  TMeasure* window = Open({"--stop-after", "400"});
  ASSERT_FALSE(HasFailure());
  StartTrial(*window);
  ASSERT_FALSE(HasFailure());
  WaitForBreath(*window);
  QApplication::processEvents();
  EXPECT_FALSE(window->IsRunning());
  // Every sample the instrument sent before it hung up is kept: 400 less
  // the lead-in and the inspiration before the blast.
  EXPECT_EQ(window->SampleCount[MEASURE_FVC][0], 400 - LeadInSamples - ModelTrial().Start);
  // One message, naming the port.
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_NE(Sink.Messages[0].Text.find(Simulator->Path), std::string::npos) << Sink.Messages[0].Text;
  Sink.Messages.clear();
  // The values are what arrived, not a whole blast: the list says so.
  const std::vector<std::string> lines = window->GetParamList()->GetLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), App->GetMessages().Format(9455, {"1"})), lines.end());
}

}  // namespace

namespace {

// A trial in which no breath comes: the patient rests at the mouthpiece
// until the stop. The window's start rules never saw a breath, so the
// trial is cleared and the technician told, instead of an empty result.
TEST_F(MeasureSimulator, ATrialWithoutABreathIsClearedAndSaysSo) {
  TMeasure* window = Open({"--manoeuvre", "rest"});
  ASSERT_FALSE(HasFailure());
  StartTrial(*window);
  ASSERT_FALSE(HasFailure());
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 300)  // three simulated seconds of rest at ten times the speed
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  ASSERT_TRUE(window->IsRunning());
  ASSERT_TRUE(Route(CM_STOP));
  const auto lines = window->GetParamList()->GetLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), App->GetMessages().Format(9453, {"1"})), lines.end())
      << "the list says so";
  EXPECT_EQ(window->NextStepText(), App->GetMessages().Format(9454, {"1"}));
  EXPECT_FALSE(window->HasUnsavedResults());
  EXPECT_EQ(window->GetAktBuffer(MEASURE_FVC, 0)[0], 0.0f);
  EXPECT_EQ(window->GetTrialSelection(), 0) << "no trial stands in the list";
}

}  // namespace
