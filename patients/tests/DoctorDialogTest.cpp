#include "patients/DoctorDialog.h"
#include "patients/DoctorInput.h"
#include "patients/tests/DialogTesting.h"
#include "patients/tests/StoredRows.h"

#include "platform/framework/WindowMessages.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace fs = std::filesystem;

namespace {

class DoctorDialog : public TDialogTest {
protected:
  std::unique_ptr<TDoctor> Open() {
    return std::make_unique<TDoctor>(Texts, Folder.Path().string(), "", Ini(), "latin_ci", &Main);
  }

  // Types a doctor into the input dialog and presses OK.
  static void TypeDoctor(QWidget& input, const QString& name, const QString& code, const QString& address,
                         std::initializer_list<int> roles) {
    Control<QLineEdit>(input, TDoctorInput::NameId)->setText(name);
    Control<QLineEdit>(input, TDoctorInput::CodeId)->setText(code);
    Control<QLineEdit>(input, TDoctorInput::AddressId)->setText(address);
    for (const int role : roles)
      Control<QCheckBox>(input, role)->setChecked(true);
    Click(input, 1);
  }
};

TEST_F(DoctorDialog, ADoctorEnteredInTheDialogIsInTheTable) {
  auto dialog = Open();
  dialog->show();
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Doctors");
  EXPECT_EQ(Control<QLabel>(*dialog, TDoctor::CounterId)->text(), "0/0");
  EXPECT_FALSE(Control<QPushButton>(*dialog, 1)->isEnabled());
  EXPECT_FALSE(Control<QPushButton>(*dialog, TDoctor::ModifyId)->isEnabled());
  Click(*dialog, 9);
  EXPECT_EQ(Main.HelpIds, std::vector<int>{2125});

  WhenModal([](QWidget& input) {
    EXPECT_EQ(input.objectName(), "20116");
    auto* ok = Control<QPushButton>(input, 1);
    Control<QLineEdit>(input, TDoctorInput::NameId)->setText("Dr. Kovács Ödön");
    Control<QLineEdit>(input, TDoctorInput::CodeId)->setText("KO-12");
    EXPECT_FALSE(ok->isEnabled());  // a role is still missing
    TypeDoctor(input, "Dr. Kovács Ödön", "KO-12", "Szeged, Tisza u. 3.",
               {TDoctorInput::TreatingId, TDoctorInput::ReferringId});
  });
  Click(*dialog, TDoctor::NewId);

  const auto rows = StoredDoctors(Folder.Path().string(), Texts);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(FieldText(rows[0].Name), "Dr. Kovács Ödön");
  EXPECT_EQ(FieldText(rows[0].Code), "KO-12");
  EXPECT_EQ(FieldText(rows[0].Address), "Szeged, Tisza u. 3.");
  EXPECT_EQ(rows[0].Treating, 1);
  EXPECT_EQ(rows[0].Home, 0);
  EXPECT_EQ(rows[0].Referring, 1);
  EXPECT_NE(rows[0].Key, 0);

  // The dialog shows it and may be closed now.
  EXPECT_EQ(Control<QListWidget>(*dialog, TDoctor::ListId)->currentItem()->text(), "Dr. Kovács Ödön");
  EXPECT_EQ(Control<QLineEdit>(*dialog, TDoctor::CodeId)->text(), "KO-12");
  EXPECT_TRUE(Control<QCheckBox>(*dialog, TDoctor::ReferringId)->isChecked());
  EXPECT_FALSE(Control<QCheckBox>(*dialog, TDoctor::HomeId)->isChecked());
  EXPECT_EQ(Control<QLabel>(*dialog, TDoctor::CounterId)->text(), "1/1");
  Click(*dialog, 1);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(DoctorDialog, ANameLongerThanItsFieldIsRefusedAndNothingIsStored) {
  auto dialog = Open();
  dialog->show();
  bool stillOpen = false;
  WhenModal([&](QWidget& input) {
    // Thirty letters fit the edit; as sixty bytes they do not fit the field.
    TypeDoctor(input, QString(30, QChar(0x00E9)), "E1", "", {TDoctorInput::HomeId});
    stillOpen = input.isVisible();
    EXPECT_EQ(Control<QLineEdit>(input, TDoctorInput::NameId)->text(), QString(30, QChar(0x00E9)));
    Click(input, 2);
  });
  Click(*dialog, TDoctor::NewId);
  EXPECT_TRUE(stillOpen);
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, Texts.Format(6001, {"Name", "30"}));
  EXPECT_TRUE(StoredDoctors(Folder.Path().string(), Texts).empty());
  EXPECT_EQ(Control<QLabel>(*dialog, TDoctor::CounterId)->text(), "0/0");
}

TEST_F(DoctorDialog, WithoutADoctorTheDialogStaysOpen) {
  auto dialog = Open();
  dialog->show();
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(dialog.get(), &escape);
  dialog->close();
  QApplication::processEvents();
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(fs::exists(Folder / "doctor.db"));
}

TEST_F(DoctorDialog, ATableAnotherUserHoldsClosesTheDialogWithAMessage) {
  auto first = Open();
  ASSERT_FALSE(first->List().IsClosing());
  auto second = Open();
  QTimer::singleShot(1000, second.get(), [&second] { second->done(42); });  // a stuck dialog fails the test
  EXPECT_EQ(second->exec(), QDialog::Rejected);
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, Texts.Format(249, {"Doctor.db"}));
}

}  // namespace
