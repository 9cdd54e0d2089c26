// The shown patient handed to the ECG program: a stand-in program in a
// folder whose name has a blank records how it was called, what its
// exchange file held, and waits until the test has seen the main window
// wait for it.

#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "patients/Patient.h"
#include "patients/tests/StoredRows.h"
#include "shell/app/MainFrame.h"
#include "shell/app/MdiClient.h"

#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view StandInProgram = R"sh(#!/bin/sh
# Records its arguments, its working folder and the exchange file, then
# waits for the test to let it end.
{
  echo "count=$#"
  echo "argument=$1"
  echo "folder=$(pwd -P)"
  cat "${1#/Q}"
} > record.txt
read go < go.fifo
)sh";

class EcgHandOver : public TAppFixture {
protected:
  fs::path EcgFolder() const { return Folder / "ECG program"; }

  TPatient* StartWithPatient(bool installProgram) {
    fs::create_directories(EcgFolder());
    if (installProgram) {
      const fs::path program = Folder.Write("ECG program/korvan.exe", StandInProgram);
      fs::permissions(program, fs::perms::owner_all);
      EXPECT_EQ(mkfifo((EcgFolder() / "go.fifo").c_str(), 0600), 0);
    }
    Folder.Write("Halvetra.ini", "[Korvane]\nPath=" + EcgFolder().string() + "\n");
    Start();
    CreateDatabase();
    AddPatient("Anna Kovacs", "A-1");
    Route(CM_OPEN_PATIENT);
    QApplication::processEvents();
    return Client().GetPatient();
  }

  // Runs the hand-over; while the program runs, the main window is seen
  // minimized and disabled, then the program is let go.
  void HandOver() {
    QWidget* main = App->GetFrame();
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (!main->isMinimized() || main->isEnabled())
        return;
      const int fifo = ::open((EcgFolder() / "go.fifo").c_str(), O_WRONLY | O_NONBLOCK);
      if (fifo < 0)
        return;  // the program is not waiting yet
      SawWaiting = true;
      EXPECT_EQ(::write(fifo, "go\n", 3), 3);
      ::close(fifo);
      watch.stop();
    });
    watch.start();
    SendMessage(&Client(), WM_COMMAND, CM_ECG, 0);
    EXPECT_TRUE(main->isEnabled());
    EXPECT_FALSE(main->isMinimized());
  }

  std::vector<std::string> Recorded() const {
    std::vector<std::string> lines;
    std::istringstream in(TTemporaryFolder::Read(EcgFolder() / "record.txt"));
    for (std::string line; std::getline(in, line);)
      lines.push_back(line);
    return lines;
  }
  std::vector<fs::path> ExchangeFiles() const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(EcgFolder()))
      if (entry.path().extension() == ".~KV")
        files.push_back(entry.path());
    return files;
  }
  std::string StoredIdentifier() {
    const auto rows = StoredRows<PatientRecordType>(Folder / "Database/Data", "names.db", App->GetMessages());
    return rows.size() == 1 ? FieldText(rows[0].EcgId) : "?";
  }

  bool SawWaiting = false;
};

TEST_F(EcgHandOver, TheProgramGetsTheExchangeFileInItsFolderAndTheIdentifierIsStoredOnce) {
  TPatient* sheet = StartWithPatient(true);
  ASSERT_NE(sheet, nullptr);
  ASSERT_EQ(sheet->GetPatientKey(), 1);
  HandOver();
  EXPECT_TRUE(SawWaiting);

  // Key 1: 00000001 reversed is 10000000; a letter and seven of its digits.
  const std::string identifier = StoredIdentifier();
  ASSERT_EQ(identifier.size(), 9u);
  EXPECT_TRUE(identifier[0] >= 'A' && identifier[0] <= 'Z');
  EXPECT_EQ(identifier.substr(1), "1000000.");

  const std::vector<std::string> lines = Recorded();
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0], "count=1");
  ASSERT_EQ(lines[1].size(), std::string("argument=/QABCDEFGH.~KV").size());
  EXPECT_EQ(lines[1].substr(0, 11), "argument=/Q");
  EXPECT_EQ(lines[2], "folder=" + fs::canonical(EcgFolder()).string());
  const std::vector<std::string> exchange(lines.begin() + 3, lines.end());
  // The block of the sheet, metric: its values as they are.
  PREDICTED_DATA block;
  sheet->FillPatientData(block);
  char born[16];
  std::snprintf(born, sizeof born, "%04d/%02d/%02d", block.BirthYear, block.BirthMonth, block.BirthDay);
  EXPECT_EQ(exchange, (std::vector<std::string>{"[Patient]", "Name=Anna Kovacs", "Id=A-1", block.Sex == 1 ? "Sex=1" : "Sex=2",
                                                "Weight=" + std::to_string(block.Weight),
                                                "Height=" + std::to_string(block.Height), std::string("Born=") + born,
                                                "KvnId=" + identifier, "OEM=0", "Doctor="}));
  EXPECT_TRUE(ExchangeFiles().empty());  // deleted after the run
  EXPECT_EQ(fs::current_path(), Folder.Path());

  // The next hand-over keeps the stored identifier.
  SawWaiting = false;
  HandOver();
  EXPECT_TRUE(SawWaiting);
  EXPECT_EQ(StoredIdentifier(), identifier);
  EXPECT_EQ(Recorded().at(10), "KvnId=" + identifier);
}

TEST_F(EcgHandOver, AProgramThatCannotStartIsReportedAndItsExchangeFileDeleted) {
  ASSERT_NE(StartWithPatient(true), nullptr);
  fs::permissions(EcgFolder() / "korvan.exe", fs::perms::owner_read | fs::perms::owner_write);
  SendMessage(&Client(), WM_COMMAND, CM_ECG, 0);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  const std::string shown = Sink.Messages[0].Text;
  EXPECT_TRUE(shown.starts_with("Error 0 calling " + (EcgFolder() / "korvan.exe").string() + " /Q")) << shown;
  EXPECT_TRUE(Sink.Take(shown));
  EXPECT_TRUE(ExchangeFiles().empty());
  EXPECT_TRUE(App->GetFrame()->isEnabled());
  EXPECT_FALSE(App->GetFrame()->isMinimized());
}

TEST_F(EcgHandOver, AnIdentifierThatCannotBeStoredStopsTheHandOverWithTheEnginesMessage) {
  ASSERT_NE(StartWithPatient(true), nullptr);
  // Another user holds the patient table.
  const std::unique_ptr<TEngine> other = Names();
  ASSERT_EQ(other->LockTable(), 0);
  SendMessage(&Client(), WM_COMMAND, CM_ECG, 0);
  EXPECT_TRUE(Shown(249, {"names.db"}));
  EXPECT_FALSE(fs::exists(EcgFolder() / "record.txt"));  // not started
  EXPECT_TRUE(ExchangeFiles().empty());
  ASSERT_EQ(other->UnLockTable(), 0);
  EXPECT_EQ(StoredIdentifier(), "");
}

TEST_F(EcgHandOver, AMissingProgramIsReportedAndLeavesNoExchangeFile) {
  ASSERT_NE(StartWithPatient(false), nullptr);
  SendMessage(&Client(), WM_COMMAND, CM_ECG, 0);
  EXPECT_TRUE(Shown(9100, {EcgFolder().string()}));
  EXPECT_TRUE(ExchangeFiles().empty());
  EXPECT_EQ(StoredIdentifier(), "");
  EXPECT_TRUE(App->GetFrame()->isEnabled());
}

}  // namespace
