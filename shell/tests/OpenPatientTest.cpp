// The program opens the patient data sheet in a frame of its main window.

#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "patients/Patient.h"
#include "patients/SheetFrame.h"
#include "platform/framework/Profile.h"
#include "platform/framework/ui/CommandActions.h"
#include "records/window/OwnPrinter.h"
#include "records/window/PatientList.h"
#include "records/window/PatientListPrint.h"
#include "shell/app/MainFrame.h"
#include "shell/app/MdiChild.h"
#include "shell/app/MdiClient.h"
#include "testing/Pictures.h"

#include <QAction>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QScreen>
#include <QTimer>
#include <QToolBar>

#include <sqlite3.h>

#include <functional>

namespace fs = std::filesystem;

namespace {

class OpenPatient : public TAppFixture {
protected:
  // The button of the main bar, as the user presses it.
  void PressOpenPatient() {
    QAction* button = App->GetMainBar()->actions()[0];
    ASSERT_EQ(TCommandActions::CommandOf(button), CM_OPEN_PATIENT);
    App->GetActions()->UpdateAll();
    ASSERT_TRUE(button->isEnabled());
    button->trigger();
  }
};

TEST_F(OpenPatient, TheSheetOpensInItsFrameOnceAndClosingItClearsTheWorkFiles) {
  Folder.Write("Halvetra.ini", "[StartUp]\nPageType=1\nDefaultHeight=165\n");
  Start();
  CreateDatabase();
  AddPatient("Anna Kovacs", "A-1");
  EXPECT_FALSE(Enabled(CM_PATIENT_SEARCH));  // no sheet, no search
  PressOpenPatient();

  TPatient* sheet = Client().GetPatient();
  ASSERT_NE(sheet, nullptr);
  THalvetraMDIChild* frame = Client().GetPatientFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->Component(), sheet);
  EXPECT_FALSE(sheet->isWindow());
  EXPECT_EQ(sheet->GetLayout(), TPageLayout::Medium);
  EXPECT_EQ(sheet->GetText(PatientControl::Name), "Anna Kovacs");
  EXPECT_EQ(frame->windowTitle().toStdString(), App->GetMessages().LoadStringA(232) + " (Data)");
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  const TSheetScale scale = SheetScale(screen.width(), screen.height());
  EXPECT_EQ(frame->geometry(), QRect(0, 0, static_cast<int>(748 * scale.X), static_cast<int>(322 * scale.Y)));
  EXPECT_EQ(Client().subWindowList().size(), 1);
  EXPECT_TRUE(sheet->IsMeasureDatabaseOpen());
  EXPECT_TRUE(Sink.Messages.empty());
  SavePicture(*App->GetFrame(), "main-window-patient-sheet.png");

  // The sheet is the first target of the commands while its frame is active.
  QApplication::processEvents();
  EXPECT_TRUE(Client().View().SheetOpen);
  EXPECT_TRUE(Enabled(CM_PATIENT_SEARCH));
  bool searched = false;
  QTimer::singleShot(0, [&searched] {
    QWidget* search = QApplication::activeModalWidget();
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(search->objectName(), "20119");
    searched = true;
    search->close();
  });
  EXPECT_TRUE(App->GetActions()->Chain().Route(CM_PATIENT_SEARCH));
  EXPECT_TRUE(searched);
  EXPECT_EQ(sheet->GetText(PatientControl::Name), "Anna Kovacs");
  EXPECT_TRUE(App->GetActions()->Chain().Route(CM_PATIENT_NEW));
  EXPECT_TRUE(sheet->IsNewRecord());
  EXPECT_EQ(sheet->GetText(PatientControl::Height), "165 cm");
  EXPECT_FALSE(Enabled(CM_OPEN_PATIENT));  // not while a new patient is entered
  sheet->DispatchCommand(CM_PATIENT_CANCEL);
  Sink.Messages.clear();

  // A second open only brings the sheet to the top.
  EXPECT_TRUE(App->GetActions()->Chain().Route(CM_OPEN_PATIENT));
  EXPECT_EQ(Client().GetPatient(), sheet);
  EXPECT_EQ(Client().subWindowList().size(), 1);
  EXPECT_EQ(Client().activeSubWindow(), frame);

