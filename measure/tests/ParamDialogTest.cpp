#include "measure/window/ParamDialog.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/framework/EventHandler.h"
#include "testing/Artifacts.h"

#include <QCheckBox>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

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

class ParamDialog : public ::testing::Test {
protected:
  ParamDialog() { Flags.fill(1); }

  QPushButton* Button(TParam& dialog, int id) { return dialog.findChild<QPushButton*>(QString::number(id)); }

  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TMainWindow Main;
  TParamFlags Flags{};
};

TEST_F(ParamDialog, OneCheckBoxPerParameterOfEachKindWithPictures) {
  std::filesystem::create_directories(Artifacts);
  const char* kinds[] = {"fvc", "vc", "mvv", "dfc", "plethy", "shutter"};
  const char* captions[] = {"FVC", "VC", "MVV", "Diffusion capacity", "Body plethysmography", "Shutter"};
  const int first[] = {5070, 5089, 5094, 5098, 5111, 5855};
  Flags[3] = 0;
  for (short kind = 0; kind < 6; ++kind) {
    TParam dialog(Texts, &Main, kind, Flags);
    EXPECT_EQ(dialog.windowTitle(), QString("Parameters shown (%1)").arg(captions[kind]));
    const int count = ParameterCount(kind);
    EXPECT_EQ(dialog.findChildren<QCheckBox*>().size(), count);
    for (int i = 0; i < count; ++i) {
      QCheckBox* box = dialog.findChild<QCheckBox*>(QString::number(first[kind] + i));
      ASSERT_NE(box, nullptr) << kind << " " << i;
      EXPECT_EQ(box->text().toStdString(), ParameterNames(kind)[static_cast<std::size_t>(i)]);
      EXPECT_EQ(box->isChecked(), !(kind == 0 && i == 3));
    }
    EXPECT_NE(Button(dialog, TParamChoice::CheckAllId), nullptr);
    EXPECT_NE(Button(dialog, TParamChoice::ClearAllId), nullptr);
    EXPECT_TRUE(dialog.grab().save(
        QString::fromStdString((Artifacts / (std::string("param-dialog-") + kinds[kind] + ".png")).string())));
    EXPECT_LE(dialog.sizeHint().width(), 1280);
    EXPECT_LE(dialog.sizeHint().height(), 800);
  }
}

TEST_F(ParamDialog, ClearAllDisablesOkAndOneTickEnablesIt) {
  TParam dialog(Texts, &Main, 3, Flags);
  Button(dialog, TParamChoice::ClearAllId)->click();
  EXPECT_FALSE(dialog.GetOkButton()->isEnabled());
  for (int i = 26; i < 39; ++i)
    EXPECT_EQ(Flags[static_cast<std::size_t>(i)], 0u);
  EXPECT_EQ(Flags[25], 1u);
  dialog.accept();  // Enter with nothing chosen
  EXPECT_EQ(dialog.result(), 0);
  dialog.GetCheckBox(5)->click();
  EXPECT_TRUE(dialog.GetOkButton()->isEnabled());
  EXPECT_EQ(Flags[31], 1u);
  Button(dialog, TParamChoice::CheckAllId)->click();
  for (int i = 0; i < 13; ++i)
    EXPECT_TRUE(dialog.GetCheckBox(i)->isChecked());
}

TEST_F(ParamDialog, CancelRestoresAndOkKeeps) {
  const TParamFlags opened = Flags;
  {
    TParam dialog(Texts, &Main, 0, Flags);
    Button(dialog, TParamChoice::ClearAllId)->click();
    dialog.GetCheckBox(7)->click();
    Button(dialog, IDCANCEL)->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(Flags, opened);
  }
  {
    TParam dialog(Texts, &Main, 0, Flags);
    Button(dialog, TParamChoice::ClearAllId)->click();
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(Flags, opened);
  }
  {
    TParam dialog(Texts, &Main, 0, Flags);
    dialog.GetCheckBox(7)->click();
    Button(dialog, IDOK)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Flags[7], 0u);
  }
}

TEST_F(ParamDialog, HelpAsksTheMainWindow) {
  TParam dialog(Texts, &Main, 1, Flags);
  Button(dialog, 9)->click();
  ASSERT_EQ(Main.Received.size(), 1u);
  EXPECT_EQ(Main.Received[0].first, WM_SHOW_HELP);
  EXPECT_EQ(Main.Received[0].second, 29u);
}

}  // namespace
