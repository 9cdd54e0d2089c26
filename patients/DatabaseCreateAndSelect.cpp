#include "patients/DatabaseCreateAndSelect.h"

#include "patients/DialogParts.h"
#include "platform/basekit/Message.h"
#include "platform/framework/ui/DialogCentring.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace DialogParts;

namespace {

constexpr int NewDatabaseCaptionText = 108;
constexpr int FilesLabel = 284;
constexpr int BadNameText = 6102;
constexpr int TooLongText = 6001;

}  // namespace

TDatabaseCreateAndSelect::TDatabaseCreateAndSelect(const TMessage& messages, const std::string& iniFile,
                                                   QWidget* parent)
    : QDialog(parent),
      Messages(messages),
      IniFile(iniFile),
      Folders(DatabaseFolders::Read(iniFile, DatabaseFolders::ReadProgramFolder(iniFile))),
      Folder(Named(new QComboBox(this), FolderId)),
      Files(Named(new QListWidget(this), FilesId)),
      Ok(nullptr) {
  setObjectName(QString::number(TemplateId));
  setWindowTitle(Caption(messages, NewDatabaseCaptionText));
  Folder->setEditable(true);
  Folder->setInsertPolicy(QComboBox::NoInsert);
  Folder->lineEdit()->setMaxLength(static_cast<int>(DatabaseFolders::NewNameSize - 1));
  Files->setMinimumHeight(Files->fontMetrics().height() * 12);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Folder);
  layout->addWidget(Label(*this, messages, 5711, FilesLabel, Files));
  layout->addWidget(Files);
  const TButtons buttons = Buttons(*this, messages, HelpId, true);
  Ok = buttons.Ok;
  layout->addWidget(buttons.Box);

  FillDirectoryList();
  connect(Folder, &QComboBox::currentIndexChanged, this, [this] { CmDirectoryChange(); });
  connect(Folder, &QComboBox::editTextChanged, this, [this] { Ok->setEnabled(CmOKEnable()); });
  Ok->setEnabled(CmOKEnable());
  CenterOnShow(*this);
}

void TDatabaseCreateAndSelect::FillDirectoryList() {
  Folder->clear();
  for (const std::string& name : DatabaseFolders::SubFolders(Folders.Common))
    Folder->addItem(QString::fromStdString(name));
  if (Folder->count() == 0)
    return;
  const QString selected = QString::fromStdString(DatabaseFolders::SelectedName(Folders.Database));
  Folder->setCurrentIndex(Folder->findText(selected));
  Folder->setEditText(selected);
  CmDirectoryChange();
}

void TDatabaseCreateAndSelect::CmDirectoryChange() {
  Files->clear();
  if (Folder->currentIndex() < 0)
    return;
  for (const std::string& file : DatabaseFolders::FilesIn(Folders.Common, Folder->currentText().toStdString()))
    Files->addItem(QString::fromStdString(file));
}

bool TDatabaseCreateAndSelect::CmOKEnable() const { return !Folder->currentText().isEmpty(); }

void TDatabaseCreateAndSelect::accept() {
  const std::string name = Folder->currentText().toStdString();
  if (!DatabaseFolders::IsFolderName(name)) {
    Messages.MessageBox(BadNameText, 0, TMessageIcon::Stop);
    Folder->setFocus();
    return;
  }
  const std::string path = DatabaseFolders::FolderPath(Folders.Common, name);
  // The settings must be able to hold the folder before it is made.
  const std::size_t width = DatabaseFolders::FolderFieldSize - 1;
  if (path.size() > width) {
    Messages.MessageBoxText(Messages.Format(TooLongText, {path, std::to_string(width)}), 0, TMessageIcon::Stop);
    return;
  }
  if (!DatabaseFolders::TestDirectory(path, Messages) ||
      !DatabaseFolders::StoreDatabaseFolder(IniFile, Folders.LocalNet != 0, path, Messages))
    return;
  Folders.Database = path;
  QDialog::accept();
}
