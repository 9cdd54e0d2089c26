#pragma once

// What the client controller asks of the windows: the frames of the
// component windows, made, brought up and closed. The MDI client answers
// it with real frames; tests answer it with a record of what was asked.

#include "shell/client/ClientSlot.h"

#include <optional>
#include <string>

class TPatientSheet;
class TEngine;

class TClientWindows {
public:
  virtual ~TClientWindows() = default;

  // Makes the patient sheet in its frame. False when it did not come up
  // (its tables could not be opened, or a sheet is still on its way out);
  // the reason has been given. On success the windows tell the controller
  // with SheetOpened.
  virtual bool OpenPatientFrame() = 0;
  // Makes the note window of the shown patient with the stored note.
  virtual bool OpenNoteFrame(const std::string& note) = 0;
  // Asks the frame of a slot to close; false when it stays open.
  virtual bool CloseFrame(TClientSlot slot) = 0;
  // Makes the frame of a slot the active one.
  virtual void ActivateFrame(TClientSlot slot) = 0;
  // The client comes to the front of the main window.
  virtual void RaiseClient() {}
  // The current examination is forgotten: the next save starts a new one.
  virtual void ForgetExamination() {}

  // The note window: its text when the user changed it (the selection is
  // dropped first, as a store takes the whole text); nothing when unchanged.
  virtual std::optional<std::string> ChangedNote() = 0;
  // The note window stays open when it is asked to close next.
  virtual void KeepNoteOpen() = 0;
};
