#pragma once

// The client window of the main frame and the program's main command
// target. It makes the frames of the component windows of the current
// examination; what it decides about them (the close cascade, the
// hand-over, the note, the notes and patient block of the tests) is its
// TClientController's. The commands of the main menu that it answers are
// routed here; those whose windows and dialogs are not built yet say so.

#include "patients/InstituteStruct.h"
#include "platform/framework/EventHandler.h"
#include "shell/ClientController.h"
#include "shell/ClientEnablers.h"
#include "shell/ClientWindows.h"

#include <QMdiArea>
#include <QPointer>

#include <array>
#include <optional>
#include <string>

class THalvetraApp;
class THalvetraMDIChild;
class TPatient;
class TPatientNote;

class THalvetraMDIClient : public QMdiArea, public TEventHandler, private TClientWindows {
public:
  explicit THalvetraMDIClient(THalvetraApp& app);
  ~THalvetraMDIClient() override;

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  // What the client decides; this window only makes, shows and closes frames.
  TClientController& Controller() { return Control; }
  const TClientController& Controller() const { return Control; }

  // Places a component window in a new child frame and activates it.
  THalvetraMDIChild* AddChild(const QString& caption, QWidget* component, bool shrinkToClient);
  // Puts a frame at the top left, at `size` or the client area's, whichever is smaller.
  void PlaceChild(THalvetraMDIChild& child, QSize size) const;
  // Makes the frame the active child; it reports its activation also when
  // it was the active one already.
  void ActivateChild(THalvetraMDIChild* child);

  // The patient data sheet and its frame; null while it is closed.
  TPatient* GetPatient() const;
  THalvetraMDIChild* GetPatientFrame() const;
  // The note window of the shown patient, in its frame; null while closed.
  TPatientNote* GetNote() const;
  THalvetraMDIChild* GetNoteFrame() const;

  // Opens the patient data sheet in its frame, or brings the open one to
  // the top, and applies the hand-over file of "-p" once.
  void CmOpenPatient();
  void CmPatientNote() { Control.CmPatientNote(); }
  void CmNoteClosed() { Control.CmNoteClosed(); }
  // A child frame is being destroyed (wParam: the frame).
  void EvMDIDestroy(TParam1 frame, TParam2);
  TResult EvCloseChildWindows() { return Control.EvCloseChildWindows(); }
  void EvCloseAllTempFiles() { Control.EvCloseAllTempFiles(); }
  bool CanClose() { return Control.CanClose(); }

  // The institute of the printouts' heads, as the settings file keeps it.
  const TTInstituteStruct& GetInstitute() const { return Institute; }
  void ReadInstitute();
  void WriteInstitute();

  // Makes the missing tables of the database the settings name, with a
  // progress window; true when every table is there.
  bool CreateDatabaseTables();

  // What the enablers of the main menu look at, as things stand now; the
  // table files are looked for only `withTableFiles`.
  TClientView View(bool withTableFiles = true) const;

  void CmNotAvailableYet();
  void CmMainMenuEnable(TCommandEnabler& ce);
  // What the status line says of the database: empty while it is whole.
  const std::string& GetDatabaseState() const { return DatabaseState; }
  void CmNewDatabase();
  void CmInstitute();

private:
  // TClientWindows
  bool OpenPatientFrame() override;
  bool OpenNoteFrame(const std::string& note) override;
  bool CloseFrame(TClientSlot slot) override;
  void ActivateFrame(TClientSlot slot) override;
  void RaiseClient() override { raise(); }
  std::optional<std::string> ChangedNote() override;
  void KeepNoteOpen() override;

  QPointer<THalvetraMDIChild>& Frame(TClientSlot slot) { return Frames[static_cast<std::size_t>(slot)]; }
  const QPointer<THalvetraMDIChild>& Frame(TClientSlot slot) const { return Frames[static_cast<std::size_t>(slot)]; }

  void ShowDatabaseState(const TClientView& view);

  THalvetraApp& App;
  TClientController Control;
  std::string DatabaseState;
  TTInstituteStruct Institute;
  // The child frames of the component windows, null when closed.
  std::array<QPointer<THalvetraMDIChild>, ClientSlotCount> Frames;
  QPointer<TPatient> Patient;
  QPointer<TPatientNote> Note;
};
