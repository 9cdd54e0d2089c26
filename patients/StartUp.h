#pragma once

// The start-up settings dialog: the language of the program, the language
// driver of the database, the kind of patient data sheet and the unit
// system. The driver is chosen once, while the database has none; then its
// list only shows it. OK needs a driver entry "description,name".

#include "patients/StartUpStruct.h"

#include <QDialog>

#include <filesystem>
#include <string>
#include <vector>

class QComboBox;
class TMessage;

class TStartUp final : public QDialog {
public:
  static constexpr int TemplateId = 20114;
  static constexpr int HelpId = 2119;
  static constexpr int UnitId = 5460;
  static constexpr int SheetKindId = 5462;
  static constexpr int LanguageId = 5464;
  static constexpr int DriverId = 5466;

  // The language drivers come from the database engine, started on the
  // private folder of the values; the languages offered are those whose
  // texts are in the language folder.
  TStartUp(TMessage& messages, QWidget* parent, TStartUpStruct& values, const std::filesystem::path& languageFolder);
  // The same with the drivers and the languages given.
  TStartUp(TMessage& messages, QWidget* parent, TStartUpStruct& values, const std::vector<std::string>& drivers,
           const std::vector<std::string>& languages);

  // The drivers' list of the database engine; empty when it cannot start.
  static std::vector<std::string> LoadLanguageDrivers(TMessage& messages, const std::string& privateFolder);

  void CmChangeLanguage();
  void accept() override;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void CloseWhenIdle();

  TMessage& Messages;
  TStartUpStruct& Values;
  std::vector<std::string> Drivers;
  QComboBox* Language;
  QComboBox* Driver;
  QComboBox* SheetKind;
  QComboBox* Unit;
  bool ClosePending = false;
};
