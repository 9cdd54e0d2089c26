#include "platform/basekit/ui/PrintOptionsDialog.h"

#include "platform/basekit/Message.h"
#include "platform/basekit/PrintHeader.h"
#include "testing/Pictures.h"
#include "testing/TemporaryFolder.h"

#include <QCheckBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class PrintOptionsDialogTest : public ::testing::Test {
protected:
  TTemporaryFolder Folder;
  std::string Ini = (Folder / "Halvetra.ini").string();
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TPrintHeader Header{&Texts, 1.0f, 1.0f, Ini, PREDICTED_DATA{}};
};

TEST_F(PrintOptionsDialogTest, EachDialogOffersWhatItsInstrumentsAllow) {
  struct Case {
    short id;
    std::vector<int> entries;
  };
  const Case cases[] = {
      {20103, {0, 1, 2, 7, 8, 9, 15, 44, 45}},
      {20146, {0, 1, 2, 3, 7, 8, 9, 10, 15, 44, 45}},
      {20148, {0, 1, 2, 6, 7, 8, 9, 13, 15, 44, 45}},
      {20149, {0, 1, 2, 3, 6, 7, 8, 9, 10, 13, 15, 44, 45}},
      {20150, {0, 1, 2, 4, 7, 8, 9, 11, 12, 15, 44, 45}},
      {20151, {0, 1, 2, 3, 4, 7, 8, 9, 10, 11, 12, 15, 44, 45}},
      {20152, {0, 1, 2, 4, 6, 7, 8, 9, 11, 12, 13, 15, 44, 45}},
      {20153, {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 15, 44, 45}},
      {20137, {}}, {20124, {}}, {20131, {}}, {20140, {}}, {12345, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TPrintHeader::OfferedEntries(c.id), c.entries) << c.id;
  EXPECT_FALSE(TPrintHeader::IsOptionsDialog(12345));
}

TEST_F(PrintOptionsDialogTest, OkKeepsTheChoicesCancelLeavesThem) {
  {
    TPrintOptionsDialog dialog(Texts, nullptr, Header, 20153);
    dialog.show();
    SavePicture(dialog, "print-options-20153.png");
    ASSERT_NE(dialog.Box(0), nullptr);
    EXPECT_EQ(dialog.Box(5), nullptr);
    dialog.Box(0)->setChecked(false);
    dialog.Box(12)->setChecked(true);
    dialog.findChild<QPushButton*>("2")->click();
  }
  EXPECT_EQ(Header.Selection[0], 1);
  EXPECT_FALSE(std::filesystem::exists(Ini));
  {
    TPrintOptionsDialog dialog(Texts, nullptr, Header, 20153);
    dialog.Box(0)->setChecked(false);
    dialog.Box(12)->setChecked(true);
    dialog.findChild<QPushButton*>("1")->click();
  }
  EXPECT_EQ(Header.Selection[0], 0);
  EXPECT_EQ(Header.Selection[12], 1);
  const TPrintHeader stored(&Texts, 1.0f, 1.0f, Ini, PREDICTED_DATA{});
  EXPECT_EQ(stored.Selection, Header.Selection);

  TPrintOptionsDialog note(Texts, nullptr, Header, 20140);
  note.show();
  SavePicture(note, "print-options-20140.png");
  ASSERT_NE(note.Box(-1), nullptr);
  note.Box(-1)->setChecked(false);
  note.findChild<QPushButton*>("1")->click();
  EXPECT_EQ(Header.NoteFlag, 0);
}

}  // namespace
