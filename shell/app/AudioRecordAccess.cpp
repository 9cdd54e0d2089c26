#include "shell/app/AudioRecordAccess.h"

#include "audiometry/window/AudioMeter.h"
#include "shell/app/RecordStateStep.h"

using RecordState::Step;

TAudioRecordAccess::TAudioRecordAccess(TAudioMeter& window) : W(window) { Sync(); }

void TAudioRecordAccess::Sync() {
  TAudioMeter& w = W;
  Step(Record.NewAudiogram, Given.NewAudiogram, [&] { return w.HasUnsavedAudiogram(); },
       [&](bool v) { w.SetAudiogramChanged(v); });
  // The note stored with a new audiogram is the actual test's.
  Step(Record.Note, Given.Note, [&] { return w.Notes()[0]; }, [&](const std::string& v) { w.Notes()[0] = v; });
  for (std::size_t slot = 0; slot < 2; ++slot) {
    Step(Record.SlotNote[slot], Given.SlotNote[slot], [&] { return w.Notes()[slot]; },
         [&](const std::string& v) { w.Notes()[slot] = v; });
    Step(Record.SlotNoteFlag[slot], Given.SlotNoteFlag[slot], [&] { return w.NoteFlags()[slot]; },
         [&](bool v) { w.NoteFlags()[slot] = v; });
  }
  // The pictures the window shows its dates in name the stored texts too.
  const TDisplayFormats& formats = w.GetDisplayFormats();
  if (!formats.DateFormat.empty())
    Record.DatePicture = Given.DatePicture = formats.DateFormat;
  if (!formats.TimeFormat.empty())
    Record.TimePicture = Given.TimePicture = formats.TimeFormat;
}

TAudioAccess::TState& TAudioRecordAccess::State() {
  Sync();
  return Record;
}

int* TAudioRecordAccess::GetTable(int set, int slot) { return W.GetTable(set, slot); }
bool* TAudioRecordAccess::GetFlagTable(int set, int slot) { return W.GetFlagTable(set, slot); }
int TAudioRecordAccess::GetAlgorithm() const { return W.GetAlgorithm(); }
void TAudioRecordAccess::SetAlgorithm(int algorithm) { W.SetAlgorithm(algorithm); }
void TAudioRecordAccess::SetMeasureDate(int slot, int year, unsigned month, unsigned day) {
  W.SetMeasureDate(slot, year, month, day);
}
void TAudioRecordAccess::SetMeasureTime(int slot, unsigned hour, unsigned minute, unsigned second) {
  W.SetMeasureTime(slot, hour, minute, second);
}

void TAudioRecordAccess::RedrawScreenBmp() {
  Sync();
  W.RedrawScreenBmp();
  W.update();
}
