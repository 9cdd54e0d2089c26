#include "measure/window/SelectInstrument.h"

#include "platform/basekit/Message.h"
#include "platform/framework/WindowMessages.h"
#include "testing/RecordingSink.h"
#include "testing/Artifacts.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class SelectInstrument : public ::testing::Test {
protected:
  SelectInstrument() : Texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang") {
    Texts.SetSink(&Sink);
    std::filesystem::create_directories(Artifacts);
  }

  QPushButton* Button(QDialog& dialog, int id) {
    return dialog.findChild<QPushButton*>(QString::number(id));
  }

  // Runs the dialog modally and lets `act` end it once it is up.
  int Run(TSelectInstrument& dialog, std::function<void()> act) {
    QTimer::singleShot(0, &dialog, act);
    return dialog.exec();
  }

  void Save(QWidget& dialog, const char* name) {
    dialog.show();
    ASSERT_TRUE(dialog.grab().save(QString::fromStdString((Artifacts / name).string())));
  }

  TRecordingSink Sink;
  TMessage Texts;
};

TEST_F(SelectInstrument, ButtonsWithoutTextAreHidden) {
  struct TCase {
    const char* Picture;
    std::string Texts[3];
    bool Shown[3];
  };
  const TCase cases[] = {
      {"select-instrument-1.png", {"Spirometer", "", ""}, {true, false, false}},
      {"select-instrument-2.png", {"Spirometer", "Diffusion unit", ""}, {true, true, false}},
      {"select-instrument-3.png", {"Spirometer", "Diffusion unit", "Plethysmograph"}, {true, true, true}},
  };
  for (const TCase& c : cases) {
    TSelectInstrument dialog(&Texts, nullptr, "Which instrument do you measure with?", c.Texts[0], c.Texts[1],
                             c.Texts[2]);
    Save(dialog, c.Picture);
    EXPECT_EQ(dialog.windowTitle().toStdString(), Texts.LoadStringA(500));
    for (int i = 0; i < 3; ++i) {
      QPushButton* button = Button(dialog, 5881 + i);
      ASSERT_NE(button, nullptr);
      EXPECT_EQ(button->isVisible(), c.Shown[i]) << c.Picture << " button " << i;
      EXPECT_EQ(button->text().toStdString(), c.Texts[i]);
    }
    EXPECT_LE(dialog.width(), 1280);
    EXPECT_LE(dialog.height(), 800);
  }
}

TEST_F(SelectInstrument, TheResultIsThePressedButton) {
  for (int id : {5881, 5882, 5883}) {
    TSelectInstrument dialog(&Texts, nullptr, "Which?", "A", "B", "C");
    EXPECT_EQ(Run(dialog, [&] { QTest::mouseClick(Button(dialog, id), Qt::LeftButton); }), id);
  }
}

TEST_F(SelectInstrument, EscapeOrClosingCancels) {
  TSelectInstrument escaped(&Texts, nullptr, "", "Spirometer", "", "");
  EXPECT_EQ(Run(escaped, [&] { QTest::keyClick(&escaped, Qt::Key_Escape); }), IDCANCEL);
  TSelectInstrument closed(&Texts, nullptr, "", "Spirometer", "", "");
  EXPECT_EQ(Run(closed, [&] { closed.close(); }), IDCANCEL);
  // An empty question still shows its (empty) text.
  auto* question = closed.findChild<QLabel*>("5880");
  ASSERT_NE(question, nullptr);
  EXPECT_TRUE(question->text().isEmpty());
}

TEST(InstrumentChoice, ResultsAndVisibility) {
  const TInstrumentChoice choice("Which?", "A", "", "C");
  EXPECT_TRUE(choice.IsShown(5881));
  EXPECT_FALSE(choice.IsShown(5882));
  EXPECT_TRUE(choice.IsShown(5883));
  EXPECT_FALSE(choice.IsShown(5880));
  EXPECT_EQ(TInstrumentChoice::Result(5882), 5882);
  EXPECT_EQ(TInstrumentChoice::Result(5884), IDCANCEL);
  EXPECT_EQ(TInstrumentChoice::Result(1), IDCANCEL);
}

}  // namespace
