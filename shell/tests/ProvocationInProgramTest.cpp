// The provocation through the real program on a temporary database: the
// window opened by its command, set up and given its parameter by clicks on
// its areas, a baseline and three typed doses measured in the measurement
// window (the demonstration replay, with FEV1 set to the values of the
// test), and the stages stored as the window closes.

#include "shell/tests/MeasureRunFixture.h"

#include "platform/basekit/CsvWorkbook.h"
#include "platform/basekit/Dde.h"
#include "platform/dbkit/Engine.h"
#include "platform/dbkit/Records.h"
#include "shell/app/MdiChild.h"
#include "shell/app/MdiClient.h"
#include "special/provocation/ui/Provocation.h"
#include "records/window/OwnPrinter.h"
#include "testing/PdfText.h"
#include "testing/Pictures.h"
#include "testing/TestDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {

class ProvocationInProgram : public TMeasureRunFixture {
protected:
  // Runs `fill` on the modal dialog the next action opens, then presses OK.
  static void AnswerDialog(std::function<void(QWidget&)> fill) {
    QTimer::singleShot(0, [fill] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      fill(*dialog);
      auto* ok = dialog->findChild<QPushButton*>(QString::number(IDOK));
      ASSERT_NE(ok, nullptr);
      ASSERT_TRUE(ok->isEnabled());
      ok->click();
    });
  }
  template <class TWidget>
  static TWidget* Find(QWidget& dialog, int id) {
    return dialog.findChild<TWidget*>(QString::number(id));
  }
  static void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }

  TProvocation* Provocation() { return dynamic_cast<TProvocation*>(Client().GetProvocation()); }
  void ActivateProvocation() {
    Client().setActiveSubWindow(Client().GetProvocationFrame());
    QApplication::processEvents();
  }

  // The measurement the step opened: a replayed trial whose FEV1 is `fev1`,
  // then the step command from the measurement window files it.
  void MeasureFev1(float fev1) {
    auto* window = dynamic_cast<TMeasure*>(Client().GetMeasure());
    ASSERT_NE(window, nullptr);
    window->TMeasureInterrupt::SetClock(LinkClock);
    window->SeedRandom(Seed);
    // The window switched to the step's test waits for a zero.
    if (!Enabled(CM_START)) {
      ASSERT_TRUE(Route(CM_ZERO));
      QApplication::processEvents();
      EXPECT_TRUE(Shown(4));
    }
    RunTrial(*window);
    for (auto& trial : window->AktParams[0])
      trial[2] = fev1;
    ASSERT_TRUE(Enabled(CM_PROVOCATION_STEP));
    ASSERT_TRUE(Route(CM_PROVOCATION_STEP));
    QApplication::processEvents();
  }

  int Filed = 0;

  std::vector<MeetRecordType> MeetRows() {
    std::vector<MeetRecordType> rows;
    auto meet = OpenTestTable(Folder / "Database/Data", "meet.db", &App->GetMessages());
    if (meet->GoTop() != 0)
      return rows;
    do {
      MeetRecordType row;
      if (meet->GetData(row) == 0)
        rows.push_back(row);
    } while (meet->GetNextRec() == 0);
    return rows;
  }
};

