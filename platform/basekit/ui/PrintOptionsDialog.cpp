#include "platform/basekit/ui/PrintOptionsDialog.h"

#include "platform/basekit/Message.h"
#include "platform/basekit/PrintHeader.h"
#include "platform/framework/ui/DialogCentring.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int PrintOptionsCaptionText = 7046;
constexpr int TablesText = 7040, GraphsText = 7041, WholeFvcText = 7042, UpperLimitText = 7043, NoteText = 7044,
              SecondPlethyText = 7045;
constexpr int NoteFlagEntry = -1;

QString PlainText(const TMessage& texts, int number) {
  return QString::fromStdString(texts.LoadStringA(number)).remove('&');
}

// The tests' names are the same in every language.
QString KindOf(int entry) {
  switch (entry) {
  case 0: case 7: return "FVC";
  case 1: case 8: return "VC";
  case 2: case 9: return "MVV";
  case 3: case 10: return "DFC";
  case 4: case 11: return "PLETHY";
  case 6: case 13: return "SHUTTER";
  default: return {};
  }
}

}  // namespace

TPrintOptionsDialog::TPrintOptionsDialog(const TMessage& texts, QWidget* parent, TPrintHeader& header, short dialogId)
    : QDialog(parent), Header(header) {
  setObjectName(QString::number(dialogId));
  setWindowTitle(PlainText(texts, PrintOptionsCaptionText));
  auto* layout = new QVBoxLayout(this);
  const auto box = [&](int entry, const QString& label, QWidget* owner, bool checked) {
    auto* check = new QCheckBox(label, owner);
    check->setObjectName(entry == NoteFlagEntry ? QString("Note") : QString("Select%1").arg(entry, 2, 10, QChar('0')));
    check->setChecked(checked);
    Boxes[entry] = check;
    return check;
  };
  const std::vector<int> entries = TPrintHeader::OfferedEntries(dialogId);
  if (entries.empty()) {
    layout->addWidget(box(NoteFlagEntry, PlainText(texts, NoteText), this, header.NoteFlag != 0));
  } else {
    auto* tables = new QGroupBox(PlainText(texts, TablesText), this);
    auto* graphs = new QGroupBox(PlainText(texts, GraphsText), this);
    auto* tableGrid = new QGridLayout(tables);
    auto* graphGrid = new QGridLayout(graphs);
    int t = 0, g = 0;
    for (int entry : entries) {
      const bool checked = header.Selection[static_cast<std::size_t>(entry)] != 0;
      if (entry <= 6)
        tableGrid->addWidget(box(entry, KindOf(entry), tables, checked), t / 3, t % 3), ++t;
      else if (entry <= 13)
        graphGrid->addWidget(
            box(entry, entry == 12 ? PlainText(texts, SecondPlethyText) : KindOf(entry), graphs, checked), g / 3,
            g % 3), ++g;
    }
    layout->addWidget(tables);
    layout->addWidget(graphs);
    layout->addWidget(box(15, PlainText(texts, WholeFvcText), this, header.Selection[15] != 0));
    layout->addWidget(box(44, PlainText(texts, UpperLimitText), this, header.Selection[44] != 0));
    layout->addWidget(box(TPrintHeader::NoteEntry, PlainText(texts, NoteText), this,
                          header.Selection[TPrintHeader::NoteEntry] != 0));
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("2");
  buttons->button(QDialogButtonBox::Cancel)->setText(PlainText(texts, 87));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  CenterOnShow(*this);
}

QCheckBox* TPrintOptionsDialog::Box(int entry) const {
  const auto found = Boxes.find(entry);
  return found == Boxes.end() ? nullptr : found->second;
}

void TPrintOptionsDialog::accept() {
  for (const auto& [entry, check] : Boxes) {
    if (entry == NoteFlagEntry)
      Header.NoteFlag = check->isChecked() ? 1 : 0;
    else
      Header.Selection[static_cast<std::size_t>(entry)] = check->isChecked() ? 1 : 0;
  }
  Header.WritePrintStruct();
  QDialog::accept();
}

bool ShowPrintStruct(const TMessage& texts, TPrintHeader& header, short dialogId, QWidget* parent) {
  if (!TPrintHeader::IsOptionsDialog(dialogId))
    return false;
  TPrintOptionsDialog dialog(texts, parent, header, dialogId);
  return dialog.exec() == QDialog::Accepted;
}
