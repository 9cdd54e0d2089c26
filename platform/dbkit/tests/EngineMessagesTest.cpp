// The engine's message boxes and its log.

#include "platform/dbkit/tests/EngineTestSupport.h"
#include "platform/framework/WindowMessages.h"

#include <cctype>
#include <sstream>

namespace {

using TEngineMessages = TEngineTest;

TEST_F(TEngineMessages, AnEngineErrorShowsInTheSystemsFormatWithSQLitesText) {
  Folder.Write("names.db", "not a database, but long enough to be read as one page at least");
  auto names = Engine("names.db");
  std::uint32_t cursor = 0;
  ASSERT_EQ(names->GetTable(cursor), DbResult::NotADatabase);
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text,
            "        ERROR - names.db is not a database table, or it is damaged.  Cat:Code [23h:1h]\r\n"
            "                file is not a database");
  EXPECT_EQ(messages[0].Caption, Texts.LoadStringA(0));
  EXPECT_EQ(messages[0].Icon, TMessageIcon::Stop);
  EXPECT_EQ(messages[0].Buttons, TMessageButtons::Ok);
}

TEST_F(TEngineMessages, WinMsgTakesTheMessageBoxFlagsOfTheSystem) {
  TEngine engine;
  engine.SetMessages(&Texts);
  struct Case {
    int flags;
    TMessageIcon icon;
    TMessageButtons buttons;
    int defaultButton;
    int caption;
  };
  const Case cases[] = {
      {16, TMessageIcon::Stop, TMessageButtons::Ok, 1, 0},
      {48, TMessageIcon::Warning, TMessageButtons::Ok, 1, 0},
      {64, TMessageIcon::Information, TMessageButtons::Ok, 1, 0},
      {16 | 4 | 256, TMessageIcon::Stop, TMessageButtons::YesNo, 2, 2},  // a question whose No is the default
      {32 | 3, TMessageIcon::Question, TMessageButtons::YesNoCancel, 1, 2},
  };
  Sink.Answer = IDNO;
  for (const Case& c : cases) {
    EXPECT_EQ(engine.WinMsg("Delete the examination?", c.flags, 0), IDNO);
    ASSERT_EQ(Sink.Messages.size(), 1u);
    const TUserMessage message = TakeMessages().front();
    EXPECT_EQ(message.Text, "Delete the examination?");
    EXPECT_EQ(message.Icon, c.icon) << c.flags;
    EXPECT_EQ(message.Buttons, c.buttons) << c.flags;
    EXPECT_EQ(message.DefaultButton, c.defaultButton) << c.flags;
    EXPECT_EQ(message.Caption, Texts.LoadStringA(c.caption)) << c.flags;
  }
  engine.WinMsg("x", 64, 1);
  EXPECT_EQ(TakeMessages().front().Caption, Texts.LoadStringA(1));
}

TEST_F(TEngineMessages, TheLogGetsOneLinePerEventOnTheDiskAtOnce) {
  auto meets = Engine("meet.db");
  const std::filesystem::path log = Folder / "halvetra.log";
  ASSERT_EQ(meets->WriteLogFile("PATMEAS: DeleteMeasureRecord(), ID: 12, Which: 0"), 0);
  // Read back by another reader right away: nothing waits in a buffer.
  EXPECT_NE(TTemporaryFolder::Read(log).find("DeleteMeasureRecord(), ID: 12, Which: 0\n"), std::string::npos);
  ASSERT_EQ(meets->WriteLogFile("BROWSE MEASURE: CmDelete(), Date: 2024.01.01.\nTime: 10:00:00"), 0);
  const std::string content = TTemporaryFolder::Read(log);
  // Each line: "YYYY-MM-DD HH:MM:SS <workstation> <event>".
  std::vector<std::string> events;
  std::istringstream lines(content);
  for (std::string line; std::getline(lines, line);) {
    ASSERT_GT(line.size(), 20u);
    for (const std::size_t digit : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u, 11u, 12u, 14u, 15u, 17u, 18u})
      EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(line[digit]))) << line;
    EXPECT_EQ(line.substr(4, 1) + line.substr(7, 1) + line.substr(10, 1) + line.substr(13, 1) + line.substr(16, 1) +
                  line.substr(19, 1),
              "-- :: ");
    const std::size_t host = line.find(' ', 20);
    ASSERT_NE(host, std::string::npos);
    events.push_back(line.substr(host + 1));
  }
  EXPECT_EQ(events, (std::vector<std::string>{"PATMEAS: DeleteMeasureRecord(), ID: 12, Which: 0",
                                              "BROWSE MEASURE: CmDelete(), Date: 2024.01.01. Time: 10:00:00"}));
  EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 2);
}

TEST_F(TEngineMessages, NoNetworkFolderIsKept) {
  TEngine engine;
  engine.SetMessages(&Texts);
  ASSERT_EQ(engine.DbInit((Folder / "private").string(), ""), 0);
  std::string folder = "unchanged";
  EXPECT_EQ(engine.GetNetDir(folder), DbResult::NoNetworkFolder);
  EXPECT_TRUE(folder.empty());
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].Text.find("No network folder"), std::string::npos);
  EXPECT_EQ(engine.DbExit(), 0);
}

}  // namespace
