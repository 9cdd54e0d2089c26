// The three notes of a window: 0 the current test's own, 1 the actual and
// 2 the earlier measurement of a pre/post comparison. A comparison note
// that was never given shows a text of its own and is marked as not set.

#include "measure/core/MeasureCore.h"

#include "platform/basekit/Message.h"
#include "platform/framework/DatePicture.h"
#include "platform/framework/Utf8.h"

#include <cstdio>

void TMeasureCore::SetNote(short which, std::string_view text) {
  const std::string cut(Utf8::Truncate(text, NoteLength));
  switch (which) {
  case 0:
    Notes[0] = cut;
    if (!Printing)
      ShowNote(Notes[0]);
    break;
  case 1:
  case 2: {
    const std::size_t n = static_cast<std::size_t>(which);
    NoteSet[n] = !cut.empty();
    if (NoteSet[n])
      Notes[n] = cut;
    else
      Notes[n] = Messages ? std::string(Utf8::Truncate(Messages->LoadStringA(which == 1 ? 84 : 85), NoteLength)) : "";
    break;
  }
  default: break;
  }
}

const std::string& TMeasureCore::GetNoteText(short which) const {
  static const std::string none;
  return which >= 0 && which <= 2 ? Notes[static_cast<std::size_t>(which)] : none;
}

bool TMeasureCore::IsNoteSet(short which) const {
  return which >= 1 && which <= 2 && NoteSet[static_cast<std::size_t>(which)];
}

void TMeasureCore::SlotDateTime(short slot, std::string& date, std::string& time) const {
  date = DatePictureText.data();
  time = TimePictureText.data();
  if (slot < 0 || slot > 3 || MeasureMode < 0 || MeasureMode > MEASURE_CALIBRATION)
    return;
  const TMeasureDate& d = MeasureDate[static_cast<std::size_t>(MeasureMode)][static_cast<std::size_t>(slot)];
  const TMeasureTime& t = MeasureTime[static_cast<std::size_t>(MeasureMode)][static_cast<std::size_t>(slot)];
  // A trial with a date has a time, even in the first hour after midnight.
  if (d.Year == 0)
    return;
  char digits[32];
  std::snprintf(digits, sizeof digits, "%04d%02d%02d", static_cast<int>(d.Year), d.Month, d.Day);
  date = DatePicture::Recode(digits, "YYYYMMDD", DatePictureText.data());
  std::snprintf(digits, sizeof digits, "%02d%02d%02d", t.Hour, t.Minute, t.Second);
  time = DatePicture::Recode(digits, "HHMMSS", TimePictureText.data());
}

void TMeasureCore::SetDateTimeStr(std::string& date1, std::string& date2, std::string& time1, std::string& time2,
                                  short actualTrial) const {
  SlotDateTime(actualTrial != 0 ? static_cast<short>(actualTrial - 1) : short{-1}, date1, time1);
  SlotDateTime(3, date2, time2);
}

void TMeasureCore::SetDateTimeStrForProvView(std::string& date1, std::string& time1, std::string& date2,
                                             std::string& time2) const {
  SlotDateTime(1, date1, time1);
  SlotDateTime(2, date2, time2);
}

std::string TMeasureCore::PrePostNoteText(std::string_view noteEdit) {
  // Unsaved results: what the user has just typed is the actual note.
  if (Dirty)
    SetNote(1, noteEdit);
  std::string date1, date2, time1, time2;
  SetDateTimeStr(date1, date2, time1, time2, TrialOrder[0]);
  std::string text = date1 + " " + time1 + "\r\n" + GetNoteText(1) + "\r\n" + date2 + " " + time2 + "\r\n" +
                     GetNoteText(2);
  return std::string(Utf8::Truncate(text, 300));
}
