// Rhinomanometry through the real program on the instrument simulator over
// a pseudo-terminal, ten times faster than life: the zero of the head, the
// left and right nostrils and the whole nose measured against the model's
// flows, a nasal provocation whose base goes into the examination table
// before the provoked result is compared with it, a test stored, browsed
// and loaded back as it was, and its printout and exports.
//
// A recording is half an inspiration and six breaths, about 22 s of the
// head, 2.2 s of real time; the operator stops it once the breaths are in.

#include "shell/tests/InstrumentAppFixture.h"

#include "common/CommandNumbers.h"
#include "measure/results/ParamList.h"
#include "measure/window/Measure.h"
#include "measure/window/RhinoBitmapExport.h"
#include "measure/window/RhinoDialogs.h"
#include "platform/basekit/CLocaleFormat.h"
#include "platform/basekit/CsvWorkbook.h"
#include "platform/basekit/ui/DdeDialog.h"
#include "platform/framework/ui/CommandActions.h"
#include "platform/portkit/Protocol.h"
#include "platform/portkit/rhinomanometry/ShownValues.h"
#include "shell/app/MainFrame.h"
#include "shell/app/ProgramWindows.h"
#include "shell/tests/ProgramPrint.h"
#include "testing/PdfText.h"
#include "testing/SimulatorProcess.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// The breaths of one start: half an inspiration and six breaths of 2 to
// 5 s (tools/lungmodel), 22 s at 100 samples a second.
constexpr short BreathSamples = 2200;

// What a stored rhinomanometry test is: both pairs' flows, the curves of
// the four slots and their dates.
struct TRhinoTest {
  RHINO_PARAMS Akt;
  RHINO_PARAMS Pre;
  std::array<std::vector<float>, 4> Flow;
  std::array<std::vector<float>, 4> Pressure;
  std::vector<std::string> Lines;
};

TRhinoTest TestOf(TMeasure& window) {
  TRhinoTest test;
  test.Akt = window.Rhino.ParamsAkt;
  test.Pre = window.Rhino.ParamsPre;
  for (std::size_t slot = 0; slot < 4; ++slot) {
    const auto count = static_cast<std::ptrdiff_t>(std::max<short>(window.SampleCount[MEASURE_RHINO][slot], 0));
    if (count == 0)
      continue;
    test.Flow[slot].assign(window.Flow[slot].begin(), window.Flow[slot].begin() + count);
    test.Pressure[slot].assign(window.Third[slot].begin(), window.Third[slot].begin() + count);
  }
  test.Lines = window.GetParamList()->GetLines();
  return test;
}

class RhinoInProgram : public TInstrumentAppFixture {
protected:
  void SetUp() override { Windows = ProgramWindows(); }

  // The simulated head on a pseudo-terminal playing `flows` (mL/s at
  // 150 Pa) start by start, the program on it, a man of 40 on the sheet
  // and the rhinomanometry window open.
  TMeasure* OpenOnTheHead(const QString& flows) {
    const QStringList arguments{"--manoeuvre", "rhino", "--capabilities",
                                QString::number(InstrumentProtocol::CapabilityRhinomanometer), "--speed", "10",
                                "--noise", "0", "--trigger", "stream", "--rhino-flows", flows};
    Simulator = std::make_unique<TSimulatorProcess>("halvetra-lungsim", arguments, Folder / "lungsim.log");
    EXPECT_FALSE(Simulator->Path.empty());
    if (Simulator->Path.empty())
      return nullptr;
    // The head sends the nose's flow as the model makes it, at no room
    // conditions: the BTPS switch is off, so the program reports it as the
    // head measured it.
    Folder.Write("Halvetra.ini", "[Serial Ports]\nCOM1=" + Simulator->Path +
                                     "\n[Hardware]\nInstall=1\nDemo=0\nPort=0\nMode=1\n[BTPS]\nBTPS=0\n");
    Start("");
    TMeasure* window = OpenForManOfForty(CM_MEASURE_RHINO, MEASURE_RHINO);
    if (window) {
      EXPECT_TRUE(window->Link().PortInUse) << window->Link().LastPortError;
    }
    return window;
  }

  // The zero with the patient away from the head.
  void Zero() {
    EXPECT_FALSE(Enabled(CM_START)) << "Start waits for the zero";
    Sink.Answer = IDOK;
    ASSERT_TRUE(Route(CM_ZERO));
    EXPECT_TRUE(Shown(4)) << "leave the instrument at rest";
    ASSERT_TRUE(Enabled(CM_START)) << "the zero was read";
  }

