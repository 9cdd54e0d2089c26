// The merge command of the main menu on real databases: the folder is
// asked for, the progress window stands while the patients are merged and
// goes at the end, and the sheet shows the merged patients.

#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "patients/Patient.h"
#include "patients/WaitingDialog.h"

#include <QFileDialog>
#include <QProgressBar>
#include <QTimer>

namespace {

class MergeCommand : public TAppFixture {};

TEST_F(MergeCommand, ProgressWindowStandsWhileTheChosenDatabaseIsMerged) {
  Start();
  CreateDatabase();
  AddPatient("Anna Kovacs", "A-1");
  ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  TPatient* sheet = Client().GetPatient();
  ASSERT_NE(sheet, nullptr);

  const std::filesystem::path other = Folder / "Other";
  std::filesystem::create_directories(other);
  CreateTestDatabase(other, other, &App->GetMessages());
  {
    auto names = OpenTestTable(other, "names.db", &App->GetMessages());
    for (int i = 0; i < 40; ++i) {
      PatientRecordType patient;
      SetFieldText(patient.Name, "Patient " + std::to_string(i));
      SetFieldText(patient.Id, "P-" + std::to_string(i));
      ASSERT_EQ(names->AddPatientRecord(patient, 1), 0);
    }
  }

  // What the progress window shows each time the merge lets events run.
  std::vector<int> gauge;
  bool chosen = false;
  QTimer sampler;
  sampler.setInterval(0);
  QObject::connect(&sampler, &QTimer::timeout, [&] {
    if (auto* dialog = dynamic_cast<QFileDialog*>(QApplication::activeModalWidget()); dialog && !chosen) {
      chosen = true;
      dialog->setDirectory(QString::fromStdString(other.string()));
      static_cast<QDialog*>(dialog)->accept();
      return;
    }
    if (auto* waiting = sheet->findChild<TWaitingDialog*>(); waiting && waiting->isVisible())
      if (gauge.empty() || gauge.back() != waiting->GetGaugeValue())
        gauge.push_back(waiting->GetGaugeValue());
  });
  sampler.start();
  ASSERT_TRUE(Route(CM_MERGE_DATABASES));
  sampler.stop();

  ASSERT_TRUE(chosen);
  ASSERT_GE(gauge.size(), 3u);  // it moved while the patients went over
  EXPECT_TRUE(std::is_sorted(gauge.begin(), gauge.end()));
  EXPECT_EQ(gauge.back(), 100);
  EXPECT_EQ(sheet->findChild<TWaitingDialog*>(), nullptr);  // gone at the end
  long rows = 0;
  auto names = Names();
  ASSERT_EQ(names->GoTop(), 0);
  do
    ++rows;
  while (names->GetNextRec() == 0);
  EXPECT_EQ(rows, 41);
  EXPECT_TRUE(Sink.Messages.empty());
}

}  // namespace
