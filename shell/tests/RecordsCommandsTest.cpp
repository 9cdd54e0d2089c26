// The commands of the main menu that open the dialogs of the patient
// records, on real databases in a temporary working folder.

#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "patients/DoctorDialog.h"
#include "patients/DoctorInput.h"
#include "patients/tests/DialogTesting.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/Profile.h"
#include "platform/framework/ui/CommandActions.h"
#include "shell/app/MdiClient.h"
#include "testing/TestDatabase.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>
#include <QDialog>

#include <functional>
#include <set>

namespace fs = std::filesystem;

namespace {

class RecordsCommands : public TAppFixture {
protected:
  // Runs the command; `act` gets the modal dialog it opens.
  void RunWith(unsigned id, std::function<void(QWidget&)> act) {
    bool opened = false;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr) << "command " << id;
      opened = true;
      act(*dialog);
    });
    EXPECT_TRUE(App->GetActions()->Chain().Route(id));
    EXPECT_TRUE(opened) << "command " << id;
  }
  // The doctors dialog closes only with a doctor in the table.
  static void AddExampleDoctor(TDoctor& doctors) {
    ASSERT_EQ(doctors.List().AddRecordToDatabase({"Dr. Example", "EX", "", true, true, true}, true), 0);
    doctors.List().DisplayDoctorTable("");
  }
  // A table as the engine opens it: there, and of its kind.
  bool IsTable(const fs::path& folder, const std::string& file) {
    return OpenTestTable(folder, file, &App->GetMessages())->IsTableOpen();
  }
  static std::set<std::string> Files(const fs::path& folder, const std::string& extension) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.path().extension() == extension)
        names.insert(entry.path().filename().string());
    return names;
  }
};

TEST_F(RecordsCommands, EachCommandOpensItsDialogWhoseHelpTheProgramShows) {
  Folder.Write("Halvetra.ini", "[Databases]\nLanguageDriver=latin_ci\n");
  Folder.Write("help/English/index.html", "<h1>Contents</h1>");
  struct TCase {
    unsigned command;
    const char* dialog;
  };
  const TCase cases[] = {{CM_START_UP_SETTINGS, "20114"},
                         {CM_DATABASE_LOCATION, "20142"},
                         {CM_DOCTORS, "20115"},
                         {CM_INSTITUTE, "20104"},
                         {CM_NEW_DATABASE, "20120"}};
  for (const TCase& c : cases)
    Folder.Write("help/English/" + std::to_string(c.command) + ".html",
                 "<h1>Page " + std::to_string(c.command) + "</h1>");
  Start();
  const std::string settings = TTemporaryFolder::Read(Folder / "Halvetra.ini");
  for (const TCase& c : cases) {
    RunWith(c.command, [&](QWidget& dialog) {
      EXPECT_EQ(dialog.objectName(), c.dialog);
      Click(dialog, 9);
      // The doctors dialog stays until a doctor is entered.
      if (c.command == CM_DOCTORS)
        AddExampleDoctor(static_cast<TDoctor&>(dialog));
      static_cast<QDialog&>(dialog).reject();
    });
    QTextBrowser* help = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
      if (window->objectName() == "HelpWindow")
        help = qobject_cast<QTextBrowser*>(window);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->toPlainText().contains(QString("Page %1").arg(c.command))) << c.command;
  }
  // Cancelled, they changed no setting.
  EXPECT_EQ(TTemporaryFolder::Read(Folder / "Halvetra.ini"), settings);
  EXPECT_TRUE(Sink.Messages.empty()) << Sink.Messages.front().Text;
}

// Help asked from a modal dialog opened behind the main window and took
// no input while the dialog was up: it stands above the dialog as a window
// of its own, and stays up when the dialog goes.
TEST_F(RecordsCommands, HelpFromADialogStandsAboveIt) {
  Folder.Write("help/English/index.html", "<h1>Contents</h1>");
  Folder.Write("help/English/" + std::to_string(CM_INSTITUTE) + ".html", "<h1>Institute</h1>");
  Start();
  const auto findHelp = [] {
    for (QWidget* window : QApplication::topLevelWidgets())
      if (window->objectName() == "HelpWindow")
        return qobject_cast<QTextBrowser*>(window);
    return static_cast<QTextBrowser*>(nullptr);
  };
  RunWith(CM_INSTITUTE, [&](QWidget& dialog) {
    Click(dialog, 9);
    QTextBrowser* help = findHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->isWindow());
    EXPECT_EQ(help->parentWidget(), &dialog);
    ASSERT_NE(help->windowHandle(), nullptr);
    EXPECT_EQ(help->windowHandle()->transientParent(), dialog.windowHandle()) << "stacked above the dialog";
    static_cast<QDialog&>(dialog).reject();
  });
  QApplication::processEvents();
  QTextBrowser* help = findHelp();
  ASSERT_NE(help, nullptr) << "the help outlives the dialog";
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->parentWidget(), nullptr);
  EXPECT_TRUE(help->toPlainText().contains("Institute"));
}