  // One start from its button until the breaths are in and the operator
  // stops; `during` looks at the window while it records.
  void Record(TMeasure& window, unsigned id, short slot, const std::function<void()>& during = {}) {
    ASSERT_TRUE(Enabled(id)) << id;
    Sink.Answer = IDNO;
    ASSERT_TRUE(Route(id));
    QApplication::processEvents();
    for (const std::string& message : Sink.Texts())
      ADD_FAILURE() << "unexpected message: " << message;
    Sink.Messages.clear();
    ASSERT_TRUE(window.IsRunning());
    auto& count = window.SampleCount[MEASURE_RHINO][static_cast<std::size_t>(slot)];
    // What the head was told and played, for a recording that never came.
    const auto headLog = [this] {
      std::string lines;
      for (const std::string& line : Simulator->Log())
        lines += line + "\n";
      return lines;
    };
    if (during) {
      ASSERT_TRUE(WaitFor([&] { return count > BreathSamples / 2 || !window.IsRunning(); }, 20000)) << headLog();
      during();
    }
    ASSERT_TRUE(WaitFor([&] { return count >= BreathSamples || !window.IsRunning(); }, 20000))
        << "the breaths came: " << count << "\n" << headLog();
    ASSERT_TRUE(window.IsRunning());
    ASSERT_TRUE(Route(CM_STOP));
    ASSERT_FALSE(window.IsRunning());
  }

  // The action of a command in the main window's menus.
  QAction* MenuAction(unsigned id) {
    std::vector<QMenu*> menus;
    for (QAction* top : App->GetFrame()->menuBar()->actions())
      if (top->menu())
        menus.push_back(top->menu());
    while (!menus.empty()) {
      QMenu* menu = menus.back();
      menus.pop_back();
      for (QAction* action : menu->actions()) {
        if (action->menu())
          menus.push_back(action->menu());
        else if (TCommandActions::CommandOf(action) == id)
          return action;
      }
    }
    return nullptr;
  }

  std::unique_ptr<TSimulatorProcess> Simulator;
};

