// Rhinomanometry through the real program on real table files: the
// demonstration nose replayed into the left and right nostril, the test
// stored by the save command, found in the examination table, and loaded
// back into a new window with the same flows, rows and flags; a nasal
// provocation stores its base and then the provoked result beside it.

#include "shell/tests/MeasureRunFixture.h"

#include "common/CommandNumbers.h"
#include "measure/window/Measure.h"
#include "measure/window/RhinoDialogs.h"
#include "measure/results/ParamList.h"
#include "platform/dbkit/Records.h"
#include "records/DemoReplay.h"
#include "shell/tests/ProgramPrint.h"
#include "testing/PdfText.h"

#include <QComboBox>
#include <QRegularExpression>
#include <QLineEdit>
#include <QTimer>

#include <cmath>
#include <random>

namespace {

// The demonstration nose: an orifice, flow = k * sqrt(P), 400 mL/s at
// 150 Pa (tools/lungmodel's default nose).
constexpr double DemoFlowAt150PaMlps = 400.0;

class RhinoRecords : public TMeasureRunFixture {
protected:
  TMeasure& OpenRhino() {
    HardwareMode = "1";
    TMeasure& window = OpenTest(CM_MEASURE_RHINO);
    EXPECT_EQ(window.GetMeasureMode(), MEASURE_RHINO);
    return window;
  }

  // One replay from the start id until the window stops it.
  void Record(TMeasure& window, unsigned id) {
    ASSERT_TRUE(Enabled(id)) << id;
    ASSERT_TRUE(Route(id));
    QApplication::processEvents();
    ASSERT_TRUE(window.IsRunning());
    for (int step = 0; step < 800 && window.IsRunning(); ++step) {
      LinkClock->Advance(100);
      QApplication::processEvents();
    }
    ASSERT_FALSE(window.IsRunning());
  }

  // Each replay scales the stored curve: flows by f1 = 0.75 ... 1.49 and
  // pressures by f2 = 0.50 ... 0.99, two draws of the window's generator
  // per start. The orifice then gives at 150 Pa (that is at 150 / f2 Pa of
  // the stored curve) f1 * k * sqrt(150 / f2) = 400 * f1 / sqrt(f2).
  double ExpectedFlowOfReplay(int replay) const {
    std::mt19937 random(Seed);
    const auto draw = [&] { return static_cast<int>(random() & 0x7FFFFFFF); };
    double f1 = 0.0, f2 = 0.0;
    for (int i = 0; i <= replay; ++i) {
      f1 = (draw() % 75 + 75) * 0.01;
      f2 = (draw() % 50 + 50) * 0.01;
    }
    return DemoFlowAt150PaMlps * f1 / std::sqrt(f2);
  }

  MeetRecordType OnlyExaminationRow() {
    std::unique_ptr<TEngine> meet = OpenTestTable(Folder / "Database/Data", "meet.db", &App->GetMessages());
    long rows = 0;
    meet->GetNumberOfRecords(rows);
    EXPECT_EQ(rows, 1);
    MeetRecordType stored;
    EXPECT_EQ(meet->GoTop(), 0);
    EXPECT_EQ(meet->GetData(stored), 0);
    return stored;
  }

  long RhinoRows() {
    long rows = 0;
    OpenTestTable(Folder / "Database/Data", "rhino.db", &App->GetMessages())->GetNumberOfRecords(rows);
    return rows;
  }

  static std::string KeyOf(const MeetRecordType& row) { return FieldText(row.Date) + "@" + FieldText(row.Time); }

  void Load(const std::string& key, TParam1 kind) {
    SendMessage(&Client(), WM_LOAD_MEASUREMENT, kind, reinterpret_cast<TParam2>(key.c_str()));
    QApplication::processEvents();
  }

  void CloseWindow() {
    Client().GetMeasureFrame()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
  }

