#include "patients/tests/PatientDialogFixture.h"

#include "common/CommandNumbers.h"
#include "patients/tests/StoredRows.h"
#include "testing/TestDatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

namespace {

const std::filesystem::path LanguageFolder = std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang";

}  // namespace

PatientDialogTest::PatientDialogTest()
    : DatabaseFolder(Folder / "Database/Data"), DoctorFolder(Folder / "Database"), Texts("English", LanguageFolder) {
  Texts.SetSink(&Sink);
  std::filesystem::create_directories(DatabaseFolder);
}

void PatientDialogTest::TearDown() {
  Sheet.reset();
  Sink.ExpectAllTaken();
}

std::vector<std::string> PatientDialogTest::TakeMessages() {
  std::vector<std::string> texts;
  for (const TUserMessage& message : Sink.Messages)
    texts.push_back(message.Text);
  Sink.Messages.clear();
  return texts;
}

std::unique_ptr<TEngine> PatientDialogTest::Engine(std::string_view table, const std::filesystem::path& folder) {
  return OpenTestTable(folder, table, &Texts);
}

void PatientDialogTest::CreateDatabase() { CreateTestDatabase(DoctorFolder, DatabaseFolder, &Texts); }

std::int32_t PatientDialogTest::AddDoctor(const std::string& name, bool treating, bool home,
                                          const std::string& address) {
  DoctorRecordType doctor;
  SetFieldText(doctor.Name, name);
  SetFieldText(doctor.Address, address);
  doctor.Treating = treating ? 1 : 0;
  doctor.Home = home ? 1 : 0;
  EXPECT_EQ(Engine("doctor.db", DoctorFolder)->AddDoctorRecord(doctor, 1), 0);
  return doctor.Key;
}

std::int32_t PatientDialogTest::AddPatient(const std::string& name, const std::string& id,
                                           const std::string& birthDate, std::int32_t doctorKey) {
  PatientRecordType patient;
  SetFieldText(patient.Name, name);
  SetFieldText(patient.Id, id);
  SetFieldText(patient.Date[0], birthDate);
  patient.Sex = 1;
  patient.Height = 175;
  patient.Weight = 72;
  patient.Doctor = doctorKey;
  EXPECT_EQ(Engine("names.db", DatabaseFolder)->AddPatientRecord(patient, 1), 0);
  return patient.Key;
}

std::vector<PatientRecordType> PatientDialogTest::Patients() { return StoredPatients(DatabaseFolder, Texts); }

std::vector<std::string> PatientDialogTest::PatientNames() {
  std::vector<std::string> names;
  for (const PatientRecordType& row : Patients())
    names.push_back(FieldText(row.Name));
  return names;
}

TPatient& PatientDialogTest::Open(short dialogId, short defaultUnit, short defaultHeight, short defaultWeight) {
  Sheet = std::make_unique<TPatient>(1.0f, 1.0f, 0, &Texts, (Folder / "Halvetra.ini").string(), dialogId,
                                     DoctorFolder.string(), DatabaseFolder.string(), (Folder / "Private").string(),
                                     defaultUnit, defaultHeight, defaultWeight, nullptr);
  Sheet->SetupWindow();
  Sheet->show();
  return *Sheet;
}

QWidget* PatientDialogTest::Control(int id) const {
  QWidget* control = Sheet->findChild<QWidget*>(QString::number(id));
  EXPECT_NE(control, nullptr) << id;
  return control;
}

QLineEdit* PatientDialogTest::Edit(int id) const { return qobject_cast<QLineEdit*>(Control(id)); }
QComboBox* PatientDialogTest::Combo(int id) const { return qobject_cast<QComboBox*>(Control(id)); }

std::string PatientDialogTest::Shown(int id) const {
  if (QComboBox* combo = Combo(id))
    return (combo->currentIndex() < 0 ? combo->placeholderText() : combo->currentText()).toStdString();
  return Edit(id)->text().toStdString();
}

void PatientDialogTest::Type(int id, const std::string& text) {
  QLineEdit* edit = Edit(id);
  ASSERT_NE(edit, nullptr) << id;
  edit->selectAll();
  if (text.empty()) {
    QTest::keyClick(edit, Qt::Key_Delete);
    return;
  }
  // Typed as one key that gives the whole text, so that any letter can be typed.
  QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromStdString(text));
  QApplication::sendEvent(edit, &key);
}

void PatientDialogTest::Leave(int id) {
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(Control(id), &out);
}

void PatientDialogTest::TypeAndLeave(int id, const std::string& text) {
  Type(id, text);
  Leave(id);
}

void PatientDialogTest::Choose(int comboId, const std::string& entry) {
  QComboBox* combo = Combo(comboId);
  ASSERT_NE(combo, nullptr) << comboId;
  const int index = combo->findText(QString::fromStdString(entry));
  ASSERT_GE(index, 0) << entry;
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

void PatientDialogTest::Command(unsigned id) { Sheet->Dispatch(WM_COMMAND, id, 0); }

bool PatientDialogTest::Enabled(unsigned id) {
  TCommandEnabler enabler(id);
  EXPECT_TRUE(Sheet->DispatchEnable(enabler)) << id;
  return enabler.GetEnabled();
}

