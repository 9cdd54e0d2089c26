#include "measure/tests/MeasureCoreFixture.h"

#include "platform/framework/Profile.h"

#include <filesystem>

namespace {

using Settings = MeasureCoreTest;

TEST_F(Settings, MissingFileGivesEveryDefault) {
  Core.ReadLimits();
  Core.ReadUnitConstans();
  Core.ReadDelayCounterConstans();
  Core.ReadMeasurePenSize();
  Core.ReadDoseUnit();
  EXPECT_EQ(Core.FivFvcLimit, 50);
  EXPECT_EQ(Core.UnitSystem, 0);
  EXPECT_EQ(Core.PortConfig.DelayCounter, 12);
  EXPECT_EQ(Core.PenSize, 1);
  EXPECT_EQ(Core.DoseUnit, 0);
  Core.ReadShutterParams();
  EXPECT_EQ(Core.BreathingRate, 23);
  EXPECT_EQ(TMeasureCore::SoundFrequency, 800);
  EXPECT_EQ(TMeasureCore::SoundTime, 50);
  EXPECT_EQ(Core.MetronomEnable, 1);
  EXPECT_FLOAT_EQ(Core.FlowCorrection, 1.0f);
  EXPECT_FLOAT_EQ(Core.PressureCorrection, 1.0f);
  Core.ReadPlethyShutterParams();
  EXPECT_EQ(Core.BreathingRate, 40);
  EXPECT_TRUE(Sink.Messages.empty());
}

struct TReadCase {
  const char* Section;
  const char* Key;
  const char* Value;
  int Expected;
};

// Each reader's clamp, and what a hand-edited value that is no number gives.
TEST_F(Settings, ReadersClampAndTakeDefaultsForBadValues) {
  const TReadCase cases[] = {
      {"Shutter", "BreathingRate", "5", 10},
      {"Shutter", "BreathingRate", "31", 30},
      {"Shutter", "BreathingRate", "abc", 23},
      {"Plethysmograph Parameters", "BreathingRate", "300", 200},
      {"Plethysmograph Parameters", "BreathingRate", "19", 20},
      {"Plethysmograph Parameters", "BreathingRate", "99999999999", 200},
      {"Shutter", "SoundTime", "100", 60},
      {"Shutter", "SoundTime", "39", 40},
      {"Plethysmograph Parameters", "SoundTime", "-5", 40},
      {"Screen", "PenSizeOfMeasurement", "0", 1},
      {"Screen", "PenSizeOfMeasurement", "-3", 1},
      {"Screen", "PenSizeOfMeasurement", "3", 3},
      {"Screen", "PenSizeOfMeasurement", "wide", 1},
      {"Limit", "PercentOfFIV/FVC", "70", 70},
      {"Limit", "PercentOfFIV/FVC", "", 50},
      {"Hardware", "DelayCounter", "x", 12},
      {"Hardware", "DelayCounter", "20", 20},
      {"Unit of Measurement", "Unit", "1", 1},
      {"Unit of Measurement", "Unit", "7", 0},
      {"Nebulizer", "UnitOfDose", "1", 1},
  };
  for (const TReadCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Section << " " << c.Key << "=" << c.Value);
    WriteIni(std::string("[") + c.Section + "]\n" + c.Key + "=" + c.Value + "\n");
    TMeasureCore core(&Texts, &Client);
    core.SetIniFile(Ini.string());
    core.ReadLimits();
    core.ReadUnitConstans();
    core.ReadDelayCounterConstans();
    core.ReadMeasurePenSize();
    core.ReadDoseUnit();
    const std::string section = c.Section;
    const std::string key = c.Key;
    int actual = 0;
    if (section == "Shutter" || section == "Plethysmograph Parameters") {
      if (section == "Shutter")
        core.ReadShutterParams();
      else
        core.ReadPlethyShutterParams();
      actual = key == "SoundTime" ? TMeasureCore::SoundTime : core.BreathingRate;
    } else if (key == "PenSizeOfMeasurement") {
      actual = core.PenSize;
    } else if (key == "PercentOfFIV/FVC") {
      actual = core.FivFvcLimit;
    } else if (key == "DelayCounter") {
      actual = core.PortConfig.DelayCounter;
    } else if (key == "Unit") {
      actual = core.UnitSystem;
    } else {
      actual = core.DoseUnit;
    }
    EXPECT_EQ(actual, c.Expected);
  }
}