  // Answers the nasal provocation dialog with a material, concentration and
  // dose once it is up.
  void AnswerProvocation(const char* material, const char* concentration, const char* dose) {
    QTimer::singleShot(0, [=] {
      auto* dialog = dynamic_cast<TRhinoProv*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      dialog->GetMaterialBox()->setEditText(material);
      dialog->TakeTypedMaterial();
      dialog->GetConcentrationEdit()->setText(concentration);
      dialog->GetDoseEdit()->setText(dose);
      dialog->accept();
    });
  }
};

TEST_F(RhinoRecords, BothNostrilsReplayedSavedAndLoadedBackUnchanged) {
  TMeasure& window = OpenRhino();
  ASSERT_FALSE(HasFailure());
  Record(window, CM_START);
  ASSERT_FALSE(HasFailure());
  Record(window, CM_START2);
  ASSERT_FALSE(HasFailure());

  // The left nostril in column 1, the right in column 0, within 2 % of
  // the model at 150 Pa; the total is the sum of the shown flows.
  const auto& akt = window.Rhino.ParamsAkt.Flows;
  const double left = ExpectedFlowOfReplay(0);
  const double right = ExpectedFlowOfReplay(1);
  EXPECT_NEAR(akt[3][1], left, 0.02 * left);
  EXPECT_NEAR(akt[3][0], right, 0.02 * right);
  EXPECT_FLOAT_EQ(akt[3][2], std::nearbyint(akt[3][0]) + std::nearbyint(akt[3][1]));
  EXPECT_TRUE(window.HasUnsavedResults());
  const RHINO_PARAMS measured = window.Rhino.ParamsAkt;
  const std::vector<std::string> lines = window.GetParamList()->GetLines();
  ASSERT_FALSE(lines.empty());
  const std::array<short, 2> counts{window.SampleCount[MEASURE_RHINO][0], window.SampleCount[MEASURE_RHINO][1]};
  SavePicture(*window.window(), "rhino-demo-replayed.png");

  ASSERT_TRUE(Enabled(CM_SAVE_MEASUREMENT));
  ASSERT_TRUE(Route(CM_SAVE_MEASUREMENT));
  EXPECT_FALSE(window.HasUnsavedResults());
  const MeetRecordType stored = OnlyExaminationRow();
  EXPECT_EQ(stored.Flags & (MeetFlag::Rhino | MeetFlag::PosteriorRhino), MeetFlag::Rhino);
  EXPECT_EQ(stored.Flags & (MeetFlag::Baseline | MeetFlag::Provoked), 0);
  EXPECT_EQ(stored.Algorithm, window.Rhino.Algorithm);
  EXPECT_EQ(RhinoRows(), 1);

  // Loaded into a window the load opens itself: the same curves, flows
  // and rows, not offered for storing again, moved aside at the next start.
  CloseWindow();
  ASSERT_EQ(Client().GetMeasure(), nullptr);
  Load(KeyOf(stored), 1);
  auto* loaded = dynamic_cast<TMeasure*>(Client().GetMeasure());
  ASSERT_NE(loaded, nullptr) << "loading opens the measurement window";
  EXPECT_EQ(loaded->GetMeasureMode(), MEASURE_RHINO);
  EXPECT_EQ(loaded->SampleCount[MEASURE_RHINO][0], counts[0]);
  EXPECT_EQ(loaded->SampleCount[MEASURE_RHINO][1], counts[1]);
  EXPECT_EQ(loaded->Rhino.ParamsAkt.Flows, measured.Flows);
  EXPECT_EQ(loaded->GetParamList()->GetLines(), lines);
  EXPECT_TRUE(loaded->Rhino.Anterior);
  EXPECT_FALSE(loaded->Rhino.Posterior);
  EXPECT_TRUE(loaded->Rhino.LoadedAkt);
  EXPECT_TRUE(loaded->Rhino.MoveToPrevious);
  EXPECT_FALSE(loaded->HasUnsavedResults());
  SavePicture(*loaded->window(), "rhino-loaded.png");

  // As the comparison: the second pair.
  Load(KeyOf(stored), 2);
  EXPECT_EQ(loaded->Rhino.ParamsPre.Flows, measured.Flows);
  EXPECT_TRUE(loaded->Rhino.LoadedPre);
}

TEST_F(RhinoRecords, PosteriorIsStoredAsSuchAndLoadsAsPosterior) {
  TMeasure& window = OpenRhino();
  ASSERT_FALSE(HasFailure());
  Record(window, CM_START3);
  ASSERT_FALSE(HasFailure());
  const double whole = ExpectedFlowOfReplay(0);
  EXPECT_NEAR(window.Rhino.ParamsAkt.Flows[3][2], whole, 0.02 * whole);
  const RHINO_PARAMS measured = window.Rhino.ParamsAkt;
  ASSERT_TRUE(Route(CM_SAVE_MEASUREMENT));
  const MeetRecordType stored = OnlyExaminationRow();
  EXPECT_EQ(stored.Flags & (MeetFlag::Rhino | MeetFlag::PosteriorRhino), MeetFlag::Rhino | MeetFlag::PosteriorRhino);

  CloseWindow();
  Load(KeyOf(stored), 1);
  auto* loaded = dynamic_cast<TMeasure*>(Client().GetMeasure());
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(loaded->Rhino.Posterior);
  EXPECT_EQ(loaded->Rhino.ParamsAkt.Flows, measured.Flows);
}

TEST_F(RhinoRecords, AProvocationStoresItsBaseThenTheProvokedResultWithItsAgent) {
  TMeasure& window = OpenRhino();
  ASSERT_FALSE(HasFailure());
  Record(window, CM_START);
  ASSERT_FALSE(HasFailure());
  const RHINO_PARAMS base = window.Rhino.ParamsAkt;

  AnswerProvocation("Histamine", "2.5", "0.1");
  ASSERT_TRUE(Enabled(CM_RHINO_PROVOCATION));
  ASSERT_TRUE(Route(CM_RHINO_PROVOCATION));
  EXPECT_TRUE(window.Rhino.Provoked);
  EXPECT_FALSE(window.HasUnsavedResults()) << "the base is stored";
  const MeetRecordType baseRow = OnlyExaminationRow();
  EXPECT_EQ(baseRow.Flags & (MeetFlag::Rhino | MeetFlag::Baseline | MeetFlag::Provoked),
            MeetFlag::Rhino | MeetFlag::Baseline);

  // After the provocation the left nostril fills slot 2.
  Record(window, CM_START);
  ASSERT_FALSE(HasFailure());
  EXPECT_GT(window.SampleCount[MEASURE_RHINO][2], 0);
  EXPECT_EQ(window.Rhino.ParamsAkt.Flows, base.Flows) << "the base stays in the first pair";
  const RHINO_PARAMS provoked = window.Rhino.ParamsPre;
  SavePicture(window, "rhino-provocation-block.png");
  window.DispatchCommand(CM_ZOOM_TABLE);
  QApplication::processEvents();
  SavePicture(window, "rhino-big-table.png");
  window.DispatchCommand(CM_ZOOM_TABLE);
  ASSERT_TRUE(Route(CM_SAVE_MEASUREMENT));
  std::unique_ptr<TEngine> meet = OpenTestTable(Folder / "Database/Data", "meet.db", &App->GetMessages());
  long rows = 0;
  meet->GetNumberOfRecords(rows);
  ASSERT_EQ(rows, 2);
  MeetRecordType provokedRow;
  ASSERT_EQ(meet->GoTop(), 0);
  for (int row = 0; row < 2; ++row) {
    ASSERT_TRUE(row == 0 || meet->GetNextRec() == 0);
    MeetRecordType read;
    ASSERT_EQ(meet->GetData(read), 0);
    if (!(read.Flags & MeetFlag::Baseline))
      provokedRow = read;
  }
  meet.reset();
  EXPECT_EQ(provokedRow.Flags & (MeetFlag::Rhino | MeetFlag::Baseline | MeetFlag::Provoked),
            MeetFlag::Rhino | MeetFlag::Provoked);
  EXPECT_EQ(FieldText(provokedRow.Agent), "Histamine");
  EXPECT_FLOAT_EQ(provokedRow.Concentration, 2.5f);
  EXPECT_FLOAT_EQ(provokedRow.Dose, 0.1f);
  EXPECT_EQ(RhinoRows(), 2);

  // Base, then provoked, loaded into a new window: each in its own pair,
  // the provocation with its agent.
  CloseWindow();
  Load(KeyOf(baseRow), 1);
  auto* loaded = dynamic_cast<TMeasure*>(Client().GetMeasure());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->Rhino.ParamsAkt.Flows, base.Flows);
  Load(KeyOf(provokedRow), 1);
  EXPECT_EQ(loaded->Rhino.ParamsAkt.Flows, base.Flows);
  EXPECT_EQ(loaded->Rhino.ParamsPre.Flows, provoked.Flows);
  EXPECT_TRUE(loaded->Rhino.Provoked);
  EXPECT_EQ(loaded->Rhino.ProvocationMaterial, "Histamine");
  EXPECT_FLOAT_EQ(loaded->Rhino.ProvocationConcentration, 2.5f);
}

