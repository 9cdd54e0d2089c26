#pragma once

// What the tests of the patient data sheet's window share: a database of
// real tables in a temporary folder (the doctor table in a folder of its
// own), filled and read back through TEngine as another program would, the
// English texts with a recording sink, and the user's hands on the sheet's
// controls, which are found by their ids.

#include "patients/Patient.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "testing/Pictures.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;

class PatientDialogTest : public ::testing::Test {
protected:
  PatientDialogTest();
  // No test leaves a message it did not look at.
  void TearDown() override;

  // Every table of a database: the doctor table in the doctor folder, the
  // others in the database folder.
  void CreateDatabase();
  std::int32_t AddDoctor(const std::string& name, bool treating = true, bool home = false,
                         const std::string& address = "");
  std::int32_t AddPatient(const std::string& name, const std::string& id, const std::string& birthDate,
                          std::int32_t doctorKey);
  // The patient table's rows in name order, read through an engine of its own.
  std::vector<PatientRecordType> Patients();
  std::vector<std::string> PatientNames();

  // Opens the sheet on the database in a layout, as the program does.
  TPatient& Open(short dialogId = 20111, short defaultUnit = 0, short defaultHeight = 170, short defaultWeight = 70);

  // The user's hands.
  QWidget* Control(int id) const;
  QLineEdit* Edit(int id) const;
  QComboBox* Combo(int id) const;
  std::string Shown(int id) const;  // an edit's text or a list's current text
  void Type(int id, const std::string& text);
  void Leave(int id);
  void TypeAndLeave(int id, const std::string& text);
  void Choose(int comboId, const std::string& entry);
  void Command(unsigned id);
  bool Enabled(unsigned id);

  // The texts of the messages shown so far; they count as looked at.
  std::vector<std::string> TakeMessages();
  std::string Text(int number) const { return Texts.LoadStringA(number); }

  TTemporaryFolder Folder;
  std::filesystem::path DatabaseFolder;
  std::filesystem::path DoctorFolder;
  TRecordingSink Sink;
  TMessage Texts;
  std::unique_ptr<TPatient> Sheet;

private:
  std::unique_ptr<TEngine> Engine(std::string_view table, const std::filesystem::path& folder);
};
