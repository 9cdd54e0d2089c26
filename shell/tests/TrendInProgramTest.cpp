// The trend window in the program, on a real database: the browser's trend
// command with its filter opens the window through the client, the client
// reads each examination from the tables into it, the window walks to its
// ends, and its modes reach the client's bar.

#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/CsvWorkbook.h"
#include "platform/basekit/Dde.h"
#include "patients/Patient.h"
#include "shell/bars/BarLayouts.h"
#include "shell/app/ComponentBar.h"
#include "shell/app/MdiChild.h"
#include "shell/app/MdiClient.h"
#include "platform/basekit/ui/PrintOptionsDialog.h"
#include "records/window/OwnPrinter.h"
#include "shell/app/TrendWindowAccess.h"
#include "testing/PdfText.h"
#include "testing/Pictures.h"
#include "trend/Trend.h"
#include "trend/TrendDialogs.h"
#include "trend/TrendExport.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <array>
#include <functional>

namespace {

struct TStored {
  const char* Date;
  std::int32_t Flags;
  float Fvc;  // FVC, the first value of the FVC row
  float Ivc;  // IVC, the first value of the VC row
};

// One patient's examinations: two baselines, a provoked and a lysis stage,
// an audiogram alone, and a last baseline.
constexpr std::array<TStored, 6> Stored{{
    {"2026.01.10.", MeetFlag::Fvc | MeetFlag::Vc, 4.00f, 4.20f},
    {"2026.02.10.", MeetFlag::Fvc | MeetFlag::Vc, 3.90f, 4.10f},
    {"2026.03.10.", MeetFlag::Fvc | MeetFlag::Vc | MeetFlag::Provoked, 3.50f, 3.80f},
    {"2026.04.10.", MeetFlag::Fvc | MeetFlag::Vc | MeetFlag::ThirdStage, 3.95f, 4.15f},
    {"2026.05.10.", MeetFlag::Audiogram, 0.0f, 0.0f},
    {"2026.06.10.", MeetFlag::Fvc | MeetFlag::Vc, 4.05f, 4.25f},
}};

class TrendInProgram : public TAppFixture {
protected:
  TrendInProgram() { Windows.Trend = TrendWindows::Factory(); }

  void SetUp() override {
    Folder.Write("Halvetra.ini", "[Trendanalysis]\nParam1=FVC00\nParam2=VC00\n");
    Start();
    CreateDatabase();
    const std::filesystem::path data = Folder / "Database/Data";
    PatientRecordType patient;
    SetFieldText(patient.Name, "Anna Kovacs");
    SetFieldText(patient.Id, "A-1");
    ASSERT_EQ(Names()->AddPatientRecord(patient, 1), 0);
    auto meet = OpenTestTable(data, "meet.db", &App->GetMessages());
    auto fvc = OpenTestTable(data, "fvc.db", &App->GetMessages());
    auto vc = OpenTestTable(data, "vc.db", &App->GetMessages());
    const std::vector<float> curve(40, 1.0f);
    for (const TStored& stored : Stored) {
      MeetRecordType record;
      record.PatientKey = patient.Key;
      SetFieldText(record.Date, stored.Date);
      SetFieldText(record.Time, "09:00:00");
      record.Flags = stored.Flags;
      ASSERT_EQ(meet->AddMeetRecord(record, 1), 0);
      if (!(stored.Flags & MeetFlag::Fvc))
        continue;
      std::vector<float> actual(19, 1.0f), reference(19, 4.0f), rsd(19, 0.5f);
      actual[0] = stored.Fvc;
      ASSERT_EQ(fvc->AddSpiroRecord(actual, reference, rsd, 19, curve, 40, record.MeetKey, 1), 0);
      std::vector<float> vcActual(5, 1.0f), vcReference(5, 4.5f), vcRsd(5, 0.5f);
      vcActual[0] = stored.Ivc;
      ASSERT_EQ(vc->AddSpiroRecord(vcActual, vcReference, vcRsd, 5, curve, 40, record.MeetKey, 1), 0);
    }
    ASSERT_TRUE(Route(CM_OPEN_PATIENT));
    ASSERT_NE(Client().GetPatient(), nullptr);
  }