// A RinoDemo.bin cut short: the start that reads it names the file once
// and records nothing; the nostril measured before, its curve and the
// unsaved result stay, and the whole file replays again.
TEST_F(RhinoRecords, ATruncatedDemonstrationFileLosesNothing) {
  const std::filesystem::path demo = Folder / "demo";
  std::filesystem::create_directories(demo);
  const std::string whole = TTemporaryFolder::Read(DemoReplay::DemoFolder() / "RinoDemo.bin");
  ASSERT_GT(whole.size(), 1000u);
  Folder.Write("demo/RinoDemo.bin", whole);
  TMeasure& window = OpenRhino();
  ASSERT_FALSE(HasFailure());
  Client().DemoFolder = demo;
  Record(window, CM_START);
  ASSERT_FALSE(HasFailure());
  const RHINO_PARAMS left = window.Rhino.ParamsAkt;
  const short count = window.SampleCount[MEASURE_RHINO][0];
  const std::vector<float> curve(window.Flow[0].begin(), window.Flow[0].begin() + count);
  const std::vector<std::string> lines = window.GetParamList()->GetLines();
  ASSERT_GT(count, 0);

  // Cut in its count, in its flows and in its pressures; the left nostril
  // measured again and the right measured first.
  for (const std::size_t cut : {std::size_t{3}, whole.size() / 3, whole.size() - 1})
    for (const unsigned id : {CM_START, CM_START2}) {
      SCOPED_TRACE(testing::Message() << "cut at " << cut << ", start " << id);
      Folder.Write("demo/RinoDemo.bin", whole.substr(0, cut));
      ASSERT_TRUE(Enabled(id));
      ASSERT_TRUE(Route(id));
      QApplication::processEvents();
      EXPECT_FALSE(window.IsRunning());
      ASSERT_EQ(Sink.Messages.size(), 1u);
      EXPECT_NE(Sink.Messages[0].Text.find("RinoDemo.bin"), std::string::npos) << Sink.Messages[0].Text;
      Sink.Messages.clear();
      EXPECT_EQ(window.Rhino.ParamsAkt.Flows, left.Flows);
      ASSERT_EQ(window.SampleCount[MEASURE_RHINO][0], count);
      EXPECT_TRUE(std::equal(curve.begin(), curve.end(), window.Flow[0].begin())) << "the left nostril's curve";
      EXPECT_EQ(window.SampleCount[MEASURE_RHINO][1], 0);
      EXPECT_EQ(window.GetParamList()->GetLines(), lines);
      EXPECT_TRUE(window.HasUnsavedResults());
    }

  Folder.Write("demo/RinoDemo.bin", whole);
  Record(window, CM_START2);
  ASSERT_FALSE(HasFailure());
  EXPECT_GT(window.Rhino.ParamsAkt.Flows[3][0], 0.0f) << "the right nostril";
  EXPECT_EQ(window.Rhino.ParamsAkt.Flows[3][1], left.Flows[3][1]);
}

