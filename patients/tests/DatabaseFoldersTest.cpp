#include "patients/DatabaseFolders.h"

#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"
#include "platform/framework/WindowMessages.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class DatabaseFoldersTest : public ::testing::Test {
protected:
  DatabaseFoldersTest() : Texts("English", fs::path(HALVETRA_SOURCE_DIR) / "resources/lang") { Texts.SetSink(&Sink); }

  std::string Ini() const { return (Folder / "Halvetra.ini").string(); }
  std::string IniText() const { return TTemporaryFolder::Read(Folder / "Halvetra.ini"); }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts;
};

TEST_F(DatabaseFoldersTest, FoldersOfTheLocalOrTheNetworkKind) {
  using DatabaseFolders::Read;
  // Missing keys: the program folder's "Database" and "Database\Data".
  auto folders = Read(Ini(), ".");
  EXPECT_EQ(folders.LocalNet, 0);
  EXPECT_EQ(folders.Common, ".\\Database");
  EXPECT_EQ(folders.Database, ".\\Database\\Data");

  Folder.Write("Halvetra.ini",
               "[Path]\nProgram=/opt/lab\nCommon=/srv/local\nDatabase=/srv/local\\Lab1\n"
               "NetCommon=/net/common\nNetDatabase=/net/common\\Lab2\n");
  EXPECT_EQ(DatabaseFolders::ReadProgramFolder(Ini()), "/opt/lab");
  folders = Read(Ini(), "/opt/lab");
  EXPECT_EQ(folders.Common, "/srv/local");
  EXPECT_EQ(folders.Database, "/srv/local\\Lab1");
  ASSERT_TRUE(TProfile("Path", Ini()).WriteInt("LocalNet", 1));
  folders = Read(Ini(), "/opt/lab");
  EXPECT_EQ(folders.LocalNet, 1);
  EXPECT_EQ(folders.Common, "/net/common");
  EXPECT_EQ(folders.Database, "/net/common\\Lab2");
}

