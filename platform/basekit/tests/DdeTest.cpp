#include "platform/basekit/Dde.h"
#include "platform/basekit/DdeExport.h"

#include "platform/basekit/Message.h"
#include "platform/framework/WindowMessages.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class DdeTest : public ::testing::Test {
protected:
  DdeTest() { Texts.SetSink(&Sink); }

  // One export as a window makes it: connect, poke, disconnect.
  bool Export(TDDE& dde, const std::vector<std::pair<std::string, std::string>>& cells) {
    if (!dde.InitializeDDE() || !dde.ConnectDDE())
      return false;
    for (const auto& [item, text] : cells)
      if (!dde.PokeDDE(item, text))
        break;
    const bool written = dde.DisconnectDDE();
    dde.UninitializeDDE();
    return written;
  }

  TCsvWorkbook Workbook(const std::string& name = "Halvetra") const {
    return *TCsvWorkbook::Parse(TTemporaryFolder::Read(Folder / (name + ".csv")));
  }

  TTemporaryFolder Folder;
  std::string Ini = (Folder / "Halvetra.ini").string();
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TRecordingSink Sink;
};

TEST_F(DdeTest, SettingsOutOfRangeTakeTheirDefaults) {
  EXPECT_EQ(TDDE(&Texts, Ini, Folder.Path()).Settings, TDdeSettings{});

  struct TCase {
    const char* Key;
    const char* Value;
  };
  const TCase bad[] = {{"RowLetter", "1"},       {"RowLetter", "RR"},       {"RowLetter", ""},
                       {"ColumnLetter", "é"},     {"FirstRow", "0"},         {"FirstRow", "65536"},
                       {"FirstRow", "-3"},        {"FirstColumn", "abc"},    {"Workbook", "../results"},
                       {"Workbook", "a\\b"},      {"Workbook", ".."},        {"Workbook", "twenty-one-characters"}};
  for (const TCase& c : bad) {
    SCOPED_TRACE(std::string(c.Key) + "=" + c.Value);
    Folder.Write("Halvetra.ini", std::string("[DDE]\n") + c.Key + "=" + c.Value + "\n");
    EXPECT_EQ(TDDE(&Texts, Ini, Folder.Path()).Settings, TDdeSettings{});
  }

  Folder.Write("Halvetra.ini",
               "[dde]\nRowLetter=z\nColumnLetter=S\nFirstRow=65535\nFirstColumn=2\nWorkbook=twenty-characters-ok\n");
  const TDDE dde(&Texts, Ini, Folder.Path());
  EXPECT_EQ(dde.Settings, (TDdeSettings{'Z', 'S', 65535, 2, "twenty-characters-ok"}));
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(DdeTest, StoredSettingsReadBack) {
  TDDE dde(&Texts, Ini, Folder.Path());
  dde.Settings = {'Z', 'S', 5, 2, "Spiro"};
  ASSERT_TRUE(dde.WriteDDEconstans());
  EXPECT_EQ(TDDE(&Texts, Ini, Folder.Path()).Settings, dde.Settings);
}

TEST_F(DdeTest, AnExportKeepsTheCellsOfAnEarlierOne) {
  TDDE first(&Texts, Ini, Folder.Path());
  first.Settings.FirstRow = 5;
  first.Settings.FirstColumn = 2;
  EXPECT_EQ(first.CellAddress(0, 0), "R5C2");
  EXPECT_EQ(first.CellAddress(6, 3), "R11C5");
  ASSERT_TRUE(Export(first, {{first.CellAddress(0, 0), "Kovács, Anna"},
                             {first.CellAddress(0, 1), "45"},
                             {first.CellAddress(1, 0), "the \"best\" trial"},
                             {first.CellAddress(1, 1), ""}}));

  TDDE second(&Texts, Ini, Folder.Path());
  second.Settings.FirstRow = 20;
  ASSERT_TRUE(Export(second, {{second.CellAddress(0, 0), "Nagy Béla"}, {second.CellAddress(0, 2), "3,21"}}));

  const TCsvWorkbook book = Workbook();
  EXPECT_EQ(book.Get(5, 2), "Kovács, Anna");
  EXPECT_EQ(book.Get(5, 3), "45");
  EXPECT_EQ(book.Get(6, 2), "the \"best\" trial");
  EXPECT_EQ(book.Get(5, 1), "");
  EXPECT_EQ(book.Get(20, 1), "Nagy Béla");
  EXPECT_EQ(book.Get(20, 3), "3,21");
  const std::string text = TTemporaryFolder::Read(Folder / "Halvetra.csv");
  EXPECT_NE(text.find(",\"Kovács, Anna\",45\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find(",\"the \"\"best\"\" trial\",\r\n"), std::string::npos) << text;
  EXPECT_TRUE(Sink.Messages.empty());
}

// The export command: the confirmed settings are stored and address the
// cells; a cancelled dialog stores and sends nothing.
TEST_F(DdeTest, ExportCommandStoresTheConfirmedSettingsAndPokesThroughThem) {
  int sends = 0;
  const DdeExport::TSend send = [&sends](TDDE& dde) {
    ++sends;
    return dde.PokeDDE(dde.CellAddress(0, 0), "FVC") && dde.PokeDDE(dde.CellAddress(1, 1), "4,02");
  };
  const auto cancel = [](TTDdeDialogStruct& record) {
    record.FirstRow = "9";
    return false;
  };
  EXPECT_FALSE(DdeExport::CmDde(&Texts, Ini, cancel, send, Folder.Path()));
  EXPECT_EQ(sends, 0);
  EXPECT_FALSE(std::filesystem::exists(Folder / "Halvetra.csv"));
  EXPECT_EQ(TDDE(&Texts, Ini, Folder.Path()).Settings, TDdeSettings{});

  const auto confirm = [](TTDdeDialogStruct& record) {
    record.FirstRow = "5";
    record.FirstColumn = "2";
    record.Workbook = "Trend";
    return true;
  };
  ASSERT_TRUE(DdeExport::CmDde(&Texts, Ini, confirm, send, Folder.Path()));
  EXPECT_EQ(sends, 1);
  EXPECT_EQ(TDDE(&Texts, Ini, Folder.Path()).Settings, (TDdeSettings{'R', 'C', 5, 2, "Trend"}));
  const TCsvWorkbook book = Workbook("Trend");
  EXPECT_EQ(book.Get(5, 2), "FVC");
  EXPECT_EQ(book.Get(6, 3), "4,02");
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(DdeTest, AFailedPokeChangesNothingAndStopsNoEarlierCell) {
  TDDE dde(&Texts, Ini, Folder.Path());
  EXPECT_FALSE(dde.PokeDDE("R1C1", "before connecting"));
  ASSERT_TRUE(dde.ConnectDDE());
  EXPECT_TRUE(dde.PokeDDE("R1C1", "kept"));
  for (const char* item : {"Z1C1", "R1Z1", "R0C1", "R1C0", "R1C", "RC1", "R1C1x", "R-1C1", "R1048577C1",
                           "R1C16385", ""}) {
    SCOPED_TRACE(item);
    EXPECT_FALSE(dde.PokeDDE(item, "lost"));
  }
  EXPECT_FALSE(dde.PokeDDE("R2C1", "Kov\xE1" "cs"));  // not UTF-8
  EXPECT_TRUE(dde.PokeDDE("R2C16384", "last column"));
  ASSERT_TRUE(dde.DisconnectDDE());
  EXPECT_EQ(Workbook().Get(1, 1), "kept");
  EXPECT_EQ(Workbook().Get(2, 16384), "last column");
}

TEST_F(DdeTest, AReadOnlyWorkbookIsNamedAndLeftAsItWas) {
  const auto path = Folder.Write("Halvetra.csv", "old,cells\r\n");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  TDDE dde(&Texts, Ini, Folder.Path());
  EXPECT_FALSE(Export(dde, {{"R1C1", "new"}}));
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_NE(Sink.Messages[0].Text.find(path.string()), std::string::npos) << Sink.Messages[0].Text;
  EXPECT_NE(Sink.Messages[0].Text.find("read-only"), std::string::npos) << Sink.Messages[0].Text;
  EXPECT_EQ(Sink.Messages[0].Icon, TMessageIcon::Stop);
  EXPECT_FALSE(dde.PokeDDE("R1C1", "new"));
  EXPECT_EQ(TTemporaryFolder::Read(path), "old,cells\r\n");
}

TEST_F(DdeTest, AFileThatIsNoWorkbookIsNamedAndLeftAsItWas) {
  const std::string latin1 = "Kov\xE1" "cs,1\r\n";
  const auto path = Folder.Write("Halvetra.csv", latin1);
  TDDE dde(&Texts, Ini, Folder.Path());
  EXPECT_FALSE(Export(dde, {{"R1C1", "new"}}));
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_NE(Sink.Messages[0].Text.find(path.string()), std::string::npos);
  EXPECT_NE(Sink.Messages[0].Text.find("UTF-8"), std::string::npos);
  EXPECT_EQ(TTemporaryFolder::Read(path), latin1);

  std::filesystem::create_directory(Folder / "Folder.csv");
  dde.Settings.Workbook = "Folder";
  EXPECT_FALSE(dde.ConnectDDE());
  EXPECT_EQ(Sink.Messages.size(), 2u);
}

TEST_F(DdeTest, AWorkbookThatCannotBeWrittenIsNamed) {
  const auto unwritable = UnwritableFolder(Folder);
  if (!unwritable)
    GTEST_SKIP() << "no folder this process cannot write";
  TDDE dde(&Texts, Ini, *unwritable);
  EXPECT_FALSE(Export(dde, {{"R1C1", "new"}}));
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_NE(Sink.Messages[0].Text.find((*unwritable / "Halvetra.csv").string()), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(*unwritable / "Halvetra.csv"));
}

// Patient text that begins like a formula is written so a spreadsheet
// shows it as text; numbers stay numbers.
TEST_F(DdeTest, TextThatASpreadsheetWouldEvaluateIsWrittenAsText) {
  const struct {
    const char* Poked;
    const char* Stored;
  } cells[] = {
      {"=HYPERLINK(\"http://x.example\",\"Kovacs\")", "'=HYPERLINK(\"http://x.example\",\"Kovacs\")"},
      {"+36 1 234 5678 ext. 9", "'+36 1 234 5678 ext. 9"},
      {"-2+3", "'-2+3"},
      {"@SUM(A1:A9)", "'@SUM(A1:A9)"},
      {"\t=1+1", "'\t=1+1"},
      {"-1.25", "-1.25"},
      {"+4", "+4"},
      {"-0,75", "-0,75"},
      {"1.5e-3", "1.5e-3"},
      {"-", "-"},
      {"Kovacs Anna", "Kovacs Anna"},
      {"", ""},
  };
  TDDE dde(&Texts, Ini, Folder.Path());
  std::vector<std::pair<std::string, std::string>> pokes;
  for (std::size_t i = 0; i < std::size(cells); ++i)
    pokes.emplace_back("R" + std::to_string(i + 1) + "C1", cells[i].Poked);
  ASSERT_TRUE(Export(dde, pokes));
  const TCsvWorkbook book = Workbook();
  for (std::size_t i = 0; i < std::size(cells); ++i)
    EXPECT_EQ(book.Get(i + 1, 1), cells[i].Stored) << cells[i].Poked;
}

// A spreadsheet that has the workbook open keeps a lock file beside it:
// the export says so, and goes on only when the user retries after closing
// it there.
TEST_F(DdeTest, AWorkbookOpenInASpreadsheetIsNamedAndTheUserRetriesOrCancels) {
  for (const char* lock : {".~lock.Halvetra.csv#", "~$Halvetra.csv"}) {
    SCOPED_TRACE(lock);
    Folder.Write("Halvetra.csv", "before\r\n");
    Folder.Write(lock, "someone,host,2026");
    TDDE dde(&Texts, Ini, Folder.Path());
    const std::string asked = Texts.Format(7003, {(Folder / "Halvetra.csv").string(), lock});
    Sink.Answer = IDCANCEL;
    EXPECT_FALSE(Export(dde, {{"R1C1", "after"}}));
    EXPECT_TRUE(Sink.Take(asked));
    EXPECT_EQ(Workbook().Get(1, 1), "before");

    // Retry while it is still open asks again; once it is closed the export runs.
    int asks = 0;
    TDDE retried(&Texts, Ini, Folder.Path());
    struct TClosingSink final : TMessageSink {
      int Show(const TUserMessage&) override {
        if (++*Asks == 2)
          std::filesystem::remove(Lock);
        return IDRETRY;
      }
      int* Asks;
      std::filesystem::path Lock;
    } closing;
    closing.Asks = &asks;
    closing.Lock = Folder / lock;
    Texts.SetSink(&closing);
    EXPECT_TRUE(Export(retried, {{"R1C1", "after"}}));
    Texts.SetSink(&Sink);
    EXPECT_EQ(asks, 2);
    EXPECT_EQ(Workbook().Get(1, 1), "after");
  }
}

TEST_F(DdeTest, AnExportWithoutPokesWritesNothing) {
  TDDE dde(&Texts, Ini, Folder.Path());
  EXPECT_TRUE(Export(dde, {}));
  EXPECT_FALSE(std::filesystem::exists(Folder / "Halvetra.csv"));
}

}  // namespace
