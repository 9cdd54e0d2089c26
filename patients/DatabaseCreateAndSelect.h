#pragma once

// The database creation and selection dialog: the folders under the common
// folder are the databases; the user picks one, or types the name of a new
// one, and sees what the chosen folder holds. OK makes a missing folder
// (after asking), checks that it can be written and stores it as the
// database folder; the program then makes the tables that are missing.

#include "patients/DatabaseFolders.h"

#include <QDialog>

#include <string>

class QComboBox;
class QListWidget;
class QPushButton;
class TMessage;

class TDatabaseCreateAndSelect final : public QDialog {
public:
  static constexpr int TemplateId = 20120;
  static constexpr int HelpId = 2100;
  static constexpr int FolderId = 5710;
  static constexpr int FilesId = 5712;

  TDatabaseCreateAndSelect(const TMessage& messages, const std::string& iniFile, QWidget* parent);

  void FillDirectoryList();
  void CmDirectoryChange();
  bool CmOKEnable() const;
  void accept() override;

  const DatabaseFolders::TFolders& GetFolders() const { return Folders; }

private:
  const TMessage& Messages;
  std::string IniFile;
  DatabaseFolders::TFolders Folders;
  QComboBox* Folder;
  QListWidget* Files;
  QPushButton* Ok;
};
