#pragma once

// What the MDI client decides, without its windows: which component
// windows are open, that the test windows and the work files go when the
// patient changes or the sheet closes, the patient handed over with "-p",
// the patient's note and whether it is stored, and the measurement notes
// and patient block handed to the tests. The client only makes, shows and
// closes frames (TClientWindows); the patient sheet tells this controller
// when it changes the patient.

#include "common/PredictedData.h"
#include "platform/framework/EventHandler.h"
#include "shell/client/ClientEnablers.h"
#include "shell/client/ClientSlot.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class TClientWindows;
class TEngine;
class TMessage;
class TPatientSheet;
class TWorkFiles;
struct TAppSettings;

class TClientController final : public TEventHandler {
public:
  static constexpr std::size_t NoteSize = 61;

  // The partners are borrowed and outlive the controller.
  TClientController(TMessage& texts, TClientWindows& windows, const TWorkFiles& workFiles);

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  // --- Window slots ---------------------------------------------------------
  bool IsOpen(TClientSlot slot) const { return Open[static_cast<std::size_t>(slot)]; }
  // The windows made or lost a frame. The patient sheet's closing closes
  // every other component window and deletes the work files.
  void SlotOpened(TClientSlot slot);
  void SlotClosed(TClientSlot slot);
  // The sheet in the patient slot: its record flow and its patient table's
  // engine. The controller becomes the client the sheet tells.
  void SheetOpened(TPatientSheet& sheet, TEngine& names);
  TPatientSheet* GetSheet() const { return Sheet; }

  // --- The patient sheet -------------------------------------------------------
  // Opens the sheet, or brings the open one up; then applies the hand-over
  // file when one is named (`handOverPath`, empty for none).
  void CmOpenPatient(const std::string& handOverPath = {});
  // The sheet leaves its patient: the test windows of the previous one
  // close and the work files go (answers 1).
  TResult EvCloseChildWindows();
  // The sheet moved or saved: the work files and the measurement notes go.
  void EvCloseAllTempFiles();

  // --- The patient's note --------------------------------------------------------
  // Opens the shown patient's note, or brings the open note up.
  void CmPatientNote();
  // The note window closes: a changed note is stored with its patient when
  // the user wants it; when it cannot be, the window stays open.
  void CmNoteClosed();
  // Whether the program may end: the note window closes first, as the
  // user decides about a changed note, and a handed-over patient not yet
  // saved is offered for saving.
  bool CanClose();
  // The hand-over file whose patient waits on the sheet to be saved; empty
  // when none does. It is deleted once that save commits.
  const std::string& GetPendingHandOver() const { return PendingHandOver; }

  // --- What the tests are handed -------------------------------------------------
  const std::array<std::string, 3>& GetNotes() const { return Notes; }
  void SetNote(int index, std::string_view note);
  void ClearNotes();
  void ClearMeetRecordKey();
  const std::string& GetMeetRecordKey() const { return MeetRecordKey; }
  const PREDICTED_DATA& GetPatientData() const { return PatientData; }

  // Deletes the work files; the stage files too while no provocation window is open.
  void DeleteTempFiles() const;

  // What the enablers of the main menu look at, as things stand now; the
  // table files are looked for only `withTableFiles`.
  TClientView View(const TAppSettings& settings, bool withTableFiles) const;

  // Closes the test windows (measurement, audiometer, trend, provocation).
  void CloseTestWindows();

private:
  void ApplyHandOverFile(const std::string& path);
  void RemoveHandOverFile();
  // A handed-over patient that is not saved: asks to save him; false when
  // the program must not end now.
  bool MayLeaveHandOver();
  // Stores the note as the memo of its patient's row; false, with a
  // message, when that cannot be done.
  bool StoreNote(const std::string& note);

  TMessage& Texts;
  TClientWindows& Windows;
  const TWorkFiles& WorkFiles;
  std::array<bool, ClientSlotCount> Open{};
  TPatientSheet* Sheet = nullptr;
  TEngine* Names = nullptr;
  std::string PendingHandOver;
  std::int32_t NotePatientKey = 0;  // the patient whose note is open
  std::array<std::string, 3> Notes;
  std::string MeetRecordKey;
  PREDICTED_DATA PatientData;
};