TEST_F(RecordsCommands, ANewDatabaseMadeThroughTheDialogHoldsEveryTable) {
  Folder.Write("Halvetra.ini", "[Databases]\nLanguageDriver=latin_ci\n");
  Start();
  EXPECT_FALSE(Enabled(CM_NEW_DATABASE));  // the doctors come first
  RunWith(CM_DOCTORS, [](QWidget& dialog) {
    AddExampleDoctor(static_cast<TDoctor&>(dialog));
    static_cast<QDialog&>(dialog).reject();
  });
  ASSERT_TRUE(fs::exists(Folder / "Database/doctor.db"));
  ASSERT_TRUE(Enabled(CM_NEW_DATABASE));
  EXPECT_FALSE(Enabled(CM_OPEN_PATIENT));

  Sink.Answer = IDYES;  // make the folder
  RunWith(CM_NEW_DATABASE, [](QWidget& dialog) {
    Control<QComboBox>(dialog, 5710)->setEditText("Lab2");
    Click(dialog, 1);
  });
  ASSERT_EQ(Sink.Messages.size(), 1u);  // the question
  EXPECT_EQ(Sink.Messages[0].Text, App->GetMessages().Format(285, {".\\Database\\Lab2"}));

  // The ten tables of the database folder and the doctors of the common folder.
  const fs::path lab = Folder / "Database/Lab2";
  EXPECT_EQ(Files(lab, ".db"), (std::set<std::string>{"audio.db", "dfc.db", "fvc.db", "meet.db", "mvv.db", "names.db",
                                                      "pl.db", "rhino.db", "sh.db", "vc.db"}));
  for (const std::string& table : Files(lab, ".db"))
    EXPECT_TRUE(IsTable(lab, table));
  EXPECT_EQ(Files(Folder / "Database", ".db"), std::set<std::string>{"doctor.db"});
  EXPECT_EQ(TProfile("Path", ".\\Halvetra.ini").GetString("Database", ""), ".\\Database\\Lab2");
  EXPECT_EQ(App->GetSettings().DatabaseDir, ".\\Database\\Lab2");
  EXPECT_TRUE(Enabled(CM_OPEN_PATIENT));

  // Chosen again, the database keeps its tables as they are.
  const auto modified = fs::last_write_time(lab / "names.db");
  Sink.Messages.clear();
  RunWith(CM_NEW_DATABASE, [](QWidget& dialog) {
    EXPECT_EQ(Control<QComboBox>(dialog, 5710)->currentText(), "Lab2");
    Click(dialog, 1);
  });
  for (const TUserMessage& message : Sink.Messages)
    EXPECT_NE(message.Text, App->GetMessages().Format(285, {".\\Database\\Lab2"}));  // no question: it exists
  EXPECT_EQ(fs::last_write_time(lab / "names.db"), modified);
}

TEST_F(RecordsCommands, TheInstituteIsKeptInTheSettings) {
  Start();
  EXPECT_EQ(App->GetClient()->GetInstitute(), (TTInstituteStruct{"Name of the Institute", "Address of the Institute"}));
  RunWith(CM_INSTITUTE, [](QWidget& dialog) {
    Control<QLineEdit>(dialog, 5204)->setText("Tüdőgondozó");
    Control<QLineEdit>(dialog, 5203)->setText("Pécs, Rét u. 2.");
    Click(dialog, 1);
  });
  EXPECT_EQ(TTemporaryFolder::Read(Folder / "Halvetra.ini"),
            "[Institute]\nName=Tüdőgondozó\nAddress=Pécs, Rét u. 2.\n");

  // Cancel reads the settings again.
  TProfile("Institute", ".\\Halvetra.ini").WriteString("Name", "Changed elsewhere");
  RunWith(CM_INSTITUTE, [](QWidget& dialog) {
    Control<QLineEdit>(dialog, 5204)->setText("Typed");
    Click(dialog, 2);
  });
  EXPECT_EQ(App->GetClient()->GetInstitute().Name, "Changed elsewhere");
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(RecordsCommands, TheFirstStartUpSettingsStoreTheDriversName) {
  Start();
  EXPECT_FALSE(Enabled(CM_DOCTORS));
  RunWith(CM_START_UP_SETTINGS, [](QWidget& dialog) {
    Control<QComboBox>(dialog, 5466)->setCurrentIndex(0);
    Click(dialog, 1);
  });
  EXPECT_EQ(TProfile("Databases", ".\\Halvetra.ini").GetString("LanguageDriver", ""), "latin_ci");
  EXPECT_EQ(App->GetSettings().LanguageDriver, "latin_ci");
  EXPECT_TRUE(Enabled(CM_DOCTORS));
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(RecordsCommands, ADoctorEnteredThroughTheCommandIsInTheCommonFolder) {
  Folder.Write("Halvetra.ini", "[Databases]\nLanguageDriver=latin_ci\n");
  Start();
  RunWith(CM_DOCTORS, [](QWidget& dialog) {
    QTimer::singleShot(0, [] {
      QWidget* input = QApplication::activeModalWidget();
      ASSERT_NE(input, nullptr);
      Control<QLineEdit>(*input, TDoctorInput::NameId)->setText("Dr. Nagy Éva");
      Control<QLineEdit>(*input, TDoctorInput::CodeId)->setText("NE");
      Control<QCheckBox>(*input, TDoctorInput::TreatingId)->setChecked(true);
      Click(*input, 1);
    });
    Click(dialog, TDoctor::NewId);
    Click(dialog, 1);
  });
  const auto engine = OpenTestTable(".\\Database", "doctor.db", &App->GetMessages());
  ASSERT_EQ(engine->Search(SearchEqual, 2, std::string("dr. nagy éva")), 0);
  DoctorRecordType doctor;
  ASSERT_EQ(engine->GetData(doctor), 0);
  EXPECT_EQ(FieldText(doctor.Code), "NE");
  EXPECT_EQ(doctor.Treating, 1);
}

}  // namespace
