#include "special/provocation/ui/ProvDialogs.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/framework/EventHandler.h"
#include "platform/framework/Profile.h"
#include "testing/Pictures.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class TMainWindow final : public QMainWindow, public TEventHandler {
public:
  std::vector<std::pair<unsigned, TParam1>> Received;

protected:
  TResult DefaultProcessing(unsigned msg, TParam1 wParam, TParam2) override {
    Received.emplace_back(msg, wParam);
    return 1;
  }
};

class ProvDialogs : public ::testing::Test {
protected:
  ProvDialogs() { Texts.SetSink(&Sink); }
  ~ProvDialogs() override { Sink.ExpectAllTaken(); }

  template <class TWidget>
  static TWidget* Find(QWidget& dialog, int id) {
    return dialog.findChild<TWidget*>(QString::number(id));
  }
  static void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }

  TTemporaryFolder Folder;
  std::string Ini = (Folder / "Halvetra.ini").string();
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TRecordingSink Sink;
  TMainWindow Main;
};

TEST_F(ProvDialogs, SetupLoadsTheStoredMaterialAndStoresWhatIsShown) {
  Folder.Write("Halvetra.ini",
               "[Material of Provocation]\nMaterial1=Metacholine\n[Material of Solution]\nMaterial1=Salbutamol\n"
               "[Provocation]\nMaterial=Metacholine\n[Metacholine]\nMode=1\nType=2\nQueue=0.5,1,2\nHead=1\n"
               "Maximum=4.0\nAccum=1\nMaterialOfSolution=Salbutamol\n");
  TProvSetup dialog(Texts, &Main, Ini, true, &Main);
  dialog.show();
  EXPECT_EQ(Find<QComboBox>(dialog, 5874)->currentText(), "Metacholine");
  EXPECT_EQ(Find<QComboBox>(dialog, 5902)->currentText(), "Salbutamol");
  EXPECT_TRUE(Find<QRadioButton>(dialog, 5871)->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(dialog, 5904)->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(dialog, 5893)->isChecked());
  EXPECT_EQ(Find<QLineEdit>(dialog, 5875)->text(), "0.5");
  EXPECT_EQ(Find<QLineEdit>(dialog, 5877)->text(), "2");
  EXPECT_TRUE(Find<QLineEdit>(dialog, 5875)->isEnabled());
  EXPECT_FALSE(Find<QLineEdit>(dialog, 5891)->isEnabled());
  EXPECT_TRUE(Find<QCheckBox>(dialog, 5900)->isChecked());
  EXPECT_EQ(Find<QLabel>(dialog, 5905)->text(), "ml");
  SavePicture(dialog, "provocation-setup.png");

  // Type 0 wants a concentration; the queue is disabled.
  Find<QRadioButton>(dialog, 5872)->click();
  EXPECT_FALSE(Find<QLineEdit>(dialog, 5875)->isEnabled());
  EXPECT_FALSE(dialog.OkButton()->isEnabled());
  Type(Find<QLineEdit>(dialog, 5891), "2.5");
  EXPECT_TRUE(dialog.OkButton()->isEnabled());
  Find<QPushButton>(dialog, 9)->click();
  ASSERT_EQ(Main.Received.size(), 1u);
  EXPECT_EQ(Main.Received[0], (std::pair<unsigned, TParam1>{WM_SHOW_HELP, 20125}));
  dialog.OkButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const TProfile section("Metacholine", Ini);
  EXPECT_EQ(section.GetInt("Type", 9), 0);
  EXPECT_EQ(section.GetString("Concentration"), "2.5");
  EXPECT_EQ(section.GetString("Queue"), "0.5,1,2");
}

TEST_F(ProvDialogs, CancelWritesNothing) {
  Folder.Write("Halvetra.ini", "[Provocation]\nMaterial=Histamine\n[Histamine]\nConcentration=1\n");
  const std::string before = TTemporaryFolder::Read(Ini);
  TProvSetup dialog(Texts, &Main, Ini, false, &Main);
  dialog.show();
  EXPECT_FALSE(Find<QRadioButton>(dialog, 5871)->isEnabled());
  Find<QPushButton>(dialog, IDCANCEL)->click();
  EXPECT_EQ(TTemporaryFolder::Read(Ini), before);
}