  // Closing the sheet takes the work files of the patient's tests.
  const std::string workFile = App->GetWorkFiles().WorkFile(0);
  Folder.Write(workFile, "results");
  frame->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Client().GetPatientFrame(), nullptr);
  EXPECT_EQ(Client().GetPatient(), nullptr);
  EXPECT_TRUE(Client().subWindowList().isEmpty());
  EXPECT_FALSE(fs::exists(Folder / workFile));
  EXPECT_TRUE(Enabled(CM_OPEN_PATIENT));
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(OpenPatient, ATestTableOfAnotherLayoutKeepsTheSheetClosed) {
  Start();
  const fs::path vc = Folder / "Database/Data/vc.db";
  const struct {
    const char* Case;
    std::function<void()> Spoil;
  } cases[] = {
      // (A table with fewer fields is an older layout: the open upgrades it.)
      {"a field of the slow vital capacities has another name",
       [&] {
         sqlite3* db = nullptr;
         ASSERT_EQ(sqlite3_open(vc.c_str(), &db), SQLITE_OK);
         EXPECT_EQ(sqlite3_exec(db, "ALTER TABLE vc RENAME COLUMN rsd_5 TO rsd_9", nullptr, nullptr, nullptr),
                   SQLITE_OK);
         sqlite3_close(db);
       }},
      {"another kind of test table stands in its place",
       [&] { fs::copy_file(Folder / "Database/Data/mvv.db", vc, fs::copy_options::overwrite_existing); }},
  };
  for (const auto& spoilt : cases) {
    SCOPED_TRACE(spoilt.Case);
    fs::remove_all(Folder / "Database");
    CreateDatabase();
    spoilt.Spoil();
    const std::string before = TTemporaryFolder::Read(vc);
    Sink.Messages.clear();
    PressOpenPatient();
    EXPECT_EQ(Client().GetPatientFrame(), nullptr);
    EXPECT_TRUE(Client().subWindowList().isEmpty());
    ASSERT_EQ(Sink.Messages.size(), 1u);
    EXPECT_NE(Sink.Messages[0].Text.find(App->GetMessages().Format(8007, {"vc.db"})), std::string::npos)
        << Sink.Messages[0].Text;
    EXPECT_EQ(TTemporaryFolder::Read(vc), before);
  }
  Sink.Messages.clear();
}

// The default settings keep the database folder as ".\\Database\\Data": an
// older VC table there is upgraded on open, and the sheet opens on it.
TEST_F(OpenPatient, AnOlderVcTableInTheDefaultFolderIsUpgradedAndTheSheetOpens) {
  Start();
  CreateDatabase();
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((Folder / "Database/Data/vc.db").c_str(), &db), SQLITE_OK);
  std::string older = "DROP TABLE vc; CREATE TABLE vc (meet_key INTEGER PRIMARY KEY";
  for (const char* array : {"actual", "reference", "rsd"})
    for (int i = 1; i <= 4; ++i)
      older += std::string(", ") + array + "_" + std::to_string(i) + " REAL NOT NULL";
  older += ", curve BLOB); UPDATE about SET value = '0' WHERE name = 'layout';";
  EXPECT_EQ(sqlite3_exec(db, older.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);

  PressOpenPatient();
  EXPECT_NE(Client().GetPatientFrame(), nullptr);
  EXPECT_TRUE(Sink.Messages.empty()) << Sink.Messages[0].Text;
}

TEST_F(OpenPatient, ThePatientListPrintsOnThePrinterEveryPrintoutUses) {
  Start();
  CreateDatabase();
  AddPatient("Anna Kovacs", "A-1");
  PressOpenPatient();
  ASSERT_NE(Client().GetPatient(), nullptr);
  // As Printer Setup leaves the program's printer.
  Client().GetPrinter().Printer().setPageOrientation(QPageLayout::Landscape);

  bool asked = false;
  QPageLayout::Orientation listPrints = QPageLayout::Portrait;
  QTimer::singleShot(0, [&asked, &listPrints] {
    auto* list = dynamic_cast<TPatientList*>(QApplication::activeModalWidget());
    if (list == nullptr)
      return;
    QTimer::singleShot(0, [&asked, &listPrints] {
      if (auto* print = dynamic_cast<TPatientListPrint*>(QApplication::activeModalWidget())) {
        asked = true;
        listPrints = print->GetPrinter().Printer().pageLayout().orientation();
        print->reject();
      }
    });
    list->findChild<QPushButton*>(QString::number(TPatientList::PrintId))->click();
    list->reject();
  });
  EXPECT_TRUE(Route(CM_PATIENT_LIST));
  EXPECT_TRUE(asked);
  EXPECT_EQ(listPrints, QPageLayout::Landscape);
}

