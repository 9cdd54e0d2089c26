#include "shell/settings/WorkFolderSetup.h"
#include "shell/tests/WorkingFolder.h"

#include "patients/tests/StoredRows.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/Profile.h"
#include "testing/RecordingSink.h"

#include <gtest/gtest.h>

#include <map>

namespace fs = std::filesystem;

namespace {

class WorkFolderSetupTest : public ::testing::Test {
protected:
  WorkFolderSetupTest() : Texts("English", fs::path(HALVETRA_SOURCE_DIR) / "resources/lang") { Texts.SetSink(&Sink); }
  void TearDown() override {
    Sink.ExpectAllTaken();
  }

  WorkFolderSetup::TReport Prepare() { return WorkFolderSetup::Prepare(TCommandLine::Parse(""), Texts); }

  std::vector<std::string> Doctors() {
    std::vector<std::string> names;
    for (const DoctorRecordType& record : StoredDoctors(".\\Database", Texts))
      names.push_back(FieldText(record.Name));
    return names;
  }

  static std::map<std::string, fs::file_time_type> Stamps() {
    std::map<std::string, fs::file_time_type> stamps;
    for (const auto& entry : fs::recursive_directory_iterator("."))
      if (entry.is_regular_file())
        stamps[entry.path().string()] = entry.last_write_time();
    return stamps;
  }

  TWorkingFolder Folder;
  TRecordingSink Sink;
  TMessage Texts;
};

TEST_F(WorkFolderSetupTest, AnEmptyFolderGetsTheDriverTheTablesAndAnExampleDoctor) {
  const auto report = Prepare();
  EXPECT_TRUE(report.Failures.empty()) << report.Failures.front();
  EXPECT_EQ(TTemporaryFolder::Read("Halvetra.ini"), "[Databases]\nLanguageDriver=latin_ci\n");
  EXPECT_TRUE(fs::is_regular_file("Database/doctor.db"));
  for (const char* table :
       {"names.db", "meet.db", "fvc.db", "vc.db", "mvv.db", "audio.db", "rhino.db", "dfc.db", "sh.db", "pl.db"})
    EXPECT_TRUE(fs::is_regular_file(fs::path("Database/Data") / table)) << table;
  EXPECT_EQ(Doctors(), std::vector<std::string>{"Dr. Example"});
  EXPECT_TRUE(fs::is_directory("Private"));

  // A second run finds everything there and changes nothing.
  const auto stamps = Stamps();
  const auto again = Prepare();
  EXPECT_TRUE(again.Done.empty());
  EXPECT_TRUE(again.Failures.empty());
  EXPECT_EQ(Stamps(), stamps);
  EXPECT_EQ(Doctors(), std::vector<std::string>{"Dr. Example"});
}

TEST_F(WorkFolderSetupTest, WhatIsThereIsKept) {
  // A lab's own settings, doctors table (empty) and one table of its data.
  Folder.Write("Halvetra.ini", "[Path]\nCommon=.\\Lab\nDatabase=.\\Lab\\Main\n[Databases]\nLanguageDriver=latin_ci\n");
  fs::create_directories("Lab/Main");
  {
    TEngine engine;
    engine.SetFolder(".\\Lab");
    engine.SetTableName("doctor.db");
    engine.SetMessages(&Texts);
    std::uint32_t database = 0, cursor = 0;
    ASSERT_EQ(engine.OpenDB(database), 0);
    ASSERT_EQ(engine.CreateTable(cursor, 4, "latin_ci"), 0);
  }
  Folder.Write("Lab/Main/names.db", "not ours to judge");

  const auto report = Prepare();
  // The foreign names.db stays as it is; the other tables are made.
  EXPECT_EQ(TTemporaryFolder::Read("Lab/Main/names.db"), "not ours to judge");
  EXPECT_TRUE(fs::is_regular_file("Lab/Main/pl.db"));
  EXPECT_FALSE(fs::exists("Database"));
  EXPECT_EQ(TProfile("Databases", ".\\Halvetra.ini").GetString("LanguageDriver", ""), "latin_ci");
  EXPECT_TRUE(report.Failures.empty());
  // An existing doctors table gets no example doctor.
  EXPECT_TRUE(fs::is_regular_file("Lab/doctor.db"));
  EXPECT_TRUE(StoredDoctors(".\\Lab", Texts).empty());
}

}  // namespace