TEST_F(ProvDialogs, AHandEditedSetupIsNamedWhenTheDialogOpens) {
  Folder.Write("Halvetra.ini", "[Provocation]\nMaterial=a]b\n");
  TProvSetup dialog(Texts, &Main, Ini, true, &Main);
  dialog.show();
  ASSERT_EQ(Sink.Texts().size(), 1u);
  EXPECT_NE(Sink.Texts()[0].find("Material=a]b"), std::string::npos) << Sink.Texts()[0];
  Sink.Take(Sink.Texts()[0]);
  Find<QRadioButton>(dialog, 5872)->click();
  Type(Find<QLineEdit>(dialog, 5891), "1");
  EXPECT_FALSE(dialog.OkButton()->isEnabled());  // "a]b" cannot name the section
  Find<QComboBox>(dialog, 5874)->lineEdit()->selectAll();
  QTest::keyClicks(Find<QComboBox>(dialog, 5874)->lineEdit(), "Histamine");
  EXPECT_TRUE(dialog.OkButton()->isEnabled());
}

TEST_F(ProvDialogs, ParamListsFiftyParametersAndTakesALimit) {
  short code = 418;
  short limit = -20;
  TProvParam dialog(Texts, &code, &limit, &Main, &Main);
  dialog.show();
  auto* combo = Find<QComboBox>(dialog, 5910);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->count(), 51);
  EXPECT_EQ(combo->currentIndex(), 45);
  EXPECT_TRUE(combo->font().bold());
  EXPECT_EQ(Find<QLineEdit>(dialog, 5912)->text(), "-20");
  SavePicture(dialog, "provocation-param.png");
  Type(Find<QLineEdit>(dialog, 5912), "100");
  EXPECT_FALSE(dialog.OkButton()->isEnabled());
  Type(Find<QLineEdit>(dialog, 5912), "-15");
  combo->setCurrentIndex(3);  // FEV*1,0
  Find<QPushButton>(dialog, 9)->click();
  EXPECT_EQ(Main.Received.back(), (std::pair<unsigned, TParam1>{WM_SHOW_HELP, 20126}));
  dialog.OkButton()->click();
  EXPECT_EQ(code, 2);
  EXPECT_EQ(limit, -15);
}

TEST_F(ProvDialogs, ParamCancelledKeepsTheColumn) {
  short code = 2;
  short limit = -20;
  TProvParam dialog(Texts, &code, &limit, &Main, &Main);
  Find<QComboBox>(dialog, 5910)->setCurrentIndex(0);
  Find<QPushButton>(dialog, IDCANCEL)->click();
  EXPECT_EQ(code, 2);
  EXPECT_EQ(limit, -20);
}

TEST_F(ProvDialogs, InputGivesTheTypedDoseWithinTheMaximum) {
  float dose = 0.8f;
  TProvInput dialog(Texts, &dose, 1.0f, 1, 1, &Main, &Main);
  dialog.show();
  EXPECT_EQ(Find<QLabel>(dialog, 5905)->text(), "mg");
  EXPECT_EQ(Find<QLineEdit>(dialog, 5940)->text(), "0.00");
  EXPECT_FALSE(dialog.OkButton()->isEnabled());
  SavePicture(dialog, "provocation-input.png");
  Type(Find<QLineEdit>(dialog, 5940), "0.25");
  EXPECT_FALSE(dialog.OkButton()->isEnabled());
  Type(Find<QLineEdit>(dialog, 5940), "0.2");
  EXPECT_TRUE(dialog.OkButton()->isEnabled());
  Find<QPushButton>(dialog, 9)->click();
  EXPECT_EQ(Main.Received.back(), (std::pair<unsigned, TParam1>{WM_SHOW_HELP, 2134}));
  dialog.OkButton()->click();
  EXPECT_FLOAT_EQ(dose, 0.2f);
}

}  // namespace