TEST_F(RhinoInProgram, BothNostrilsMeasuredStoredBrowsedAndLoadedBackUnchanged) {
  TMeasure* window = OpenOnTheHead("400,350");
  ASSERT_NE(window, nullptr);
  Zero();
  ASSERT_FALSE(HasFailure());
  Record(*window, CM_START, 0, [&] {
    // The live volume strip draws the volume of the breaths so far.
    const auto& volume = window->Volume[0];
    const auto samples = static_cast<std::size_t>(window->SampleCount[MEASURE_RHINO][0]);
    ASSERT_GE(volume.size(), samples) << "the recording has its volume curve";
    EXPECT_TRUE(std::any_of(volume.begin(), volume.begin() + static_cast<std::ptrdiff_t>(samples),
                            [](float ml) { return std::abs(ml) > 50.0f; }));
    SavePicture(*window->window(), "rhino-in-program-recording.png");
  });
  ASSERT_FALSE(HasFailure());
  Record(*window, CM_START2, 1);
  ASSERT_FALSE(HasFailure());

  // The left nostril in column 1, the right in column 0: the model's
  // flows within 2 %.
  const auto& akt = window->Rhino.ParamsAkt.Flows;
  EXPECT_NEAR(akt[3][1], 400.0f, 8.0f);
  EXPECT_NEAR(akt[3][0], 350.0f, 7.0f);
  EXPECT_FLOAT_EQ(akt[3][2], std::nearbyint(akt[3][0]) + std::nearbyint(akt[3][1]));

  // A click on the table's title chooses the rows: 75 Pa out, 300 Pa in.
  bool chosen = false;
  QTimer::singleShot(0, [&chosen] {
    auto* dialog = dynamic_cast<TRhinoParam*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    chosen = true;
    QTest::mouseClick(dialog->GetCheckBox(1), Qt::LeftButton);
    QTest::mouseClick(dialog->GetCheckBox(4), Qt::LeftButton);
    SavePicture(*dialog, "rhino-in-program-rows-dialog.png");
    dialog->accept();
  });
  const QPointF title(370.0 * window->GetXScale(), 114.0 * window->GetYScale());
  QMouseEvent move(QEvent::MouseMove, title, title, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(window, &move);
  QMouseEvent press(QEvent::MouseButtonPress, title, title, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window, &press);
  ASSERT_TRUE(chosen) << "the rows dialog came up";
  const std::vector<std::string> lines = window->GetParamList()->GetLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].rfind("Flow [100]", 0), 0u) << lines[0];
  EXPECT_EQ(lines[2].rfind("Flow [300]", 0), 0u) << lines[2];

  const TRhinoTest measured = TestOf(*window);
  SavePicture(*window->window(), "rhino-in-program.png");
  // The enlarged diagram at the widest scale and at the narrowest.
  ASSERT_TRUE(Route(CM_SCREEN));
  for (const short zoom : {short{0}, short{3}}) {
    for (int k = 0; k < 4 && window->ZoomLevel != zoom; ++k)
      ASSERT_TRUE(Route(CM_ZOOM));
    ASSERT_EQ(window->ZoomLevel, zoom);
    QApplication::processEvents();
    SavePicture(*window->window(), "rhino-in-program-zoom" + std::to_string(zoom) + ".png");
  }
  ASSERT_TRUE(Route(CM_SCREEN));

  // Stored, found in the browser and loaded: the same flows, curves and
  // lines, not new.
  TMeasure* loaded = StoreAndLoadBack(*window, "rhino.db", MEASURE_RHINO);
  ASSERT_NE(loaded, nullptr);
  const TRhinoTest back = TestOf(*loaded);
  EXPECT_EQ(back.Akt.Flows, measured.Akt.Flows);
  EXPECT_EQ(back.Pre.Flows, measured.Pre.Flows);
  for (std::size_t slot = 0; slot < 4; ++slot) {
    EXPECT_EQ(back.Flow[slot], measured.Flow[slot]) << slot;
    EXPECT_EQ(back.Pressure[slot], measured.Pressure[slot]) << slot;
  }
  EXPECT_EQ(back.Lines, measured.Lines);
  EXPECT_FALSE(loaded->HasUnsavedResults());

  // Printed: one page, the header counting one, with the flows shown.
  const std::string printed = PrintThroughTheProgram(Client(), [this](unsigned id) { return Route(id); },
                                                     "rhino-in-program.pdf");
  EXPECT_NE(printed.find("1/1"), std::string::npos) << printed;
  const std::filesystem::path pdf = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts" / "rhino-in-program.pdf";
  EXPECT_EQ(LineOf(Poppler("pdfinfo", pdf), "Pages:"), "Pages:           1");
  const std::string at150 = LineOf(printed, "Flow [150]");
  EXPECT_NE(at150.find(std::to_string(static_cast<int>(std::nearbyint(measured.Akt.Flows[3][1])))), std::string::npos)
      << at150;

  // The text and the picture of the loaded test.
  ASSERT_TRUE(RhinoBitmapExport::SaveTextAndBmpForRhino(*loaded, App->GetMessages(), Folder / "rhino.txt",
                                                        Folder / "rhino.bmp", ""));
  const std::string text = TTemporaryFolder::Read(Folder / "rhino.txt");
  const auto whole = [](float flow) { return std::to_string(static_cast<int>(std::nearbyint(flow))); };
  const auto& flows = measured.Akt.Flows[3];
  EXPECT_NE(text.find("\nFlow [150]@[mL/s]@" + whole(flows[0]) + "@" + whole(flows[1]) + "@" + whole(flows[2]) + "@"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find('\r'), std::string::npos);
  const QImage picture(QString::fromStdString((Folder / "rhino.bmp").string()));
  EXPECT_EQ(picture.size(), QSize(RhinoBitmapExport::Width, RhinoBitmapExport::Height));
  picture.save(QString::fromStdString((std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts" /
                                       "rhino-in-program-export.png").string()));

  // The sheet into the workbook, from the window's menu.
  QAction* sheet = MenuAction(CM_DDE);
  ASSERT_NE(sheet, nullptr) << "the window's menu has the spreadsheet export";
  App->GetActions()->UpdateAll();
  ASSERT_TRUE(sheet->isEnabled());
  bool asked = false;
  QTimer::singleShot(0, [&asked] {
    auto* dialog = dynamic_cast<TDdeDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    asked = true;
    dialog->accept();
  });
  sheet->trigger();
  EXPECT_TRUE(asked) << "the export asks where the cells go";
  const auto book = TCsvWorkbook::Parse(TTemporaryFolder::Read(Folder / "Halvetra.csv"));
  ASSERT_TRUE(book.has_value());
  // The header's five rows, then the flow lines of the chosen 100, 150
  // and 300 Pa.
  EXPECT_EQ(book->Get(7, 1), "Flow [150]");
  EXPECT_EQ(book->Get(8, 1), "Flow [300]");
  for (std::size_t c = 0; c < 3; ++c)
    EXPECT_EQ(book->Get(7, 3 + c), CLocale::Format("%5.0f", static_cast<double>(std::nearbyint(flows[c])))) << c;
  std::filesystem::copy_file(Folder / "Halvetra.csv",
                             std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts" / "rhino-in-program.csv",
                             std::filesystem::copy_options::overwrite_existing);
}

}  // namespace

