#include "platform/basekit/ui/DdeDialog.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/framework/EventHandler.h"
#include "platform/framework/ui/DialogCentring.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int CaptionText = 7010;
constexpr int LabelTexts[] = {7011, 7012, 7013, 7014, 7015};
constexpr int OutOfRangeText = 7016;
constexpr int CancelText = 87;
constexpr int HelpText = 88;

QString Text(const TMessage& messages, int number) { return QString::fromStdString(messages.LoadStringA(number)); }

QLineEdit* Edit(QWidget& parent, int id, int maxLength, const std::string& text) {
  auto* edit = new QLineEdit(QString::fromStdString(text), &parent);
  edit->setObjectName(QString::number(id));
  edit->setMaxLength(maxLength);
  return edit;
}

QPushButton* Button(QDialogButtonBox& box, QDialogButtonBox::StandardButton kind, int id) {
  QPushButton* button = box.addButton(kind);
  button->setObjectName(QString::number(id));
  return button;
}

}  // namespace

TDdeDialog::TDdeDialog(const TMessage& messages, QWidget* parent, TTDdeDialogStruct& record)
    : QDialog(parent),
      Messages(messages),
      Record(record),
      RowLetter(Edit(*this, RowLetterId, 1, record.RowLetter)),
      ColumnLetter(Edit(*this, ColumnLetterId, 1, record.ColumnLetter)),
      FirstRow(Edit(*this, FirstRowId, 5, record.FirstRow)),
      FirstColumn(Edit(*this, FirstColumnId, 5, record.FirstColumn)),
      Workbook(Edit(*this, WorkbookId, static_cast<int>(TDdeSettings::WorkbookSize), record.Workbook)) {
  setObjectName(QString::number(TemplateId));
  QString caption = Text(messages, CaptionText);
  setWindowTitle(caption.remove('&'));

  auto* fields = new QFormLayout;
  QLineEdit* const edits[] = {RowLetter, ColumnLetter, FirstRow, FirstColumn, Workbook};
  for (std::size_t i = 0; i < std::size(edits); ++i) {
    auto* label = new QLabel(Text(messages, LabelTexts[i]), this);
    label->setObjectName(QString::number(edits[i]->objectName().toInt() - 1));
    label->setBuddy(edits[i]);
    fields->addRow(label, edits[i]);
  }
  Workbook->setMinimumWidth(Workbook->fontMetrics().averageCharWidth() * 24);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = Button(*buttons, QDialogButtonBox::Ok, 1);
  ok->setDefault(true);
  Button(*buttons, QDialogButtonBox::Cancel, 2)->setText(Text(messages, CancelText));
  QPushButton* help = Button(*buttons, QDialogButtonBox::Help, 9);
  help->setText(Text(messages, HelpText));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [this] {
    if (parentWidget())
      if (auto* mainWindow = dynamic_cast<TEventHandler*>(parentWidget()->window()))
        SendMessage(mainWindow, WM_SHOW_HELP, static_cast<TParam1>(HelpId), 0);
  });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(buttons);
  CenterOnShow(*this);
}

void TDdeDialog::accept() {
  const TTDdeDialogStruct entered{RowLetter->text().trimmed().toStdString(),
                                  ColumnLetter->text().trimmed().toStdString(),
                                  FirstRow->text().trimmed().toStdString(),
                                  FirstColumn->text().trimmed().toStdString(), Workbook->text().trimmed().toStdString()};
  const auto settings = entered.ToSettings();
  if (!settings) {
    Messages.MessageBox(OutOfRangeText, 0, TMessageIcon::Stop);
    return;
  }
  Record = TTDdeDialogStruct::From(*settings);
  QDialog::accept();
}
