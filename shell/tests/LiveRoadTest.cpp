// The README's live road, run as it is written there: the simulator's
// command line and the ini lines are read from the README itself, the
// simulator runs with nothing but those options, and the program takes the
// steps a technician takes (zero, start, stop, save) on its own sequence.

#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "measure/window/Measure.h"
#include "shell/app/MainFrame.h"
#include "shell/app/ProgramWindows.h"
#include "shell/tests/ManOfForty.h"
#include "testing/SimulatorProcess.h"
#include "testing/TemporaryFolder.h"
#include "tools/lungmodel/LungModel.h"

#include <QElapsedTimer>
#include <QStatusBar>

#include <fstream>
#include <sstream>

namespace {

// The README's section of the live test.
std::vector<std::string> ReadmeLiveRoad() {
  std::ifstream in(std::filesystem::path(HALVETRA_SOURCE_DIR) / "README.md");
  std::vector<std::string> lines;
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("## ", 0) == 0)
      inside = line == "## A live test on the simulator";
    else if (inside)
      lines.push_back(line);
  }
  return lines;
}

// The indented block (a command or file lines) of the step whose text
// contains `marker`.
std::vector<std::string> BlockAfter(const std::vector<std::string>& road, std::string_view marker) {
  std::vector<std::string> block;
  auto line = std::find_if(road.begin(), road.end(),
                           [&](const std::string& l) { return l.find(marker) != std::string::npos; });
  if (line == road.end())
    return block;
  const auto indented = [](const std::string& l) { return l.rfind("       ", 0) == 0; };
  line = std::find_if(line, road.end(), indented);
  for (; line != road.end() && indented(*line); ++line)
    block.push_back(line->substr(line->find_first_not_of(' ')));
  return block;
}

class LiveRoad : public TAppFixture {
protected:
  void SetUp() override { Windows = ProgramWindows(); }

  std::unique_ptr<TSimulatorProcess> Simulator;
  TTemporaryFolder Checkout;  // where the README's commands run; its run/ is the working folder
};

TEST_F(LiveRoad, AnFvcOnTheSimulatorAsTheReadmeTellsIt) {
  const std::vector<std::string> road = ReadmeLiveRoad();
  ASSERT_FALSE(road.empty()) << "the README has no live road";

  // 1. The simulator, started from the checkout as written.
  const std::vector<std::string> command = BlockAfter(road, "Start the simulator");
  ASSERT_EQ(command.size(), 1u);
  std::istringstream words(command[0]);
  std::string program;
  words >> program;
  ASSERT_EQ(program, "build/bin/halvetra-lungsim");
  QStringList arguments;
  for (std::string word; words >> word;)
    arguments << QString::fromStdString(word);
  std::filesystem::create_directory_symlink(Folder.Path(), Checkout / "run");
  Simulator = std::make_unique<TSimulatorProcess>("halvetra-lungsim", arguments, Checkout / "lungsim.log", Checkout.Path());
  ASSERT_FALSE(Simulator->Path.empty());

  // 2. The ini lines, as written.
  const std::vector<std::string> ini = BlockAfter(road, "run/Halvetra.ini");
  ASSERT_FALSE(ini.empty());
  std::string text;
  for (const std::string& line : ini)
    text += line + "\n";
  Folder.Write("Halvetra.ini", text);

  // 3. The program without -d, a patient open, the FVC window.
  Start("");
  CreateDatabase();
  PatientRecordType man = ManOfForty();
  ASSERT_EQ(Names()->AddPatientRecord(man, 1), 0);
  ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  ASSERT_TRUE(Route(CM_MEASURE_FVC));
  auto* window = dynamic_cast<TMeasure*>(Client().GetMeasure());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->Link().PortInUse) << window->Link().LastPortError;
  // The status line says why Start waits, and then that the zero was read.
  const auto statusLine = [&] {
    QApplication::processEvents();
    return App->GetFrame()->statusBar()->currentMessage().toStdString();
  };
  EXPECT_FALSE(Enabled(CM_START)) << "Start waits for the zero";
  EXPECT_EQ(statusLine(), App->GetMessages().LoadStringA(9450));

  // 4. The zero, the patient at rest.
  Sink.Answer = IDOK;
  ASSERT_TRUE(Route(CM_ZERO));
  EXPECT_TRUE(Shown(4)) << "leave the instrument at rest";
  ASSERT_TRUE(Enabled(CM_START)) << "the zero was read";
  EXPECT_EQ(statusLine(), App->GetMessages().LoadStringA(9451));

  // 5. The start; the calibration reminder is answered No.
  Sink.Answer = IDNO;
  ASSERT_TRUE(Route(CM_START));
  QApplication::processEvents();
  for (const std::string& message : Sink.Texts())
    ADD_FAILURE() << "unexpected message: " << message;
  Sink.Messages.clear();
  ASSERT_TRUE(window->IsRunning());

  // 6. The blast and the forced inspiration, then the stop and the save.
  // The default patient of the model: FVC 4.5 L, PEF 9 L/s, FIVC 4.4 L;
  // the breath ends 1 s after the inspiration.
  const LungModel::TPatient model;
  const auto wanted = static_cast<long>(LungModel::ForcedManoeuvre(model).size()) - 250;
  QElapsedTimer waited;
  waited.start();
  while (window->SampleCount[MEASURE_FVC][0] < wanted && waited.elapsed() < 40000 && window->IsRunning())
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  ASSERT_GE(window->SampleCount[MEASURE_FVC][0], wanted) << "the blast came";
  ASSERT_TRUE(Route(CM_STOP));
  const float* actual = window->GetAktBuffer(MEASURE_FVC, 0);
  // Half the ISO 26782 tolerances: volumes 1.5 % or 25 mL, flows 5 %.
  EXPECT_NEAR(actual[0], model.FvcL, 0.015 * model.FvcL);
  ASSERT_TRUE(Route(CM_SAVE_MEASUREMENT));
  long rows = 0;
  OpenTestTable(Folder / "Database/Data", "fvc.db", &App->GetMessages())->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 1);
  EXPECT_FALSE(window->HasUnsavedResults());
  SavePicture(*window->window(), "live-road-fvc.png");
}

}  // namespace