TEST_F(ProvocationInProgram, TypedDosesGiveStepsAndStoreTheStages) {
  StageClock = [this] {
    ++Filed;
    return TStageTime{2026, 12, 11, 9, 10 * Filed, 0, 0};
  };
  Folder.Write("Halvetra.ini", "[Hardware]\nInstall=1\nMode=0\n[Provocation]\nParam1=\nParam2=\nParam3=\n");
  Start();
  CreateDatabase();
  AddTestPatient();
  ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  ASSERT_TRUE(Enabled(CM_PROVOCATION));
  ASSERT_TRUE(Route(CM_PROVOCATION));
  TProvocation* window = Provocation();
  ASSERT_NE(window, nullptr);
  window->show();
  QApplication::processEvents();
  // The window's pixels of a point of its 800 x 600 design.
  const auto at = [window](double x, double y) {
    return QPoint(static_cast<int>(x * window->width() / 750.0), static_cast<int>(y * window->height() / 465.0));
  };

  // The set-up by a click on its panel.
  AnswerDialog([](QWidget& dialog) {
    auto* material = Find<QComboBox>(dialog, 5874);
    material->lineEdit()->setFocus();
    QTest::keyClicks(material->lineEdit(), "Histamine");
    Find<QRadioButton>(dialog, 5870)->click();
    Find<QRadioButton>(dialog, 5872)->click();
    Type(Find<QLineEdit>(dialog, 5891), "2.5");
    Type(Find<QLineEdit>(dialog, 5894), "0");
    Find<QCheckBox>(dialog, 5900)->setChecked(true);
  });
  QTest::mouseClick(window, Qt::LeftButton, {}, at(100, 150));
  EXPECT_EQ(window->GetAgent(), "Histamine");

  // FEV1 in the first column, -20 %, by a click on its head (above the
  // step list, which keeps its pixels at any scale).
  AnswerDialog([](QWidget& dialog) {
    Find<QComboBox>(dialog, 5910)->setCurrentIndex(3);
    Type(Find<QLineEdit>(dialog, 5912), "-20");
  });
  QMouseEvent move(QEvent::MouseMove, QPointF(at(460, 72)), window->mapToGlobal(QPointF(at(460, 72))), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(window, &move);
  QTest::mouseClick(window, Qt::LeftButton, {}, at(460, 72));
  EXPECT_EQ(window->GetModel().ParamCode(0), 2);
  ASSERT_TRUE(window->CheckProvocationOK());

  // Baseline, then 0.10, 0.20 and 0.40 ml typed: FEV1 3.00, 2.70, 2.50, 2.35 L.
  ActivateProvocation();
  ASSERT_TRUE(Route(CM_PROVOCATION_STEP));
  MeasureFev1(3.00f);
  for (const auto& [dose, fev1] : {std::pair{"0.10", 2.70f}, {"0.20", 2.50f}, {"0.40", 2.35f}}) {
    ActivateProvocation();
    ASSERT_TRUE(Enabled(CM_PROVOCATION_STEP)) << dose;
    Sink.Answer = IDYES;  // go on with the next dose
    AnswerDialog([dose = QString(dose)](QWidget& dialog) { Type(Find<QLineEdit>(dialog, 5940), dose); });
    ASSERT_TRUE(Route(CM_PROVOCATION_STEP));
    Sink.Take(App->GetMessages().LoadStringA(358));
    MeasureFev1(fev1);
  }
  ASSERT_EQ(window->ListBox()->count(), 4);
  // Changes by hand: 2.70 / 3.00 -> -10 %, 2.50 / 3.00 -> -16.7 %, 2.35 / 3.00 -> -21.7 %.
  EXPECT_EQ(window->ListBox()->item(1)->text().toStdString(), " 2.5  0.10  2.70  -10  0.00    0  0.00    0");
  EXPECT_EQ(window->ListBox()->item(2)->text().toStdString(), " 2.5  0.30  2.50  -17  0.00    0  0.00    0");
  EXPECT_EQ(window->ListBox()->item(3)->text().toStdString(), " 2.5  0.70  2.35  -22  0.00    0  0.00    0");
  EXPECT_TRUE(window->GetModel().LimitHit(0));
  ActivateProvocation();
  SavePicture(*window, "provocation-in-program.png");

  // The sheet into the workbook.
  window->RunDdeDialog = [](TTDdeDialogStruct&) { return true; };
  window->WorkbookFolder = Folder.Path().string();
  ASSERT_TRUE(Route(CM_DDE));
  const auto book = TCsvWorkbook::Parse(TTemporaryFolder::Read(Folder / "Halvetra.csv"));
  ASSERT_TRUE(book.has_value());
  EXPECT_EQ(book->Get(10, 4), " -22");
  std::filesystem::create_directories(std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts");
  std::filesystem::copy_file(Folder / "Halvetra.csv",
                             std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts" / "provocation-program.csv",
                             std::filesystem::copy_options::overwrite_existing);

  // The stages filed so far print from the provocation's frame.
  ActivateProvocation();
  ASSERT_TRUE(Enabled(CM_FILEPRINT));
  const std::filesystem::path pdf =
      std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts" / "provocation-stages.pdf";
  std::filesystem::remove(pdf);
  Client().PrintPrompt = false;
  TOwnPrinter& printer = Client().GetPrinter();
  printer.ShowAbortDialog = false;
  printer.Printer().setOutputFileName(QString::fromStdString(pdf.string()));
  QTimer::singleShot(0, [] {
    QWidget* options = QApplication::activeModalWidget();
    ASSERT_NE(options, nullptr);
    options->findChild<QPushButton*>("1")->click();
  });
  Route(CM_FILEPRINT);
  ASSERT_TRUE(std::filesystem::exists(pdf));
  const std::string text = PdfText(pdf);
  for (const char* expected : {"Histamine", "2.50 mg/ml", "FEV*1,0"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;

  // The end of the doses, then closing stores the stages.
  ASSERT_TRUE(Route(CM_PROVOCATION_MEASURE));
  EXPECT_TRUE(Shown(543));
  Sink.Answer = IDYES;
  Client().GetProvocationFrame()->close();
  QApplication::processEvents();
  EXPECT_TRUE(Shown(288));  // store the stages?
  for (const std::string& text : Sink.Texts())
    ADD_FAILURE() << "shown: " << text;
  const std::vector<MeetRecordType> rows = MeetRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].Flags & 0x038, 0x008);
  EXPECT_EQ(FieldText(rows[0].Time), "09:10:00");
  EXPECT_EQ(rows[1].Flags & 0x038, 0x010);
  EXPECT_EQ(FieldText(rows[1].Agent), "Histamine");
  EXPECT_FLOAT_EQ(rows[1].Concentration, 2.5f);
  EXPECT_FLOAT_EQ(rows[1].Dose, 0.70f);
}

}  // namespace
