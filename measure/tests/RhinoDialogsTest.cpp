#include "measure/window/RhinoDialogs.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/framework/EventHandler.h"
#include "testing/Pictures.h"
#include "testing/TemporaryFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class THelpWindow final : public QMainWindow, public TEventHandler {
public:
  std::vector<TParam1> Help;

protected:
  TResult DefaultProcessing(unsigned msg, TParam1 wParam, TParam2) override {
    if (msg == WM_SHOW_HELP)
      Help.push_back(wParam);
    return 1;
  }
};

class RhinoDialogs : public ::testing::Test {
protected:
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  THelpWindow Main;
  TTemporaryFolder Folder;
};

TEST_F(RhinoDialogs, TheProvocationDialogKeepsItsMaterials) {
  const auto ini = Folder.Write("Halvetra.ini", "[Material of Rhinomanometer Provocation]\n"
                                                "Material1=Histamine\nMaterial2=Allergen mix\nSelectedMaterial=all\n");
  TRhinoProv dialog(Texts, &Main, ini.string());
  EXPECT_EQ(dialog.GetMaterialBox()->currentText(), "Allergen mix");
  EXPECT_TRUE(dialog.GetOkButton()->isEnabled());
  SavePicture(dialog, "dialog-20136-rhino-provocation.png");

  // A beginning of a known material adds nothing; a new one is added.
  dialog.GetMaterialBox()->setEditText("hist");
  dialog.TakeTypedMaterial();
  EXPECT_EQ(dialog.GetMaterialBox()->count(), 2);
  dialog.GetMaterialBox()->setEditText("Capsaicin");
  dialog.TakeTypedMaterial();
  EXPECT_EQ(dialog.GetMaterialBox()->count(), 3);

  dialog.GetConcentrationEdit()->setText("2.5");
  dialog.GetDoseEdit()->setText("0.1");
  QTest::mouseClick(dialog.findChild<QPushButton*>(QString::number(9)), Qt::LeftButton);
  EXPECT_EQ(Main.Help, std::vector<TParam1>{20125});
  dialog.accept();
  ASSERT_TRUE(dialog.Entry());
  EXPECT_EQ(dialog.Entry()->Material, "Capsaicin");
  EXPECT_EQ(dialog.Entry()->Concentration, "2.5");
  const std::string stored = TTemporaryFolder::Read(ini);
  EXPECT_NE(stored.find("Material3=Capsaicin"), std::string::npos);
  EXPECT_NE(stored.find("SelectedMaterial=Capsaicin"), std::string::npos);
}

TEST_F(RhinoDialogs, NoMaterialNoOk) {
  TRhinoProv dialog(Texts, &Main, (Folder / "Empty.ini").string());
  EXPECT_FALSE(dialog.GetOkButton()->isEnabled());
  dialog.accept();
  EXPECT_FALSE(dialog.Entry());
}

TEST_F(RhinoDialogs, TheRowDialogAllowsThreeRowsAGroup) {
  TRhinoRows anterior{1, 1, 1, 1, 0};  // four, as a hand-edited file may hold
  TRhinoRows posterior = DefaultPosteriorRows;
  TRhinoParam dialog(Texts, &Main, anterior, posterior);
  SavePicture(dialog, "dialog-20138-rhino-rows.png");
  EXPECT_TRUE(dialog.GetOkButton()->isEnabled()) << "judged on clicks only";
  QTest::mouseClick(dialog.GetCheckBox(9), Qt::LeftButton);  // a fourth posterior row
  EXPECT_FALSE(dialog.GetOkButton()->isEnabled());
  QTest::mouseClick(dialog.GetCheckBox(9), Qt::LeftButton);
  EXPECT_FALSE(dialog.GetOkButton()->isEnabled()) << "the anterior group still has four";
  QTest::mouseClick(dialog.GetCheckBox(0), Qt::LeftButton);
  EXPECT_TRUE(dialog.GetOkButton()->isEnabled());
  dialog.accept();
  EXPECT_EQ(anterior, (TRhinoRows{0, 1, 1, 1, 0}));
  EXPECT_EQ(posterior, DefaultPosteriorRows);
}

}  // namespace
