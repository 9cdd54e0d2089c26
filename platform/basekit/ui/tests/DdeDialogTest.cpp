#include "platform/basekit/ui/DdeDialog.h"

#include "platform/basekit/Message.h"
#include "testing/RecordingSink.h"
#include "testing/Artifacts.h"

#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class DdeDialogTest : public ::testing::Test {
protected:
  DdeDialogTest() { Texts.SetSink(&Sink); }

  static QLineEdit* Edit(const QDialog& dialog, int id) {
    auto* edit = dialog.findChild<QLineEdit*>(QString::number(id));
    EXPECT_NE(edit, nullptr) << id;
    return edit;
  }
  static void Click(const QDialog& dialog, int id) { dialog.findChild<QPushButton*>(QString::number(id))->click(); }

  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TRecordingSink Sink;
};

TEST_F(DdeDialogTest, ShowsTheSettingsAndTakesWhatIsEntered) {
  TTDdeDialogStruct record = TTDdeDialogStruct::From({'R', 'C', 65535, 2, "Spiro"});
  TDdeDialog dialog(Texts, nullptr, record);
  dialog.show();
  EXPECT_EQ(Edit(dialog, TDdeDialog::RowLetterId)->text(), "R");
  EXPECT_EQ(Edit(dialog, TDdeDialog::FirstRowId)->text(), "65535");
  EXPECT_EQ(Edit(dialog, TDdeDialog::WorkbookId)->text(), "Spiro");
  EXPECT_LE(dialog.width(), 1280);
  std::filesystem::create_directories(Artifacts);
  EXPECT_TRUE(dialog.grab().save(QString::fromStdString((Artifacts / "dialog-20135-dde.png").string())));

  Edit(dialog, TDdeDialog::RowLetterId)->setText("z");
  Edit(dialog, TDdeDialog::FirstRowId)->setText("5");
  Edit(dialog, TDdeDialog::WorkbookId)->setText("Lab results");
  Click(dialog, 1);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(record.ToSettings(), (TDdeSettings{'Z', 'C', 5, 2, "Lab results"}));
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(DdeDialogTest, AFieldOutOfRangeKeepsTheDialogOpenAndTheRecordAsItWas) {
  const TTDdeDialogStruct before = TTDdeDialogStruct::From(TDdeSettings{});
  struct TCase {
    int Id;
    const char* Text;
  };
  for (const TCase c : {TCase{TDdeDialog::RowLetterId, "1"}, TCase{TDdeDialog::ColumnLetterId, ""},
                        TCase{TDdeDialog::FirstRowId, "0"}, TCase{TDdeDialog::FirstColumnId, "70000"},
                        TCase{TDdeDialog::WorkbookId, "../x"}}) {
    SCOPED_TRACE(c.Text);
    TTDdeDialogStruct record = before;
    TDdeDialog dialog(Texts, nullptr, record);
    dialog.show();
    Edit(dialog, c.Id)->setText(c.Text);
    Click(dialog, 1);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(Sink.Messages.size(), 1u);
    EXPECT_NE(Sink.Messages[0].Text.find("65535"), std::string::npos);
    Sink.Messages.clear();
    Click(dialog, 2);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(record.ToSettings(), before.ToSettings());
  }
}

TEST_F(DdeDialogTest, CancelLeavesTheRecord) {
  TTDdeDialogStruct record = TTDdeDialogStruct::From({'R', 'C', 5, 2, "Spiro"});
  TDdeDialog dialog(Texts, nullptr, record);
  dialog.show();
  Edit(dialog, TDdeDialog::FirstRowId)->setText("9");
  Click(dialog, 2);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(record.FirstRow, "5");
}

}  // namespace
