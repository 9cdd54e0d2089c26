// The record of the instrument's last calibration, its interval check and
// the reminder shown when a test is started with an expired calibration.

#include "measure/core/MeasureCore.h"

#include "platform/basekit/Message.h"
#include "platform/framework/DatePicture.h"
#include "platform/framework/Profile.h"

#include <QDate>
#include <QDateTime>

#include <charconv>
#include <cstdio>

namespace {


// "%f" as the C locale writes it, whatever locale the program runs in.
std::string FixedSix(float value) {
  char text[64];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                       std::chars_format::fixed, 6);
  return ec == std::errc() ? std::string(text, end) : std::string("0.000000");
}

}  // namespace

TLocalMoment LocalNow() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const QTime time = now.time();
  return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

void TMeasureCore::SetClock(TLocalClock clock) { Now = clock ? std::move(clock) : TLocalClock(LocalNow); }

std::string TMeasureCore::CalibrationSection() const {
  switch (MeasureType) {
  case MEASURE_RHINO: return "Calibration";
  case MEASURE_PLETHY: return "CalibrationOfPlethysmograph";
  case MEASURE_DFC: return "CalibrationOfDiffusionCapacity";
  default: break;
  }
  switch (Instrument) {
  case 4: return "CalibrationOfPlethysmograph";
  case 3: return "CalibrationOfDiffusionCapacity";
  default: return "Calibration";
  }
}

void TMeasureCore::WriteLastCalibrateDateAndTime() {
  TProfile profile(CalibrationSection(), IniFile);
  const TLocalMoment now = Now();
  char text[64];
  std::snprintf(text, sizeof text, "%d.%d.%d.", now.Year, now.Month, now.Day);
  profile.WriteString("LastDate", text);
  std::snprintf(text, sizeof text, "%d:%d:%d", now.Hour, now.Minute, now.Second);
  profile.WriteString("LastTime", text);
  profile.WriteString("FlowInspirationConstans", FixedSix(InspFactor));
  profile.WriteString("FlowExpirationConstans", FixedSix(ExpFactor));

  const bool otherKind = MeasureType != MEASURE_DFC && MeasureType != MEASURE_PLETHY;
  if (MeasureType == MEASURE_DFC || (otherKind && Instrument == 3)) {
    profile.WriteString("FlowInspirationConstansWithGas", FixedSix(InspGasFactor));
    profile.WriteString("COConstans", FixedSix(CoConstans));
    profile.WriteString("HEConstans", FixedSix(HeConstans));
    profile.WriteInt("WarningCounter", WarningCounter);
    profile.WriteInt("FleischPressureLoss", FleischPressureLoss);
    profile.WriteInt("BalloonPressureLoss", BalloonPressureLoss);
  }
  if (MeasureType == MEASURE_PLETHY || (otherKind && Instrument == 4)) {
    profile.WriteString("PBOXref", FixedSix(BoxReferencePressure));
    profile.WriteString("Pbox", FixedSix(BoxConstant));
    profile.WriteString("TIMEconst", FixedSix(TimeConstant));
  }
  profile.Flush();
  Calibrated = true;
  CalibrationWritten = true;
}

void TMeasureCore::ReadLastCalibrateDateAndTime(int* year, int* month, int* day, int* hour, int* minute,
                                                int* second) const {
  const TProfile profile(CalibrationSection(), IniFile);
  char text[100];
  profile.GetString("LastDate", text, sizeof text, "");
  int a = 0, b = 0, c = 0;
  // Each part that scans is kept, as the run-time library's scanner does.
  int parts = text[0] ? std::sscanf(text, "%d.%d.%d.", &a, &b, &c) : 0;
  if (parts >= 1) *year = a;
  if (parts >= 2) *month = b;
  if (parts >= 3) *day = c;
  profile.GetString("LastTime", text, sizeof text, "");
  parts = text[0] ? std::sscanf(text, "%d:%d:%d", &a, &b, &c) : 0;
  if (parts >= 1) *hour = a;
  if (parts >= 2) *minute = b;
  if (parts >= 3) *second = c;
}

bool TMeasureCore::VerifyLastCalibrateDateAndTime(int* year, int* month, int* day, int* hour, int* minute,
                                                  int* second) const {
  if (CalibrationInterval == 0)
    return true;
  ReadLastCalibrateDateAndTime(year, month, day, hour, minute, second);
  const int days = CalibrationInterval / 24;
  const int rest = CalibrationInterval - 24 * days;
  // A stored date that is no calendar date cannot prove a calibration.
  const QDate stored(*year, *month, *day);
  if (!stored.isValid())
    return false;
  const QDate due = stored.addDays(days);
  const TLocalMoment now = Now();
  const QDate today(now.Year, now.Month, now.Day);
  if (today < due)
    return true;
  if (today > due)
    return false;
  return now.Hour - *hour <= rest;
}

bool TMeasureCore::WasInstrumentCalibrating() const {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  return VerifyLastCalibrateDateAndTime(&year, &month, &day, &hour, &minute, &second);
}

bool TMeasureCore::HaveToCalibration() {
  if (!HasInstrument || PrePostMode)
    return false;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (VerifyLastCalibrateDateAndTime(&year, &month, &day, &hour, &minute, &second))
    return false;

  std::string date = DatePictureText.data();
  if (year != 0 || month != 0 || day != 0) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%04d%02d%02d", year, month, day);
    date = DatePicture::Recode(digits, "YYYYMMDD", DatePictureText.data());
  }
  std::string time = TimePictureText.data();
  if (hour != 0 || minute != 0 || second != 0) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%02d%02d%02d", hour, minute, second);
    time = DatePicture::Recode(digits, "HHMMSS", TimePictureText.data());
  }
  if (!Messages)
    return false;
  // The translated texts are joined, never used as a format.
  const std::string text =
      Messages->LoadStringA(147) + "\n\t" + date + " " + time + "\n" + Messages->LoadStringA(148);
  return Messages->MessageBoxText(text, 145, TMessageIcon::Warning, TMessageButtons::YesNo) == IDYES;
}
