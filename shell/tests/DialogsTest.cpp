#include "platform/basekit/Message.h"
#include "shell/app/AboutDialog.h"
#include "shell/app/GreetingDialog.h"
#include "records/window/MyInputDialog.h"
#include "shell/settings/ProjectVersion.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const TMessage& Texts() {
  static const TMessage texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang");
  return texts;
}

std::string Label(const QWidget& dialog, int id) {
  const auto* label = dialog.findChild<QLabel*>(QString::number(id));
  return label ? label->text().toStdString() : "<missing>";
}

const TProjectRCVersion FullVersion(TVersionBlock{"Halvetra", "2.3.4", "Copyright the lab", "Test build"});
const TProjectRCVersion NoVersion(TVersionBlock{});

TEST(GreetingDialog, ShowsTheVersionBlockOrOnlyItsTitle) {
  TGreetingDialog greeting(FullVersion);
  EXPECT_EQ(Label(greeting, 22004), "Halvetra for Linux");
  EXPECT_EQ(Label(greeting, 22001), "Halvetra v2.3.4");
  EXPECT_EQ(Label(greeting, 22002), "Copyright the lab");
  EXPECT_EQ(Label(greeting, 22003), "Test build");

  TGreetingDialog bare(NoVersion);
  EXPECT_EQ(Label(bare, 22004), "Halvetra for Linux");
  for (const int id : {22001, 22002, 22003})
    EXPECT_EQ(Label(bare, id), "") << id;
}

TEST(GreetingDialog, NeitherEnterNorEscNorClosingEndsIt) {
  TGreetingDialog greeting(FullVersion);
  greeting.show();
  for (const int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&greeting, &press);
  }
  greeting.close();
  QApplication::processEvents();
  EXPECT_TRUE(greeting.isVisible());
  greeting.SetProgress(60);
  EXPECT_EQ(greeting.GetProgress(), 60);
  greeting.Finish();
  EXPECT_FALSE(greeting.isVisible());
}

TEST(AboutDialog, ShowsItsTextsAndTheVersionBlock) {
  QMainWindow main;
  main.resize(1000, 700);
  main.show();
  THalvetraAboutDlg about(Texts(), &main, FullVersion);
  EXPECT_EQ(about.windowTitle().toStdString(), Texts().LoadStringA(97));
  EXPECT_EQ(Label(about, 22004), Texts().LoadStringA(137));
  EXPECT_EQ(Label(about, 22001), "Halvetra " + Texts().LoadStringA(98) + " 2.3.4");
  EXPECT_EQ(Label(about, 22002), "Copyright the lab");
  EXPECT_EQ(Label(about, 22003), "Test build");
  ASSERT_NE(about.findChild<QWidget*>("1"), nullptr);  // the OK button

  // Centred in a rectangle of the main window's size at the screen's origin.
  about.show();
  const QRect frame = about.frameGeometry();
  EXPECT_EQ(frame.left(), (main.frameGeometry().width() - frame.width()) / 2);
  EXPECT_EQ(frame.top(), (main.frameGeometry().height() - frame.height()) / 2);
}

TEST(AboutDialog, WithoutAVersionBlockShowsItsFixedTexts) {
  THalvetraAboutDlg about(Texts(), nullptr, NoVersion);
  EXPECT_EQ(Label(about, 22001), Texts().LoadStringA(98));
  EXPECT_EQ(Label(about, 22004), Texts().LoadStringA(137));
  EXPECT_EQ(Label(about, 22002), "");
  EXPECT_EQ(Label(about, 22003), "");
}

TEST(MyInputDialog, CarriesTheProgramsCancelTextAndTheFieldsLimit) {
  QMainWindow main;
  main.resize(900, 600);
  main.show();
  TMyInputDialog note(Texts(), &main, "Note", "Note of the test", "before", 61);
  const auto* buttons = note.findChild<QDialogButtonBox*>();
  ASSERT_NE(buttons, nullptr);
  EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text().toStdString(), Texts().LoadStringA(87));
  EXPECT_EQ(note.findChild<QLineEdit*>()->maxLength(), 60);
  EXPECT_EQ(note.textValue(), "before");
  note.show();
  const QRect frame = note.frameGeometry();
  EXPECT_EQ(frame.left(), (main.frameGeometry().width() - frame.width()) / 2);
}

TEST(ProjectVersion, TheBuildFillsTheBlock) {
  const TProjectRCVersion version;
  std::string name, number, legal, special;
  EXPECT_TRUE(version.GetProductName(name));
  EXPECT_TRUE(version.GetProductVersion(number));
  EXPECT_TRUE(version.GetLegalNotice(legal));
  EXPECT_TRUE(version.GetSpecialBuild(special));
  EXPECT_EQ(name, "Halvetra");
  EXPECT_EQ(number, HALVETRA_VERSION);
}

}  // namespace
