#pragma once

// The database location dialog: whether the database lies on a local drive
// or on the network. OK stores the choice in the settings file's [Path]
// section; the program reads its folders again afterwards.

#include "patients/DatabaseFolders.h"

#include <QDialog>

#include <string>

class QRadioButton;
class TMessage;

class TLocationDatabase final : public QDialog {
public:
  static constexpr int TemplateId = 20142;
  static constexpr int HelpId = 2121;
  static constexpr int NetworkId = 5775;
  static constexpr int LocalId = 5776;

  // The network folders are derived from the database engine's network
  // folder, unless `networkFolder` is given.
  TLocationDatabase(TMessage& messages, const std::string& iniFile, QWidget* parent,
                    DatabaseFolders::TNetworkFolder networkFolder = {});

  void accept() override;

private:
  std::optional<std::string> EngineNetworkFolder() const;

  TMessage& Messages;
  std::string IniFile;
  DatabaseFolders::TNetworkFolder NetworkFolder;
  QRadioButton* Local;
  QRadioButton* Network;
};