  // The browser's trend command over every listed examination, the filter
  // answered with the two stages.
  void TrendFromBrowser(bool provoked, bool lysis) {
    bool filtered = false;
    QTimer::singleShot(0, [&] {
      QWidget* browser = QApplication::activeModalWidget();
      ASSERT_NE(browser, nullptr);
      auto* list = browser->findChild<QListWidget*>();
      ASSERT_NE(list, nullptr);
      ASSERT_EQ(list->count(), 6);
      list->selectAll();
      auto* trend = browser->findChild<QPushButton*>("5730");
      ASSERT_NE(trend, nullptr);
      ASSERT_TRUE(trend->isEnabled());
      QTimer::singleShot(0, [&] {
        auto* filter = dynamic_cast<TTrendFilter*>(QApplication::activeModalWidget());
        ASSERT_NE(filter, nullptr);
        filter->ProvokedBox()->setChecked(provoked);
        filter->LysisBox()->setChecked(lysis);
        SavePicture(*filter, "trend-filter-in-program.png");
        filter->accept();
        filtered = true;
      });
      trend->click();
    });
    ASSERT_TRUE(Route(CM_BROWSE_MEASUREMENTS));
    ASSERT_TRUE(filtered);
  }

  TTrend* Trend() { return dynamic_cast<TTrend*>(Client().GetTrend()); }

  // Each line's date, FVC, IVC and mark.
  std::vector<std::tuple<std::string, float, float, char>> Lines() {
    std::vector<std::tuple<std::string, float, float, char>> lines;
    for (const TTrendLine& line : Trend()->Model().Lines())
      lines.emplace_back(line.Data.Date, line.Data.Values[0], line.Data.Values[1], line.Data.Marker);
    return lines;
  }
};

TEST_F(TrendInProgram, BrowserTrendTakesTheStagesTheFilterNames) {
  TrendFromBrowser(false, false);
  ASSERT_NE(Trend(), nullptr);
  THalvetraMDIChild* frame = Client().GetTrendFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->windowTitle(), QString::fromStdString(App->GetMessages().LoadStringA(250)).remove('&'));
  using TLine = std::tuple<std::string, float, float, char>;
  EXPECT_EQ(Lines(), (std::vector<TLine>{{"2026.01.10.", 4.00f, 4.20f, ' '},
                                        {"2026.02.10.", 3.90f, 4.10f, ' '},
                                        {"2026.06.10.", 4.05f, 4.25f, ' '}}));
  EXPECT_EQ(Trend()->ListBox()->count(), 3);
  SavePicture(*frame, "trend-in-program.png");

