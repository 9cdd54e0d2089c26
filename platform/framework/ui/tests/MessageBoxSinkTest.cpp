#include "platform/framework/ui/MessageBoxSink.h"

#include "platform/framework/WindowMessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Answers the next message box with the given button, and remembers what it showed.
struct TUser {
  QMessageBox::StandardButton Press;
  QString Title, Text;
  QMessageBox::Icon Icon = QMessageBox::NoIcon;

  void AnswerNextBox() {
    QTimer::singleShot(0, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      Title = box->windowTitle();
      Text = box->text();
      Icon = box->icon();
      box->button(Press)->click();
    });
  }
};

TEST(MessageBoxSink, ShowsTheMessageAndAnswersWithTheButtonPressed) {
  struct Case {
    TMessageIcon icon;
    TMessageButtons buttons;
    QMessageBox::StandardButton press;
    QMessageBox::Icon shownIcon;
    int answer;
  };
  const Case cases[] = {
      {TMessageIcon::Stop, TMessageButtons::Ok, QMessageBox::Ok, QMessageBox::Critical, IDOK},
      {TMessageIcon::Information, TMessageButtons::OkCancel, QMessageBox::Cancel, QMessageBox::Information, IDCANCEL},
      {TMessageIcon::Question, TMessageButtons::YesNo, QMessageBox::No, QMessageBox::Question, IDNO},
      {TMessageIcon::Warning, TMessageButtons::YesNoCancel, QMessageBox::Yes, QMessageBox::Warning, IDYES},
      {TMessageIcon::Stop, TMessageButtons::RetryCancel, QMessageBox::Retry, QMessageBox::Critical, IDRETRY},
      {TMessageIcon::Stop, TMessageButtons::AbortRetryIgnore, QMessageBox::Abort, QMessageBox::Critical, IDABORT},
      {TMessageIcon::Stop, TMessageButtons::AbortRetryIgnore, QMessageBox::Ignore, QMessageBox::Critical, IDIGNORE},
  };
  TMessageBoxSink sink;
  for (const Case& c : cases) {
    TUser user{c.press, {}, {}};
    user.AnswerNextBox();
    EXPECT_EQ(sink.Show({"Halvetra", "The port cannot be opened.", c.icon, c.buttons}), c.answer);
    EXPECT_EQ(user.Title, "Halvetra");
    EXPECT_EQ(user.Text, "The port cannot be opened.");
    EXPECT_EQ(user.Icon, c.shownIcon);
  }
}

// Enter presses the default button: the first unless the message names
// another, as a question that destroys something names No.
TEST(MessageBoxSink, EnterAnswersWithTheDefaultButton) {
  struct Case {
    TMessageButtons buttons;
    int defaultButton;
    int answer;
  };
  const Case cases[] = {
      {TMessageButtons::YesNo, 2, IDNO},
      {TMessageButtons::YesNo, 1, IDYES},
      {TMessageButtons::YesNoCancel, 3, IDCANCEL},
      {TMessageButtons::OkCancel, 2, IDCANCEL},
      {TMessageButtons::RetryCancel, 1, IDRETRY},
      {TMessageButtons::YesNo, 9, IDYES},  // names no button: the first
  };
  TMessageBoxSink sink;
  for (const Case& c : cases) {
    QTimer::singleShot(0, [] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      QTest::keyClick(box, Qt::Key_Return);
    });
    TUserMessage message{"Halvetra", "Delete the doctor?", TMessageIcon::Question, c.buttons};
    message.DefaultButton = c.defaultButton;
    EXPECT_EQ(sink.Show(message), c.answer) << c.defaultButton;
  }
}

}  // namespace
