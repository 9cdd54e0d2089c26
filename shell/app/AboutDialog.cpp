#include "shell/app/AboutDialog.h"

#include "platform/basekit/Message.h"
#include "platform/framework/Utf8.h"
#include "platform/framework/ui/DialogCentring.h"
#include "shell/settings/ProjectVersion.h"
#include "shell/app/CommandIcons.h"
#include "shell/app/VersionBlock.h"

#include <QDialogButtonBox>
#include <QLayout>
#include <QPushButton>

THalvetraAboutDlg::THalvetraAboutDlg(const TMessage& messages, QWidget* parent, const TProjectRCVersion& version)
    : QDialog(parent) {
  setObjectName("22000");
  setWindowTitle(QString::fromStdString(messages.LoadStringA(97)));
  setWindowIcon(ProgramIcon());

  std::string versionLine = messages.LoadStringA(98);
  std::string name, number;
  if (version.GetProductName(name) && version.GetProductVersion(number))
    versionLine = name + " " + std::string(Utf8::Truncate(versionLine, 127)) + " " + number;
  QBoxLayout* layout = LayOutVersionBlock(*this, TVersionTexts::Of(version, messages.LoadStringA(137), versionLine), 1.0);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);

  CenterOnShow(*this);
}