  // The browser closes the open trend; the new one takes both stages.
  TrendFromBrowser(true, true);
  ASSERT_NE(Trend(), nullptr);
  EXPECT_EQ(Lines(), (std::vector<TLine>{{"2026.01.10.", 4.00f, 4.20f, ' '},
                                        {"2026.02.10.", 3.90f, 4.10f, ' '},
                                        {"2026.03.10.", 3.50f, 3.80f, 'P'},
                                        {"2026.04.10.", 3.95f, 4.15f, 'O'},
                                        {"2026.06.10.", 4.05f, 4.25f, ' '}}));
  EXPECT_TRUE(Trend()->Model().IncludeProvoked);
  EXPECT_TRUE(Trend()->Model().IncludeLysis);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(TrendInProgram, WalksEndAtThePatientsFirstAndLastExamination) {
  TrendFromBrowser(false, false);
  ASSERT_NE(Trend(), nullptr);
  TTrendModel& model = Trend()->Model();
  // Delete the first line, then walk back to it: the client finds it again.
  ASSERT_TRUE(model.DeleteLine(0));
  ASSERT_TRUE(model.ReadOneParameterFromDatabase(TrendFlags::Earlier));
  EXPECT_EQ(model.Count(), 3);
  EXPECT_EQ(model.Lines().front().Data.Date, "2026.01.10.");
  EXPECT_FALSE(model.FirstReached);
  // Nothing before the first examination, nothing after the last.
  model.ReadOneParameterFromDatabase(TrendFlags::Earlier);
  EXPECT_TRUE(model.FirstReached);
  model.ReadOneParameterFromDatabase(TrendFlags::Later);
  EXPECT_TRUE(model.LastReached);
  EXPECT_EQ(model.Count(), 3);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(TrendInProgram, ModesReachTheClientsBarAndClosingGivesTheSheetBack) {
  TrendFromBrowser(false, false);
  ASSERT_NE(Trend(), nullptr);
  TComponentBar* bar = Client().GetBar(BarLayouts::TrendCaption);
  ASSERT_NE(bar, nullptr);
  EXPECT_FALSE(bar->IsButtonDown(CM_NORMREL));
  Trend()->DispatchCommand(CM_NORMREL);
  EXPECT_TRUE(bar->IsButtonDown(CM_NORMREL));
  Trend()->DispatchCommand(CM_PREDICTED);
  EXPECT_TRUE(bar->IsButtonDown(CM_PREDICTED));
  // The predicted toggle reloads every line through the client.
  EXPECT_EQ(Trend()->Model().Count(), 3);

  Client().GetTrendFrame()->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Client().GetTrend(), nullptr);
  EXPECT_EQ(Client().GetBar(BarLayouts::TrendCaption), nullptr);
  EXPECT_TRUE(Sink.Messages.empty());
}

// The export command pokes the trend's rows into the workbook at the
// confirmed first row and column: read back cell by cell.
TEST_F(TrendInProgram, ExportArrivesInTheWorkbookCellByCell) {
  TrendFromBrowser(false, false);
  ASSERT_NE(Trend(), nullptr);
  Trend()->RunDdeDialog = [](TTDdeDialogStruct& settings) {
    settings.FirstRow = "5";
    settings.FirstColumn = "2";
    return true;
  };
  App->GetActions()->UpdateAll();
  EXPECT_TRUE(Enabled(CM_DDE));
  Trend()->DispatchCommand(CM_DDE);

  const auto book = TCsvWorkbook::Parse(TTemporaryFolder::Read(Folder / "Halvetra.csv"));
  ASSERT_TRUE(book.has_value());
  // Past the patient's row, every cell as the export made it.
  const std::vector<TrendExport::TRow> rows = TrendExport::Rows(Trend()->Model(), PREDICTED_DATA{}, false);
  ASSERT_EQ(rows.size(), 7u);  // patient, blank, reference, heads, three lines
  for (std::size_t r = 1; r < rows.size(); ++r)
    for (std::size_t c = 0; c < rows[r].size(); ++c)
      EXPECT_EQ(book->Get(5 + r, 2 + c), rows[r][c]) << r << "," << c;
  EXPECT_EQ(book->Get(5, 2), "Anna Kovacs");
  // June's line: FVC 4.05 L is 101 % of January's 4.00 L (4.05 / 4.00 = 1.0125).
  EXPECT_EQ(book->Get(11, 4), "  4.05");
  EXPECT_EQ(book->Get(11, 5), " 101%");
  EXPECT_TRUE(Sink.Messages.empty());
}

// The print command prints the active trend through the print manager:
// its options dialog, then its lines on the printer's pages.
TEST_F(TrendInProgram, PrintedToAPdf) {
  TrendFromBrowser(false, false);
  ASSERT_NE(Trend(), nullptr);
  Client().ActivateChild(Client().GetTrendFrame());
  App->GetActions()->UpdateAll();
  ASSERT_TRUE(Enabled(CM_FILEPRINT));
  const std::filesystem::path artifacts = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
  std::filesystem::create_directories(artifacts);
  const std::filesystem::path pdf = artifacts / "program-trend-printout.pdf";
  std::filesystem::remove(pdf);
  Client().PrintPrompt = false;
  TOwnPrinter& printer = Client().GetPrinter();
  printer.ShowAbortDialog = false;
  printer.Printer().setOutputFileName(QString::fromStdString(pdf.string()));
  bool offered = false;
  QTimer::singleShot(0, [&] {
    auto* options = dynamic_cast<TPrintOptionsDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(options, nullptr);
    offered = options->Box(7) == nullptr;  // the trend's dialog offers no graphs of a test
    options->findChild<QPushButton*>("1")->click();
  });
  Route(CM_FILEPRINT);
  EXPECT_TRUE(offered);
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_EQ(Client().GetPrintingDepth(), 0);
  const std::string printed = PdfText(pdf);
  for (const char* expected : {"Trend", "Anna Kovacs", "2026.01.10.", "2026.06.10.", "4.05"})
    EXPECT_NE(printed.find(expected), std::string::npos) << expected << "\n" << printed;
}

// An examination whose FVC row is gone gives no line (its values would be
// zeros taken for a result); the others come as they are.
TEST_F(TrendInProgram, AnExaminationWithoutItsTestRowGivesNoLine) {
  {
    auto meet = OpenTestTable(Folder / "Database/Data", "meet.db", &App->GetMessages());
    auto fvc = OpenTestTable(Folder / "Database/Data", "fvc.db", &App->GetMessages());
    ASSERT_EQ(meet->GoTop(), 0);
    ASSERT_EQ(meet->GetNextRec(), 0);  // February
    MeetRecordType february;
    ASSERT_EQ(meet->GetData(february), 0);
    ASSERT_EQ(FieldText(february.Date), "2026.02.10.");
    ASSERT_EQ(fvc->Search(SearchEqual, 1, long{february.MeetKey}), 0);
    ASSERT_EQ(fvc->DeleteRec(), 0);
  }
  TrendFromBrowser(false, false);
  ASSERT_NE(Trend(), nullptr);
  using TLine = std::tuple<std::string, float, float, char>;
  EXPECT_EQ(Lines(), (std::vector<TLine>{{"2026.01.10.", 4.00f, 4.20f, ' '}, {"2026.06.10.", 4.05f, 4.25f, ' '}}));
  EXPECT_TRUE(Sink.Messages.empty());
}

}  // namespace
