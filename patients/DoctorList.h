#pragma once

// The doctors table as the doctors dialog keeps it: doctor.db in the common
// folder, made when missing, held for this user while the dialog is open
// (another user's doctor lists wait), and shown in name order with the
// code, address and roles of the chosen doctor. The dialog is a thin window
// over this; it answers the view below.

#include "patients/DoctorEntry.h"
#include "platform/dbkit/Engine.h"

#include <cstdint>
#include <string>
#include <vector>

class TMessage;

class TDoctorListView {
public:
  virtual ~TDoctorListView() = default;
  // Runs the input dialog on the entry; false when the user cancelled.
  virtual bool EditDoctor(TDoctorEntry& entry) = 0;
  // The progress window while the table is read.
  virtual void ProgressBegin() = 0;
  virtual void ProgressStep() = 0;
  virtual void ProgressEnd() = 0;
};

struct TDoctorTableSettings {
  std::string Folder;  // the common folder, as the settings write it
  std::string PrivateFolder;
  std::string SettingsFile;
  std::string LanguageDriver;  // for a table that is made here
};

class TDoctorList {
public:
  static constexpr int MaxDoctors = 100;

  // Starts the engine; a failure (shown by the engine) makes the list one
  // that is closing.
  TDoctorList(TMessage& texts, const TDoctorTableSettings& settings, TDoctorListView& view);
  ~TDoctorList();
  TDoctorList(const TDoctorList&) = delete;
  TDoctorList& operator=(const TDoctorList&) = delete;

  // Opens the table (makes it when missing), holds it and reads the list.
  // False, with the list closing, when any of this fails; a table another
  // user holds is told to the user.
  bool OpenDoctorDatabase();
  void CloseDoctorDatabase();
  // Reads the names again and chooses the given one, or the first.
  void DisplayDoctorTable(const std::string& nameToSelect);
  // Shows the doctor of a line of the list.
  void ChangeDoctorName(int index);

  // New, modify and delete, as their buttons run them.
  void AddNewDoctor();
  void ModifyDoctor();
  void DeleteDoctor();
  // Writes the entry as a new row (insert) or over the row under the cursor.
  short AddRecordToDatabase(const TDoctorEntry& entry, bool insert);

  const std::vector<std::string>& GetNames() const { return Names; }
  int GetSelection() const { return Selection; }
  // The chosen doctor (its name is the list's).
  const TDoctorEntry& GetShown() const { return Shown; }
  // "3/7": the chosen line and the count; "0/0" for an empty list.
  std::string Counter() const;

  // Modify, delete and close need a doctor in the list: the patients need
  // one. The dialog closes anyway when the table could not be opened or
  // written, so nobody is kept in it.
  bool CanModify() const { return !Names.empty(); }
  bool CanClose() const { return !Names.empty() || Closing || WriteFailed; }
  bool IsClosing() const { return Closing; }

  TEngine& Engine() { return Table; }

private:
  // A new doctor, or one changed: written, with the input dialog opened
  // again while the name is taken.
  void Edit(TDoctorEntry entry, bool insert);

  TMessage& Texts;
  TDoctorTableSettings Settings;
  TDoctorListView& View;
  TEngine Table;
  std::uint32_t Database = 0;
  std::uint32_t Cursor = 0;
  bool Started = false;
  bool Closing = false;
  bool WriteFailed = false;

  std::vector<std::string> Names;
  int Selection = -1;
  TDoctorEntry Shown;
};