// The words of a printed PDF with their boxes, page by page, as pdftotext
// gives them.
struct TPrintedWord {
  std::string Text;
  double Top = 0.0;  // points from the page's top
  double Bottom = 0.0;
};
struct TPrintedPage {
  double Height = 0.0;
  std::vector<TPrintedWord> Words;
};

std::vector<TPrintedPage> PrintedPages(const std::filesystem::path& pdf) {
  const QString boxes = QString::fromStdString(Poppler("pdftotext", pdf, {"-bbox"}));
  static const QRegularExpression item(
      R"re(<page width="[0-9.]+" height="([0-9.]+)">|)re"
      R"re(<word xMin="[0-9.]+" yMin="([0-9.]+)" xMax="[0-9.]+" yMax="([0-9.]+)">([^<]*)</word>)re");
  std::vector<TPrintedPage> pages;
  for (auto match = item.globalMatch(boxes); match.hasNext();) {
    const QRegularExpressionMatch m = match.next();
    if (!m.captured(1).isEmpty())
      pages.push_back({m.captured(1).toDouble(), {}});
    else if (!pages.empty())
      pages.back().Words.push_back({m.captured(4).toStdString(), m.captured(2).toDouble(), m.captured(3).toDouble()});
  }
  return pages;
}

// A note of more and more lines pushes the report's diagram down the page
// until the page count goes to two. The last count of one page is the
// report that ends at the page's end: the header's count and the PDF's
// pages agree at it and at the next line, and nothing of the report lies
// past the page.
TEST_F(RhinoRecords, AReportThatEndsAtThePageEndIsCountedRight) {
  TMeasure& window = OpenRhino();
  ASSERT_FALSE(HasFailure());
  Record(window, CM_START);
  ASSERT_FALSE(HasFailure());
  const std::filesystem::path pdf =
      std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts" / "program-rhino-page-end.pdf";
  // The pages the header counts and those the PDF has, for a note of
  // `lines` lines.
  const auto print = [&](int lines) {
    std::string note;
    for (int i = 0; i < lines; ++i)
      note += std::string(1, static_cast<char>('a' + i % 26)) + "\n";
    window.SetNote(0, note);
    const std::string text = PrintThroughTheProgram(Client(), [this](unsigned id) { return Route(id); },
                                                    "program-rhino-page-end.pdf");
    static const QRegularExpression count(R"(\b1/([0-9]+)\b)");
    const QRegularExpressionMatch m = count.match(QString::fromStdString(text));
    EXPECT_TRUE(m.hasMatch()) << text;
    const int counted = m.hasMatch() ? m.captured(1).toInt() : 0;
    EXPECT_EQ(static_cast<int>(PrintedPages(pdf).size()), counted) << lines << " lines";
    return counted;
  };
  int fits = 0;
  int over = 29;  // the note's 60 bytes hold 30 lines of one letter
  ASSERT_EQ(print(fits), 1);
  ASSERT_EQ(print(over), 2) << "the longest note takes the report past the page";
  while (over - fits > 1) {
    const int mid = (fits + over) / 2;
    (print(mid) == 1 ? fits : over) = mid;
  }
  ASSERT_EQ(print(fits), 1);
  const std::vector<TPrintedPage> pages = PrintedPages(pdf);
  ASSERT_EQ(pages.size(), 1u);
  // The report's last line is the end of the diagram's flow axis, whose
  // label is centred on it: that centre lies on the page, less than a note
  // line (14 units, 10.4 pt) above its end.
  const auto lower = [](const TPrintedWord& a, const TPrintedWord& b) { return a.Bottom < b.Bottom; };
  const auto lowest = std::max_element(pages[0].Words.begin(), pages[0].Words.end(), lower);
  ASSERT_NE(lowest, pages[0].Words.end());
  const double end = (lowest->Top + lowest->Bottom) / 2.0;
  std::printf("[ page end ] %d note lines fit; the report ends %.1f pt above the page's end (\"%s\")\n", fits,
              pages[0].Height - end, lowest->Text.c_str());
  EXPECT_EQ(lowest->Text, "-600") << "the flow axis' end is the report's last line";
  EXPECT_EQ(std::count_if(pages[0].Words.begin(), pages[0].Words.end(),
                          [](const TPrintedWord& w) { return w.Text == "-600"; }),
            2)
      << "the pressure axis' end and the flow axis' end are both printed";
  EXPECT_LE(end, pages[0].Height);
  EXPECT_GT(end, pages[0].Height - 10.5);
  EXPECT_EQ(print(fits + 1), 2);
}

