#include "shell/AboutDialog.h"

#include "platform/basekit/Message.h"
#include "platform/framework/Utf8.h"
#include "platform/framework/ui/DialogCentring.h"
#include "shell/ProjectVersion.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* Text(QWidget* parent, int id, const std::string& text = {}) {
  auto* label = new QLabel(QString::fromStdString(text), parent);
  label->setObjectName(QString::number(id));
  return label;
}

}  // namespace

THalvetraAboutDlg::THalvetraAboutDlg(const TMessage& messages, QWidget* parent, const TProjectRCVersion& version)
    : QDialog(parent) {
  setObjectName("22000");
  setWindowTitle(QString::fromStdString(messages.LoadStringA(97)));
  setWindowIcon(QIcon(":/icons/1001-64.png"));

  auto* icon = Text(this, 1001);
  icon->setPixmap(QPixmap(":/icons/1001-64.png"));
  icon->setAlignment(Qt::AlignTop);

  QLabel* title = Text(this, 22004, messages.LoadStringA(137));
  QFont titleFont = title->font();
  titleFont.setBold(true);
  title->setFont(titleFont);

  std::string versionText = messages.LoadStringA(98);
  std::string name, number, text;
  if (version.GetProductName(name) && version.GetProductVersion(number))
    versionText = name + " " + std::string(Utf8::Truncate(versionText, 127)) + " " + number;
  QLabel* versionLine = Text(this, 22001, versionText);
  QLabel* legal = Text(this, 22002);
  QLabel* special = Text(this, 22003);
  if (version.GetLegalNotice(text))
    legal->setText(QString::fromStdString(text));
  if (version.GetSpecialBuild(text))
    special->setText(QString::fromStdString(text));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* texts = new QVBoxLayout;
  for (QLabel* label : {title, versionLine, legal, special})
    texts->addWidget(label);
  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addSpacing(12);
  top->addLayout(texts, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);

  CenterOnShow(*this);
}
