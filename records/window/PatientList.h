#pragma once

// The list of every patient of the database, with the chosen one's
// address; the user deletes a patient with every examination, or copies
// one with every examination into another database. The names come
// through an engine of the list's own on "names.db", so that the sheet's
// cursor stays where it is; a delete or copy checks that the row it acts
// on is still the patient chosen.

#include <QAbstractListModel>
#include <QDialog>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class QListView;
class QPushButton;
class TEngine;
class TMeasureIndex;
class TMessage;
class TOwnPrinter;
struct TTableSet;

// The names of "names.db" in its order, read row by row as the view asks.
class TPatientNamesModel final : public QAbstractListModel {
public:
  TPatientNamesModel(const std::filesystem::path& folder, TMessage* texts, QObject* parent);
  ~TPatientNamesModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // Counts the rows again after a change.
  void Reload();
  TEngine& Engine() const { return *Names; }
  bool IsOpen() const;

private:
  std::unique_ptr<TEngine> Names;
  long Count = 0;
};

class TPatientList final : public QDialog {
public:
  static constexpr int DialogId = 20118;
  static constexpr int ListId = 5560;
  static constexpr int CountId = 5562;
  static constexpr int DeleteId = 5575;
  static constexpr int PrintId = 5576;
  static constexpr int CopyId = 5577;

  struct TSetup {
    std::filesystem::path Folder;  // of the database
    std::string LanguageDriver;    // for the tables a copy makes
    // The sheet's patient table (holding its lock) and its measure tables.
    TEngine* SheetNames = nullptr;
    TMeasureIndex* Index = nullptr;
    std::function<TTableSet()> Tables;
    // Makes a patient the sheet's current one.
    std::function<void(std::int32_t key)> SetPatientKey;
    // Asks where a copy goes; empty: cancelled.
    std::function<std::filesystem::path()> ChooseFolder;
    // The program's printer, so the list prints where every other printout
    // goes; the list keeps one of its own when none is given.
    TOwnPrinter* Printer = nullptr;
  };

  TPatientList(TMessage& texts, TSetup setup, QWidget* parent);
  ~TPatientList() override;

  QListView* List() const { return View; }
  // The patient of a row with its address on the right; the sheet's
  // current patient becomes that one.
  void ShowRecord(int row);
  // Deletes the chosen patient with every examination, in one transaction.
  void CmDelete();
  // Copies the chosen patient into the folder the user chooses.
  void CmCopy();
  // The printing dialog of the list (the print button).
  void CmPrint();
  // Runs the printing dialog in place of its modal loop (tests).
  std::function<void(class TPatientListPrint&)> PrintRunner;

  // The chosen patient as the list's own cursor reads it.
  bool ChosenPatient(struct PatientRecordType& patient) const;

  // Locks the sheet's patient table for the list; false, after text 249,
  // when another user holds it.
  static bool LockForList(TEngine& names, TMessage& texts);

private:
  int CurrentRow() const;
  void ShowCount();
  void Enable();

  TMessage& Texts;
  TSetup Setup;
  TPatientNamesModel* Model;
  QListView* View;
  QLabel* Count;
  std::vector<QLabel*> Address;  // postcode, county, city, street, telephone, identifier
  QPushButton* Delete;
  QPushButton* Print;
  QPushButton* Copy;
  QPushButton* Ok;
  std::unique_ptr<TOwnPrinter> OwnPrinter;
};