TEST_F(OpenPatient, ASheetWhosePatientTableIsGoneGetsNoFrame) {
  Start();
  CreateDatabase();
  fs::remove(Folder / "Database/Data/names.db");
  EXPECT_FALSE(Enabled(CM_OPEN_PATIENT));  // the database is not whole
  Client().CmOpenPatient();
  EXPECT_EQ(Client().GetPatientFrame(), nullptr);
  EXPECT_TRUE(Client().subWindowList().isEmpty());
  // The engine's box names the table and the file.
  EXPECT_TRUE(Sink.Take("        ERROR - " + App->GetMessages().Format(8004, {"names.db"}) +
                        "  Cat:Code [21h:4h]\r\n                " + (Folder / "Database/Data/names.db").string()));
  EXPECT_FALSE(fs::exists(Folder / "Database/Data/names.db"));
}

TEST_F(OpenPatient, TheMainWindowFillsTheScreenAndTheSheetFitsItsClientArea) {
  Start();
  const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(available.contains(App->GetFrame()->geometry()));
  EXPECT_GE(App->GetFrame()->width(), available.width() * 9 / 10);
  EXPECT_GE(App->GetFrame()->height(), available.height() * 9 / 10);

  // On screens of the lab's sizes the sheet opens whole inside the client area.
  CreateDatabase();
  for (const QSize screen : {QSize(1280, 800), QSize(1920, 1080)}) {
    SCOPED_TRACE(screen.width());
    App->GetFrame()->showNormal();
    App->GetFrame()->setGeometry(QRect(QPoint(0, 0), screen));
    QApplication::processEvents();
    ASSERT_TRUE(Route(CM_OPEN_PATIENT));
    THalvetraMDIChild* frame = Client().GetPatientFrame();
    ASSERT_NE(frame, nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(Client().viewport()->rect().contains(frame->geometry())) << frame->geometry().width();
    const auto* scroller = frame->findChild<QScrollArea*>("ComponentScroller");
    ASSERT_NE(scroller, nullptr);
    EXPECT_FALSE(scroller->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(scroller->verticalScrollBar()->isVisible());
    SavePicture(*App->GetFrame(), "main-window-sheet-" + std::to_string(screen.width()) + "x" +
                                      std::to_string(screen.height()) + ".png");
    frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // A client area smaller than the sheet: the frame keeps inside it and the sheet scrolls.
  App->GetFrame()->setGeometry(0, 0, 500, 300);
  QApplication::processEvents();
  ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  THalvetraMDIChild* frame = Client().GetPatientFrame();
  ASSERT_NE(frame, nullptr);
  QApplication::processEvents();
  EXPECT_LE(frame->width(), Client().viewport()->width());
  EXPECT_LE(frame->height(), Client().viewport()->height());
  EXPECT_TRUE(frame->findChild<QScrollArea*>("ComponentScroller")->horizontalScrollBar()->isVisible());
}

TEST_F(OpenPatient, TheMainWindowOpensWhereTheUserLeftIt) {
  Start();
  App->GetFrame()->showNormal();
  App->GetFrame()->setGeometry(40, 30, 700, 500);
  QApplication::processEvents();
  EXPECT_TRUE(App->GetFrame()->close());
  EXPECT_EQ(TProfile("Window", ".\\Halvetra.ini").GetString("Main"), "40 30 700 500");
  App.reset();
  Start();
  EXPECT_EQ(App->GetFrame()->geometry(), QRect(40, 30, 700, 500));
  App.reset();

  // A place off this screen is not taken: the window fills the screen.
  TProfile("Window", ".\\Halvetra.ini").WriteString("Main", "5000 30 700 500");
  Start();
  EXPECT_GE(App->GetFrame()->width(), QGuiApplication::primaryScreen()->availableGeometry().width() * 9 / 10);
}

TEST_F(OpenPatient, AMissingDatabaseIsNamedOnTheStatusLine) {
  Folder.Write("Halvetra.ini", "[Databases]\nLanguageDriver=latin_ci\n");
  Start();
  CreateDatabase();
  fs::rename(Folder / "Database/Data/names.db", Folder / "names.db.away");
  EXPECT_FALSE(Enabled(CM_OPEN_PATIENT));
  EXPECT_EQ(Client().GetStatusLine(), App->GetMessages().Format(9009, {"./Database/Data/names.db"}));
  EXPECT_EQ(App->GetFrame()->statusBar()->currentMessage().toStdString(), Client().GetStatusLine());
  fs::rename(Folder / "names.db.away", Folder / "Database/Data/names.db");
  EXPECT_TRUE(Enabled(CM_OPEN_PATIENT));
  EXPECT_EQ(App->GetFrame()->statusBar()->currentMessage().toStdString(), "");
}

}  // namespace
