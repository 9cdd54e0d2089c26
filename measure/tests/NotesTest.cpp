// The pre/post note window's text: the dates and times of both
// measurements, each over its note.

#include "measure/tests/MeasureCoreFixture.h"

namespace {

using NotesTest = MeasureCoreTest;

TEST_F(NotesTest, DateAndTimeOfEachSlotInTheWindowsPictures) {
  Core.SetMeasureMode(MEASURE_FVC);
  Core.SetMeasureDate(MEASURE_FVC, 1, 2026, 3, 9);
  Core.SetMeasureTime(MEASURE_FVC, 1, 0, 30, 5);  // half past midnight is a time
  Core.SetMeasureDate(MEASURE_FVC, 3, 2025, 11, 2);
  Core.SetMeasureTime(MEASURE_FVC, 3, 14, 5, 0);
  std::string date1, date2, time1, time2;
  Core.SetDateTimeStr(date1, date2, time1, time2, 2);
  EXPECT_EQ(date1, "2026.03.09.");
  EXPECT_EQ(time1, "00:30:05");
  EXPECT_EQ(date2, "2025.11.02.");
  EXPECT_EQ(time2, "14:05:00");
  // No displayed trial, or one without a date: the bare pictures.
  Core.SetDateTimeStr(date1, date2, time1, time2, 0);
  EXPECT_EQ(date1, "YYYY.MM.DD.");
  EXPECT_EQ(time1, "HH:MM:SS");
  Core.SetDateTimeStr(date1, date2, time1, time2, 1);
  EXPECT_EQ(date1, "YYYY.MM.DD.");
}

TEST_F(NotesTest, NoteWindowShowsBothNotesAndWhatWasJustTyped) {
  Core.SetMeasureMode(MEASURE_FVC);
  Core.TrialOrder = {1, 0, 0};
  Core.SetMeasureDate(MEASURE_FVC, 0, 2026, 3, 10);
  Core.SetMeasureTime(MEASURE_FVC, 0, 9, 15, 0);
  Core.SetNote(1, "");
  Core.SetNote(2, "before salbutamol");
  EXPECT_EQ(Core.PrePostNoteText("typed"), "2026.03.10. 09:15:00\r\n" + Texts.LoadStringA(84) +
                                               "\r\nYYYY.MM.DD. HH:MM:SS\r\nbefore salbutamol");
  EXPECT_FALSE(Core.IsNoteSet(1));
  Core.Dirty = true;
  const std::string text = Core.PrePostNoteText(std::string(70, 'n'));
  EXPECT_NE(text.find("\r\n" + std::string(60, 'n') + "\r\n"), std::string::npos);
  EXPECT_TRUE(Core.IsNoteSet(1));
}

}  // namespace
