#include "platform/basekit/Message.h"

#include "platform/framework/WindowMessages.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

class MessageTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder.Write("Test.txt",
                 "# comment\nlanguage=1\nhelp=help/Test\n\n0=Error\n1=Information\n5=First line\\nSecond line\n"
                 "6=Patient %1 has %2 tests\n7=Broken %s format\n8=  keeps blanks  \r\n");
  }
  TTemporaryFolder folder;
};

TEST_F(MessageTest, TextsByNumberWithAVisibleFallback) {
  const TMessage texts("Test", folder.Path());
  ASSERT_TRUE(texts.IsLoaded());
  EXPECT_EQ(texts.LoadStringA(0), "Error");
  EXPECT_EQ(texts.LoadStringA(5), "First line\nSecond line");
  EXPECT_EQ(texts.LoadStringA(8), "  keeps blanks  ");
  EXPECT_EQ(texts.LoadStringA(146), "#146");
  EXPECT_EQ(texts.GetLanguage(), 1);
  EXPECT_EQ(texts.GetHelpFile(), "help/Test");
  EXPECT_EQ(texts.GetLanguageName(), "Test");
}

TEST_F(MessageTest, FormatRefusesATextWithOtherPlaceholders) {
  const TMessage texts("Test", folder.Path());
  EXPECT_EQ(texts.Format(6, {"Kovács", "3"}), "Patient Kovács has 3 tests");
  EXPECT_EQ(texts.Format(6, {"Kovács"}), "#6 Kovács");
  EXPECT_EQ(texts.Format(7, {"x"}), "#7 x");
  EXPECT_EQ(texts.Format(99, {"x"}), "#99 x");
}

TEST_F(MessageTest, MissingLanguageFileStillAnswers) {
  const TMessage texts("Klingon", folder.Path());
  EXPECT_FALSE(texts.IsLoaded());
  EXPECT_NE(texts.GetLoadError().find("Klingon.txt"), std::string::npos);
  EXPECT_EQ(texts.LoadStringA(1), "#1");
}

TEST_F(MessageTest, MessageBoxesGoThroughTheInstalledSink) {
  TMessage texts("Test", folder.Path());
  TRecordingSink sink;
  sink.Answer = IDNO;
  texts.SetSink(&sink);
  EXPECT_EQ(texts.MessageBox(5, 0, TMessageIcon::Stop, TMessageButtons::YesNo), IDNO);
  ASSERT_EQ(sink.Messages.size(), 1u);
  EXPECT_EQ(sink.Messages[0].Caption, "Error");
  EXPECT_EQ(sink.Messages[0].Text, "First line\nSecond line");
  EXPECT_EQ(sink.Messages[0].Icon, TMessageIcon::Stop);
  texts.MessageBoxText(texts.Format(6, {"A", "2"}), 1, TMessageIcon::Information);
  EXPECT_EQ(sink.Messages[1].Text, "Patient A has 2 tests");
}

// Without a user to ask, the answer is the one Enter would give: never Yes
// to a question whose default is No.
TEST(StandardErrorSink, AnswersWithTheDefaultButton) {
  struct Case {
    TMessageButtons buttons;
    int defaultButton;
    int answer;
  };
  const Case cases[] = {
      {TMessageButtons::Ok, 1, IDOK},
      {TMessageButtons::OkCancel, 1, IDOK},
      {TMessageButtons::YesNo, 1, IDYES},
      {TMessageButtons::YesNo, 2, IDNO},
      {TMessageButtons::YesNoCancel, 3, IDCANCEL},
      {TMessageButtons::RetryCancel, 1, IDRETRY},
      {TMessageButtons::AbortRetryIgnore, 3, IDIGNORE},
      // A number that names no button: the first.
      {TMessageButtons::YesNo, 0, IDYES},
      {TMessageButtons::OkCancel, 3, IDOK},
  };
  TStandardErrorSink sink;
  for (const Case& c : cases) {
    TUserMessage message{"Halvetra", "Delete?", TMessageIcon::Question, c.buttons};
    message.DefaultButton = c.defaultButton;
    EXPECT_EQ(sink.Show(message), c.answer) << c.defaultButton;
  }
}

}  // namespace