TEST_F(RhinoInProgram, ThePosteriorStartMeasuresTheWholeNose) {
  TMeasure* window = OpenOnTheHead("650");
  ASSERT_NE(window, nullptr);
  Zero();
  ASSERT_FALSE(HasFailure());
  Record(*window, CM_START3, 1);  // the second slot of the pair
  ASSERT_FALSE(HasFailure());
  EXPECT_TRUE(window->Rhino.Posterior);
  const auto& akt = window->Rhino.ParamsAkt.Flows;
  EXPECT_NEAR(akt[3][2], 650.0f, 13.0f) << "the whole nose, within 2 %";
  EXPECT_EQ(akt[3][0], 0.0f);
  EXPECT_EQ(akt[3][1], 0.0f);
  EXPECT_FALSE(Enabled(CM_START)) << "a posterior test goes on posterior";
}

// The base: 400 and 350 mL/s at 150 Pa; after the provocation 300 and
// 280. By hand, against the base: left (300 - 400) / 400 = -25 %, right
// (280 - 350) / 350 = -20 %, both (580 - 750) / 750 = -22.7 %. Flows within
// 2 % move a change by at most about 3 points.
TEST_F(RhinoInProgram, AProvocationStoresTheBaseAndTheNextStartsCompareWithIt) {
  TMeasure* window = OpenOnTheHead("400,350,300,280");
  ASSERT_NE(window, nullptr);
  Zero();
  ASSERT_FALSE(HasFailure());
  Record(*window, CM_START, 0);
  ASSERT_FALSE(HasFailure());
  Record(*window, CM_START2, 1);
  ASSERT_FALSE(HasFailure());
  const RHINO_PARAMS base = window->Rhino.ParamsAkt;

  // The agent typed into the provocation dialog.
  bool asked = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = dynamic_cast<TRhinoProv*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    asked = true;
    dialog->GetMaterialBox()->setEditText("Histamine");
    dialog->TakeTypedMaterial();
    dialog->GetConcentrationEdit()->setText("2.5");
    dialog->GetDoseEdit()->setText("0.1");
    SavePicture(*dialog, "rhino-in-program-provocation-dialog.png");
    dialog->accept();
  });
  ASSERT_TRUE(Enabled(CM_RHINO_PROVOCATION));
  ASSERT_TRUE(Route(CM_RHINO_PROVOCATION));
  ASSERT_TRUE(asked);
  EXPECT_TRUE(window->Rhino.Provoked);
  EXPECT_FALSE(window->HasUnsavedResults()) << "the base is stored";
  {
    std::unique_ptr<TEngine> meet = OpenTestTable(Folder / "Database/Data", "meet.db", &App->GetMessages());
    long rows = 0;
    meet->GetNumberOfRecords(rows);
    ASSERT_EQ(rows, 1);
    MeetRecordType stored;
    ASSERT_EQ(meet->GoTop(), 0);
    ASSERT_EQ(meet->GetData(stored), 0);
    EXPECT_EQ(stored.Flags & (MeetFlag::Rhino | MeetFlag::Baseline | MeetFlag::Provoked),
              MeetFlag::Rhino | MeetFlag::Baseline);
  }

  // The next starts fill the second pair; the base stays in the first.
  Record(*window, CM_START, 2);
  ASSERT_FALSE(HasFailure());
  Record(*window, CM_START2, 3);
  ASSERT_FALSE(HasFailure());
  EXPECT_EQ(window->Rhino.ParamsAkt.Flows, base.Flows);
  const auto& provoked = window->Rhino.ParamsPre.Flows;
  EXPECT_NEAR(provoked[3][1], 300.0f, 6.0f);
  EXPECT_NEAR(provoked[3][0], 280.0f, 5.6f);
  const std::vector<rhinomanometry::RhinoLine> lines = rhinomanometry::RhinoLines(
      window->Rhino.ParamsAkt, window->Rhino.ParamsPre, window->Rhino.ShownRows(), window->Rhino.Provoked);
  const auto at150 = std::find_if(lines.begin(), lines.end(),
                                  [](const rhinomanometry::RhinoLine& l) { return l.row == 3 && !l.resistance; });
  ASSERT_NE(at150, lines.end());
  EXPECT_NEAR(at150->changesPercent[0], -20.0f, 3.0f) << "right";
  EXPECT_NEAR(at150->changesPercent[1], -25.0f, 3.0f) << "left";
  EXPECT_NEAR(at150->changesPercent[2], -22.7f, 3.0f) << "both";
  window->GetView().RedrawScreenBmp();
  SavePicture(*window->window(), "rhino-in-program-provocation-block.png");
  ASSERT_TRUE(Route(CM_ZOOM_TABLE));
  QApplication::processEvents();
  SavePicture(*window->window(), "rhino-in-program-big-table.png");
  ASSERT_TRUE(Route(CM_ZOOM_TABLE));
}
