// A lab that starts from nothing: the working folder that halvetra-prepare
// leaves lets a patient be entered and saved at once.

#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "patients/DoctorDialog.h"
#include "patients/DoctorInput.h"
#include "patients/Patient.h"
#include "patients/PatientControls.h"
#include "patients/PatientSearch.h"
#include "patients/tests/DialogTesting.h"
#include "patients/tests/StoredRows.h"
#include "platform/framework/ui/CommandActions.h"
#include "shell/app/MdiClient.h"
#include "shell/settings/WorkFolderSetup.h"
#include "testing/TestDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {

using namespace PatientControl;

class FirstStart : public TAppFixture {
protected:
  QWidget* Control(TPatient& sheet, int id) {
    QWidget* control = sheet.findChild<QWidget*>(QString::number(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
  }
  // Types the text into an edit as one key and leaves it, as a user does.
  void TypeAndLeave(TPatient& sheet, int id, const std::string& text) {
    auto* edit = qobject_cast<QLineEdit*>(Control(sheet, id));
    ASSERT_NE(edit, nullptr) << id;
    edit->selectAll();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromStdString(text));
    QApplication::sendEvent(edit, &key);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
  }
};

TEST_F(FirstStart, APatientIsSavedInThePreparedWorkingFolder) {
  TRecordingSink prepareSink;
  TMessage texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang");
  texts.SetSink(&prepareSink);
  const auto report = WorkFolderSetup::Prepare(TCommandLine::Parse("-d"), texts);
  ASSERT_TRUE(report.Failures.empty()) << report.Failures.front();

  Start();
  ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  TPatient* sheet = App->GetClient()->GetPatient();
  ASSERT_NE(sheet, nullptr);
  TypeAndLeave(*sheet, Name, "Kiss Anna");
  TypeAndLeave(*sheet, Identifier, "A-1");
  TypeAndLeave(*sheet, Date, "1980.05.20.");
  TypeAndLeave(*sheet, Height, "165 cm");
  TypeAndLeave(*sheet, Weight, "58 kg");
  auto* doctors = qobject_cast<QComboBox*>(Control(*sheet, TreatingDoctor));
  ASSERT_NE(doctors, nullptr);
  const std::string_view name = WorkFolderSetup::ExampleDoctorName;
  const int example = doctors->findText(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  ASSERT_GE(example, 0);
  doctors->setCurrentIndex(example);
  emit doctors->activated(example);
  ASSERT_TRUE(Enabled(CM_PATIENT_SAVE));
  ASSERT_TRUE(Route(CM_PATIENT_SAVE));

  const auto engine = OpenTestTable(".\\Database\\Data", "names.db", &texts);
  ASSERT_EQ(engine->GoTop(1), 0);
  PatientRecordType patient;
  ASSERT_EQ(engine->GetData(patient), 0);
  EXPECT_EQ(FieldText(patient.Name), "Kiss Anna");
  EXPECT_EQ(FieldText(patient.Id), "A-1");
  const auto stored = StoredDoctors(".\\Database", texts);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(patient.Doctor, stored[0].Key);
  EXPECT_TRUE(Sink.Messages.empty()) << Sink.Messages.front().Text;
  EXPECT_TRUE(prepareSink.Messages.empty());
}

template <typename TWidget>
TWidget* Find(const QWidget& dialog, int id) {
  auto* control = dialog.findChild<TWidget*>(QString::number(id));
  EXPECT_NE(control, nullptr) << id;
  return control;
}

QStringList Entries(const QComboBox& list) {
  QStringList entries;
  for (int i = 0; i < list.count(); ++i)
    entries << list.itemText(i);
  return entries;
}

TEST_F(FirstStart, ADoctorEnteredInTheDialogServesAPatientWhoIsFoundAgainInOtherLetters) {
  Folder.Write("Halvetra.ini", "[Databases]\nLanguageDriver=latin_ci\n");
  Start();
  CreateDatabase();

  // The lab enters its doctor.
  WhenModal([](QWidget& doctors) {
    WhenModal([](QWidget& input) {
      Find<QLineEdit>(input, TDoctorInput::NameId)->setText("Dr. Nagy Éva");
      Find<QLineEdit>(input, TDoctorInput::CodeId)->setText("NE");
      Find<QCheckBox>(input, TDoctorInput::TreatingId)->setChecked(true);
      Find<QPushButton>(input, 1)->click();
    });
    Find<QPushButton>(doctors, TDoctor::NewId)->click();
    Find<QPushButton>(doctors, 1)->click();
  });
  ASSERT_TRUE(Route(CM_DOCTORS));

  // The sheet lists her as a treating doctor (not as a home doctor).
  ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  TPatient* sheet = App->GetClient()->GetPatient();
  ASSERT_NE(sheet, nullptr);
  auto* treating = qobject_cast<QComboBox*>(Control(*sheet, TreatingDoctor));
  ASSERT_NE(treating, nullptr);
  EXPECT_TRUE(Entries(*treating).contains("Dr. Nagy Éva"));
  auto* home = qobject_cast<QComboBox*>(Control(*sheet, HomeDoctor));
  ASSERT_NE(home, nullptr);
  EXPECT_FALSE(Entries(*home).contains("Dr. Nagy Éva"));

  // Two patients saved with her.
  TypeAndLeave(*sheet, Name, "Kovács Ödön");
  TypeAndLeave(*sheet, Identifier, "K-1");
  TypeAndLeave(*sheet, Date, "1950.03.07.");
  TypeAndLeave(*sheet, Height, "172 cm");
  TypeAndLeave(*sheet, Weight, "81 kg");
  const int doctor = treating->findText("Dr. Nagy Éva");
  treating->setCurrentIndex(doctor);
  emit treating->activated(doctor);
  ASSERT_TRUE(Enabled(CM_PATIENT_SAVE));
  ASSERT_TRUE(Route(CM_PATIENT_SAVE));
  ASSERT_TRUE(Route(CM_PATIENT_NEW));
  EXPECT_EQ(treating->currentText(), "Dr. Nagy Éva");  // the only doctor, chosen already
  TypeAndLeave(*sheet, Name, "Szabó Anna");
  TypeAndLeave(*sheet, Identifier, "S-2");
  TypeAndLeave(*sheet, Date, "1961.11.30.");
  TypeAndLeave(*sheet, Height, "160 cm");
  TypeAndLeave(*sheet, Weight, "55 kg");
  ASSERT_TRUE(Route(CM_PATIENT_SAVE));
  ASSERT_EQ(sheet->GetText(Name), "Szabó Anna");

  // A beginning of the name in capitals finds him; the sheet shows him with his doctor.
  WhenModal([](QWidget& search) {
    Find<QLineEdit>(search, TPatientSearch::NameId)->setText("KOVÁCS Ö");
    Find<QPushButton>(search, TPatientSearch::SearchId)->click();
  });
  ASSERT_TRUE(Enabled(CM_PATIENT_SEARCH));
  ASSERT_TRUE(Route(CM_PATIENT_SEARCH));
  EXPECT_EQ(sheet->GetText(Name), "Kovács Ödön");
  EXPECT_EQ(sheet->GetText(Identifier), "K-1");
  EXPECT_EQ(treating->currentText(), "Dr. Nagy Éva");
  const auto names = OpenTestTable(".\\Database\\Data", "names.db", &App->GetMessages());
  ASSERT_EQ(names->Search(SearchEqual, 1, std::string("Kovács Ödön"), 2, std::string("K-1")), 0);
  PatientRecordType stored;
  ASSERT_EQ(names->GetData(stored), 0);
  EXPECT_EQ(sheet->GetPatientKey(), stored.Key);
  EXPECT_EQ(stored.Doctor, StoredDoctors(".\\Database", App->GetMessages()).at(0).Key);
  EXPECT_TRUE(Sink.Messages.empty()) << Sink.Messages.front().Text;
}

}  // namespace
