#include "measure/tests/MeasureCoreFixture.h"

#include "platform/framework/Profile.h"
#include "platform/framework/WindowMessages.h"

namespace {

using Calibration = MeasureCoreTest;

TEST_F(Calibration, SectionFollowsTheKindThenTheInstrument) {
  struct TCase {
    short Kind;
    short Instrument;
    const char* Section;
  };
  const TCase cases[] = {
      {MEASURE_RHINO, 4, "Calibration"},
      {MEASURE_PLETHY, 1, "CalibrationOfPlethysmograph"},
      {MEASURE_DFC, 4, "CalibrationOfDiffusionCapacity"},
      {MEASURE_FVC, 1, "Calibration"},
      {MEASURE_FVC, 2, "Calibration"},
      {MEASURE_VC, 3, "CalibrationOfDiffusionCapacity"},
      {MEASURE_MVV, 4, "CalibrationOfPlethysmograph"},
      {MEASURE_SHUTTER, 3, "CalibrationOfDiffusionCapacity"},
      {MEASURE_CALIBRATION, 4, "CalibrationOfPlethysmograph"},
  };
  for (const TCase& c : cases) {
    Core.SetMeasureMode(c.Kind);
    Core.SetInstrument(c.Instrument);
    EXPECT_EQ(Core.CalibrationSection(), c.Section) << "kind " << c.Kind << " instrument " << c.Instrument;
  }
}

// The keys of a record by kind and instrument, as another program reading
// the file finds them.
TEST_F(Calibration, RecordKeysByKindAndInstrument) {
  Now = {2026, 3, 7, 9, 5, 3};
  Core.InspFactor = 1.025f;
  Core.ExpFactor = 0.5f;
  Core.InspGasFactor = 2.0f;
  Core.CoConstans = 0.25f;
  Core.HeConstans = 1.5f;
  Core.WarningCounter = 3;
  Core.FleischPressureLoss = 12;
  Core.BalloonPressureLoss = 7;
  Core.BoxReferencePressure = 101.5f;
  Core.BoxConstant = 4.0f;
  Core.TimeConstant = 0.125f;

  Core.SetMeasureMode(MEASURE_FVC);
  Core.SetInstrument(1);
  Core.WriteLastCalibrateDateAndTime();
  EXPECT_TRUE(Core.Calibrated);
  EXPECT_TRUE(Core.CalibrationWritten);
  const TProfile spiro("Calibration", Ini.string());
  EXPECT_EQ(spiro.GetString("LastDate"), "2026.3.7.");
  EXPECT_EQ(spiro.GetString("LastTime"), "9:5:3");
  EXPECT_EQ(spiro.GetString("FlowInspirationConstans"), "1.025000");
  EXPECT_EQ(spiro.GetString("FlowExpirationConstans"), "0.500000");
  EXPECT_EQ(spiro.GetString("COConstans", "none"), "none");
  EXPECT_EQ(spiro.GetString("Pbox", "none"), "none");

  Core.SetMeasureMode(MEASURE_VC);
  Core.SetInstrument(3);
  Core.WriteLastCalibrateDateAndTime();
  const TProfile diffusion("CalibrationOfDiffusionCapacity", Ini.string());
  EXPECT_EQ(diffusion.GetString("FlowInspirationConstansWithGas"), "2.000000");
  EXPECT_EQ(diffusion.GetString("COConstans"), "0.250000");
  EXPECT_EQ(diffusion.GetString("HEConstans"), "1.500000");
  EXPECT_EQ(diffusion.GetInt("WarningCounter"), 3);
  EXPECT_EQ(diffusion.GetInt("FleischPressureLoss"), 12);
  EXPECT_EQ(diffusion.GetInt("BalloonPressureLoss"), 7);
  EXPECT_EQ(diffusion.GetString("Pbox", "none"), "none");

  Core.SetMeasureMode(MEASURE_PLETHY);
  Core.SetInstrument(3);  // the kind wins over the instrument
  Core.WriteLastCalibrateDateAndTime();
  const TProfile plethy("CalibrationOfPlethysmograph", Ini.string());
  EXPECT_EQ(plethy.GetString("PBOXref"), "101.500000");
  EXPECT_EQ(plethy.GetString("Pbox"), "4.000000");
  EXPECT_EQ(plethy.GetString("TIMEconst"), "0.125000");
  EXPECT_EQ(plethy.GetString("COConstans", "none"), "none");
  EXPECT_EQ(plethy.GetString("FlowExpirationConstans"), "0.500000");
}

TEST_F(Calibration, ReadingLeavesMissingOrBadPartsAlone) {
  WriteIni("[Calibration]\nLastDate=2025.11.2.\nLastTime=\n");
  int year = -1, month = -1, day = -1, hour = -1, minute = -1, second = -1;
  Core.ReadLastCalibrateDateAndTime(&year, &month, &day, &hour, &minute, &second);
  EXPECT_EQ(year, 2025);
  EXPECT_EQ(month, 11);
  EXPECT_EQ(day, 2);
  EXPECT_EQ(hour, -1);
  EXPECT_EQ(minute, -1);
  EXPECT_EQ(second, -1);

  WriteIni("[Calibration]\nLastDate=yesterday\nLastTime=10:30\n");
  year = month = day = hour = minute = second = -1;
  Core.ReadLastCalibrateDateAndTime(&year, &month, &day, &hour, &minute, &second);
  EXPECT_EQ(year, -1);
  EXPECT_EQ(hour, 10);
  EXPECT_EQ(minute, 30);
  EXPECT_EQ(second, -1);
}

struct TIntervalCase {
  const char* Name;
  short Hours;
  const char* LastDate;
  const char* LastTime;
  TLocalMoment Now;
  bool Valid;
};

TEST_F(Calibration, IntervalCasesOnTheClock) {
  const TIntervalCase cases[] = {
      {"24 h, next day before the hour", 24, "2026.3.9.", "10:0:0", {2026, 3, 10, 9, 0, 0}, true},
      {"24 h, next day within the hour", 24, "2026.3.9.", "10:0:0", {2026, 3, 10, 10, 59, 59}, true},
      {"24 h, next day after the hour", 24, "2026.3.9.", "10:0:0", {2026, 3, 10, 11, 0, 0}, false},
      {"24 h, two days later", 24, "2026.3.9.", "10:0:0", {2026, 3, 11, 0, 0, 0}, false},
      {"24 h, same day", 24, "2026.3.9.", "10:0:0", {2026, 3, 9, 23, 0, 0}, true},
      {"30 h, next day late", 30, "2026.3.9.", "20:0:0", {2026, 3, 10, 23, 59, 0}, true},
      {"30 h, two days later", 30, "2026.3.9.", "20:0:0", {2026, 3, 11, 0, 0, 0}, false},
      {"24 h across a year's end", 24, "2025.12.31.", "8:0:0", {2026, 1, 1, 8, 0, 0}, true},
      {"24 h across February", 24, "2024.2.28.", "8:0:0", {2024, 3, 1, 0, 0, 0}, false},
      {"no stored date", 24, nullptr, nullptr, {2026, 3, 10, 9, 0, 0}, false},
      {"no calendar date", 24, "2026.2.30.", "8:0:0", {2026, 2, 28, 8, 0, 0}, false},
      {"a date from far ahead", 24, "2030.1.1.", "8:0:0", {2026, 2, 28, 8, 0, 0}, true},
  };
  for (const TIntervalCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::string ini = "[Calibration]\n";
    if (c.LastDate)
      ini += std::string("LastDate=") + c.LastDate + "\nLastTime=" + c.LastTime + "\n";
    WriteIni(ini);
    Core.CalibrationInterval = c.Hours;
    Now = c.Now;
    EXPECT_EQ(Core.WasInstrumentCalibrating(), c.Valid);
  }
}

TEST_F(Calibration, IntervalZeroNeverReminds) {
  Core.CalibrationInterval = 0;
  Core.HasInstrument = true;
  EXPECT_TRUE(Core.WasInstrumentCalibrating());
  EXPECT_FALSE(Core.HaveToCalibration());
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(Calibration, ReminderShowsTheLastCalibrationInTheWindowsPictures) {
  WriteIni("[Calibration]\nLastDate=2026.3.7.\nLastTime=9:5:3\n");
  Core.CalibrationInterval = 24;
  Core.HasInstrument = true;
  Core.SetDateFormatStr("DD/MM/YYYY");
  Core.SetTimeFormatStr("HH.MM");
  Sink.Answer = IDYES;
  EXPECT_TRUE(Core.HaveToCalibration());
  ASSERT_EQ(Sink.Messages.size(), 1u);
  const TUserMessage& shown = Sink.Messages[0];
  EXPECT_EQ(shown.Text, Texts.LoadStringA(147) + "\n\t07/03/2026 09.05\n" + Texts.LoadStringA(148));
  EXPECT_EQ(shown.Caption, Texts.LoadStringA(145));
  EXPECT_EQ(shown.Buttons, TMessageButtons::YesNo);
  EXPECT_EQ(shown.Icon, TMessageIcon::Warning);

  Sink.Answer = IDNO;
  EXPECT_FALSE(Core.HaveToCalibration());
  Sink.Messages.clear();
}

TEST_F(Calibration, ReminderWithoutARecordShowsThePictures) {
  Core.CalibrationInterval = 8;
  Core.HasInstrument = true;
  Core.SetDateFormatStr("DD.MM.YYYY");
  Core.SetTimeFormatStr("HH:MM:SS");
  Sink.Answer = IDNO;
  EXPECT_FALSE(Core.HaveToCalibration());
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_NE(Sink.Messages[0].Text.find("\n\tDD.MM.YYYY HH:MM:SS\n"), std::string::npos);
  Sink.Messages.clear();
}

TEST_F(Calibration, ReminderNeverInDemonstrationOrComparison) {
  Core.CalibrationInterval = 8;
  Core.HasInstrument = false;
  EXPECT_FALSE(Core.HaveToCalibration());
  Core.HasInstrument = true;
  Core.PrePostMode = true;
  EXPECT_FALSE(Core.HaveToCalibration());
  EXPECT_TRUE(Sink.Messages.empty());
}

// A translated text with a stray percent sign reaches the user as written.
TEST_F(Calibration, ReminderFormatsNoTranslatedText) {
  TTemporaryFolder lang;
  lang.Write("Test.txt", "language=0\n145=Warning\n147=100% %s %d expired\n148=Now?\n");
  TMessage texts("Test", lang.Path());
  texts.SetSink(&Sink);
  TMeasureCore core(&texts, &Client);
  core.SetIniFile(Ini.string());
  core.SetClock([this] { return Now; });
  core.CalibrationInterval = 8;
  core.HasInstrument = true;
  core.HaveToCalibration();
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text.rfind("100% %s %d expired\n\t", 0), 0u);
  Sink.Messages.clear();
}

}  // namespace
