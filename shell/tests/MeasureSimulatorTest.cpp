// An FVC trial through the real program on the instrument simulator over a
// pseudo-terminal: the start word reaches the instrument, the blast is
// evaluated by the standard's definitions, and the measure log keeps the
// patient and the raw samples.

#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "measure/Measure.h"
#include "measure/ParamList.h"
#include "shell/ProgramWindows.h"
#include "testing/SimulatorProcess.h"
#include "tools/lungmodel/LungModel.h"

#include <QDate>
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
};

TEST_F(MeasureSimulator, FvcOnTheInstrumentIsEvaluatedByTheStandardAndLogged) {
  TSimulatorProcess simulator("halvetra-lungsim",
                              {"--manoeuvre", "fvc", "--trigger", "stream", "--lead-in", "1", "--noise", "0", "--fvc", QString::number(ModelFvcL),
                               "--fev1", QString::number(ModelFev1L), "--pef", QString::number(ModelPefLps), "--fivc",
                               QString::number(ModelFivcL)},
                              Folder / "lungsim.log");
  ASSERT_FALSE(simulator.Path.empty());
  Folder.Write("Halvetra.ini", "[Serial Ports]\nCOM1=" + simulator.Path +
                                   "\n[Hardware]\nInstall=1\nDemo=0\nPort=0\nMode=0\n"
                                   "[Creating Measure Log]\nWriteEnable=1\nMeasureMode=0\nSaveAllMeasurements=1\n");
  Start("");
  CreateDatabase();
  PatientRecordType man;
  SetFieldText(man.Name, "Test Man");
  SetFieldText(man.Id, "M-40");
  SetFieldText(man.Date[0], std::to_string(QDate::currentDate().year() - 40) + ".01.01.");
  man.Sex = 1;
  man.Height = 180;
  man.Weight = 80;
  ASSERT_EQ(Names()->AddPatientRecord(man, 1), 0);
  ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  ASSERT_TRUE(Route(CM_MEASURE_FVC));
  auto* window = dynamic_cast<TMeasure*>(Client().GetMeasure());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->Link().PortInUse) << window->Link().LastPortError;

  // The zero is taken elsewhere: a good one stands in here.
  window->CreateZeroTimer();
  // The calibration reminder is answered No.
  Sink.Answer = IDNO;
  ASSERT_TRUE(Enabled(CM_START));
  ASSERT_TRUE(Route(CM_START));
  QApplication::processEvents();
  Sink.Messages.clear();
  ASSERT_TRUE(window->IsRunning());

  // The lead-in, the blast and the forced inspiration: wait until ten
  // seconds of the breath are in, then stop as the user does.
  QElapsedTimer waited;
  waited.start();
  while (window->SampleCount[MEASURE_FVC][0] < 1000 && waited.elapsed() < 40000 && window->IsRunning())
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  ASSERT_GE(window->SampleCount[MEASURE_FVC][0], 1000);
  ASSERT_TRUE(Route(CM_STOP));
  EXPECT_FALSE(window->IsRunning());

  const float* actual = window->GetAktBuffer(MEASURE_FVC, 0);
  const auto names = TMeasureCore::GetParamStr(MEASURE_FVC);
  auto value = [&](std::string_view name) {
    const auto at = std::find(names.begin(), names.end(), name);
    return at == names.end() ? -1.0f : actual[at - names.begin()];
  };
  // Half the ISO 26782 tolerances: volumes 1.5 % or 25 mL, flows 5 % or 0.15 L/s.
  const auto volume = [](double v) { return std::max(0.015 * v, 0.025); };
  EXPECT_NEAR(value("FVC"), ModelFvcL, volume(ModelFvcL));
  LungModel::TPatient model;
  model.FvcL = ModelFvcL;
  model.Fev1L = ModelFev1L;
  model.PefLps = ModelPefLps;
  const double fev1 = StandardFev1(model);
  EXPECT_GT(fev1, ModelFev1L);  // time zero lies after the first flow
  EXPECT_NEAR(value("FEV*1,0"), fev1, volume(fev1));
  EXPECT_NEAR(value("PEF"), ModelPefLps, std::max(0.05 * ModelPefLps, 0.15));
  // Inspirations are corrected to body conditions at 25 °C, 50 % and 1070 hPa.
  EXPECT_NEAR(value("FIVC"), ModelFivcL / 0.9121, volume(ModelFivcL / 0.9121));
  SavePicture(*window->window(), "measure-run-fvc-simulator.png");

  // A plain spirometer gets no start word: the link's stream starts the
  // manoeuvre, and the stop ends the stream.
  EXPECT_EQ(simulator.Log(),
            (std::vector<std::string>{"identify", "stream on", "manoeuvre fvc started", "stream off"}));
  // The measure log: the patient first, then the raw samples.
  std::ifstream file(Folder / "Bad" / "Fvc.001", std::ios::binary);
  ASSERT_TRUE(file);
  const std::string bytes(std::istreambuf_iterator<char>(file), {});
  ASSERT_GT(bytes.size(), 84u);
  EXPECT_EQ(bytes.substr(0, 8), "Test Man");
}

}  // namespace
