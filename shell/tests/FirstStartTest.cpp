// A lab that starts from nothing: the working folder that halvetra-prepare
// leaves lets a patient be entered and saved at once.

#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "patients/Patient.h"
#include "patients/PatientControls.h"
#include "patients/tests/StoredDoctors.h"
#include "platform/framework/ui/CommandActions.h"
#include "shell/MdiClient.h"
#include "shell/WorkFolderSetup.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

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
  bool Route(unsigned id) { return App->GetActions()->Chain().Route(id); }
  bool Enabled(unsigned id) {
    TCommandEnabler enabler(id);
    App->GetActions()->Chain().Enable(enabler);
    return enabler.GetEnabled();
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

}  // namespace