TEST_F(DatabaseFoldersTest, TheLocationIsStoredAndTheNetworkFoldersDerivedOnce) {
  int asked = 0;
  const auto engineFolder = [&]() -> std::optional<std::string> {
    ++asked;
    return "/net/lab/";
  };
  // Local: only LocalNet.
  ASSERT_TRUE(DatabaseFolders::SetDatabasePath(Ini(), false, engineFolder, Texts));
  EXPECT_EQ(IniText(), "[Path]\nLocalNet=0\n");
  // The first choice of the network derives its folders from the engine's.
  ASSERT_TRUE(DatabaseFolders::SetDatabasePath(Ini(), true, engineFolder, Texts));
  EXPECT_EQ(IniText(), "[Path]\nLocalNet=1\nNetCommon=/net/lab/DATABASE\nNetDatabase=/net/lab/DATABASE\\DATA\n");
  EXPECT_EQ(asked, 1);
  // Back to local and to the network again: the network folders stay.
  ASSERT_TRUE(DatabaseFolders::SetDatabasePath(Ini(), false, engineFolder, Texts));
  ASSERT_TRUE(TProfile("Path", Ini()).WriteString("NetDatabase", "/net/lab/DATABASE\\Mine"));
  ASSERT_TRUE(DatabaseFolders::SetDatabasePath(Ini(), true, engineFolder, Texts));
  EXPECT_EQ(IniText(), "[Path]\nLocalNet=1\nNetCommon=/net/lab/DATABASE\nNetDatabase=/net/lab/DATABASE\\Mine\n");
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(DatabaseFoldersTest, AnEngineWithoutNetworkFolderLeavesTheLocationAsItWas) {
  Folder.Write("Halvetra.ini", "[Path]\nLocalNet=0\n");
  EXPECT_FALSE(DatabaseFolders::SetDatabasePath(
      Ini(), true, [] { return std::optional<std::string>(); }, Texts));
  EXPECT_EQ(IniText(), "[Path]\nLocalNet=0\n");
}

TEST_F(DatabaseFoldersTest, TheFoldersAndFilesOfTheCommonFolder) {
  const std::string common = (Folder / "Database").string();
  EXPECT_TRUE(DatabaseFolders::SubFolders(common).empty());  // not there yet
  fs::create_directories(Folder / "Database/lab2");
  fs::create_directories(Folder / "Database/Data");
  Folder.Write("Database/doctor.db", "");
  Folder.Write("Database/Data/names.db", "");
  Folder.Write("Database/Data/meet.db", "");
  Folder.Write("Database/Data/.halvetra-transactions", "");
  EXPECT_EQ(DatabaseFolders::SubFolders(common), (std::vector<std::string>{"Data", "lab2"}));
  EXPECT_EQ(DatabaseFolders::FilesIn(common, "Data"), (std::vector<std::string>{"meet.db", "names.db"}));
  EXPECT_TRUE(DatabaseFolders::FilesIn(common, "..").empty());
  // A typed name of an existing folder in another letter case is that folder.
  EXPECT_EQ(DatabaseFolders::FolderPath(common, "DATA"), common + "\\Data");
  EXPECT_EQ(DatabaseFolders::FolderPath(common, "Lab3"), common + "\\Lab3");

  EXPECT_EQ(DatabaseFolders::SelectedName(".\\Database\\Data"), "Data");
  EXPECT_EQ(DatabaseFolders::SelectedName(".\\Database\\AVeryLongFolderNameIndeed"), "AVeryLongFolderName");
  EXPECT_EQ(DatabaseFolders::SelectedName("Data"), "");
  for (const char* name : {"", ".", "..", "a/b", "a\\b"})
    EXPECT_FALSE(DatabaseFolders::IsFolderName(name)) << name;
  EXPECT_TRUE(DatabaseFolders::IsFolderName("Lab 2"));
}

TEST_F(DatabaseFoldersTest, AFolderIsUsedWhenItCanBeWrittenOrWasMadeWithConsent) {
  const std::string existing = Folder.Path().string();
  EXPECT_TRUE(DatabaseFolders::TestDirectory(existing, Texts));
  EXPECT_TRUE(Sink.Messages.empty());

  // A missing folder: made only after a Yes.
  const std::string missing = (Folder / "Lab2").string();
  Sink.Answer = IDNO;
  EXPECT_FALSE(DatabaseFolders::TestDirectory(missing, Texts));
  EXPECT_FALSE(fs::exists(missing));
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text, Texts.Format(285, {missing}));
  EXPECT_EQ(Sink.Messages[0].Buttons, TMessageButtons::YesNo);
  Sink.Answer = IDYES;
  EXPECT_TRUE(DatabaseFolders::TestDirectory(missing, Texts));
  EXPECT_TRUE(fs::is_directory(missing));
}

TEST_F(DatabaseFoldersTest, AFolderThatCannotBeMadeOrWrittenIsRefused) {
  Sink.Answer = IDYES;
  // Its parent is missing: folders are made one level at a time.
  const std::string deep = (Folder / "no/such/Lab").string();
  EXPECT_FALSE(DatabaseFolders::TestDirectory(deep, Texts));
  ASSERT_EQ(Sink.Messages.size(), 2u);
  EXPECT_TRUE(Sink.Messages[1].Text.starts_with(Texts.Format(286, {deep, "x"}).substr(0, 30))) << Sink.Messages[1].Text;
  EXPECT_EQ(Sink.Messages[1].Icon, TMessageIcon::Stop);
  EXPECT_FALSE(fs::exists(deep));

  const auto unwritable = UnwritableFolder(Folder);
  if (!unwritable)
    GTEST_SKIP() << "no folder here that this process cannot write";
  Sink.Messages.clear();
  EXPECT_FALSE(DatabaseFolders::TestDirectory(unwritable->string(), Texts));
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_NE(Sink.Messages[0].Text.find(unwritable->string()), std::string::npos);
  EXPECT_TRUE(Sink.Messages[0].Text.starts_with(Texts.LoadStringA(6101).substr(0, 20))) << Sink.Messages[0].Text;
}

}  // namespace