TEST_F(Settings, CorrectionFactorsArePercentages) {
  WriteIni("[Shutter]\nCorrectionOfFlowValue=95\nCorrectionOfPressureValue=110\nMetronomEnable=0\n"
           "SoundFrequency=1200\n");
  Core.ReadShutterParams();
  EXPECT_FLOAT_EQ(Core.FlowCorrection, 0.95f);
  EXPECT_FLOAT_EQ(Core.PressureCorrection, 1.10f);
  EXPECT_EQ(Core.MetronomEnable, 0);
  EXPECT_EQ(TMeasureCore::SoundFrequency, 1200);
}

// A window that never read its unit system leaves the stored one alone.
TEST_F(Settings, AWindowWritesOnlyAUnitSystemItRead) {
  WriteIni("[Unit of Measurement]\nUnit=1\n");
  { TMeasureCore window(&Texts, &Client); window.SetIniFile(Ini.string()); }
  Core.ReadUnitConstans();
  EXPECT_EQ(Core.UnitSystem, 1);
}

TEST_F(Settings, ParameterSetUpReadsTheInstrumentsSet) {
  WriteIni("[Shutter]\nBreathingRate=25\n[Plethysmograph Parameters]\nBreathingRate=60\n"
           "[Calibration]\nLastDate=2026.3.10.\nLastTime=11:0:0\n");
  Core.CalibrationInterval = 24;
  Core.HasInstrument = true;
  Core.InstrumentType = 0x01;  // a plethysmograph
  Core.ReadParameterSettings();
  EXPECT_EQ(Core.BreathingRate, 60);
  EXPECT_TRUE(Core.Calibrated);
  Core.InstrumentType = 0x21;  // a family with its own shutter
  Now = {2026, 3, 12, 0, 0, 0};
  Core.ReadParameterSettings();
  EXPECT_EQ(Core.BreathingRate, 25);
  EXPECT_FALSE(Core.Calibrated);
  Core.InstrumentType = 0;  // a plain spirometer: no reminder state is set here
  Core.Calibrated = true;
  Core.ReadParameterSettings();
  EXPECT_TRUE(Core.Calibrated);
}

TEST_F(Settings, APrintingWindowDrawsWithTheThinPen) {
  WriteIni("[Screen]\nPenSizeOfMeasurement=4\n");
  Core.Printing = true;
  Core.ReadMeasurePenSize();
  EXPECT_EQ(Core.PenSize, 1);
}

TEST_F(Settings, UnitSystemOfAClosingWindowIsReadByTheNextWindow) {
  {
    TMeasureCore window(&Texts, &Client);
    window.SetIniFile(Ini.string());
    window.ReadWindowSettings();
    window.UnitSystem = 1;
  }
  TMeasureCore next(&Texts, &Client);
  next.SetIniFile(Ini.string());
  next.ReadUnitConstans();
  EXPECT_EQ(next.UnitSystem, 1);
}

TEST_F(Settings, AReadOnlyIniFileLosesAndBreaksNothing) {
  const auto folder = UnwritableFolder(Folder);
  if (!folder)
    GTEST_SKIP() << "no unwritable folder on this machine";
  Core.SetIniFile((*folder / "Halvetra.ini").string());
  Core.UnitSystem = 1;
  Core.WriteUnitConstans();
  Core.WriteLastCalibrateDateAndTime();
  Core.ReadUnitConstans();
  EXPECT_EQ(Core.UnitSystem, 0);  // nothing was stored, the default is read
  EXPECT_TRUE(Core.Calibrated);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(Settings, TheIniPathIsCut) {
  Core.SetIniFile(std::string(300, 'a'));
  EXPECT_EQ(Core.GetIniFile().size(), 254u);
}

}  // namespace