// The print command prints the report after its options dialog: the
// title of a rhinomanometry test, the rows, both algorithms in the header.
TEST_F(RhinoRecords, PrintedToAPdf) {
  TMeasure& window = OpenRhino();
  ASSERT_FALSE(HasFailure());
  App->GetActions()->UpdateAll();
  EXPECT_FALSE(Enabled(CM_FILEPRINT)) << "no result yet";
  Record(window, CM_START);
  ASSERT_FALSE(HasFailure());
  App->GetActions()->UpdateAll();
  ASSERT_TRUE(Enabled(CM_FILEPRINT));
  const std::string printed = PrintThroughTheProgram(Client(), [this](unsigned id) { return Route(id); }, "program-rhino-printout.pdf");
  // pdftotext keeps one blank of "RES  [150]".
  for (const std::string& expected : {App->GetMessages().LoadStringA(469), std::string("Flow [150]"),
                                      std::string("RES [150]"), std::string("Act."),
                                      window.GetRhinoAlgorithmName(1)})
    EXPECT_NE(printed.find(expected), std::string::npos) << expected << "\n" << printed;
  // The report's 477 units (title 50, six rows 66 and 5, the diagram 20
  // and 336) and the header fit one page, and the header says so.
  EXPECT_NE(printed.find("1/1"), std::string::npos) << printed;
  EXPECT_EQ(window.GetMeasureMode(), MEASURE_RHINO) << "the window shows its test again";
}

}  // namespace
