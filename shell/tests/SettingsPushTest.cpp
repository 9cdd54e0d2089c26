#include "shell/settings/SettingsPush.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class SettingsPushTest : public ::testing::Test {
protected:
  std::string Ini(const std::string& text) {
    std::ofstream(path) << text;
    return path;
  }

  TTemporaryFolder folder;
  std::string path = (folder / "Halvetra.ini").string();
};

TEST_F(SettingsPushTest, MissingSectionsGiveTheDefaultsWithTheHardwareDependentOnes) {
  const std::string none = (folder / "none.ini").string();
  const TDiffusionSettings old = SettingsPush::ReadDiffusion(none, 0);
  EXPECT_FLOAT_EQ(old.WashOutVolumeL, 0.0f);
  EXPECT_FLOAT_EQ(old.DeadSpaceL, 0.330f);
  EXPECT_FLOAT_EQ(old.Co2ExtractionCorrection, 0.95f);
  EXPECT_FLOAT_EQ(old.FlowThresholdLps, 0.010f);
  EXPECT_EQ(old.HeErrorLimit, 95);
  EXPECT_EQ(old.PreparationTimeTicks, 1500);
  EXPECT_EQ(old.PreparationNumber, 10);
  EXPECT_EQ(old.MeasureNumberAfterFirstWarning, 5);
  EXPECT_EQ(old.BreathHoldTimeTicks, 1000);
  EXPECT_FLOAT_EQ(old.OriginalHeConcentration, 4.8f);
  EXPECT_FLOAT_EQ(old.OriginalCoConcentration, 0.3f);
  EXPECT_FLOAT_EQ(old.GasCollectionVolumeL, 0.8f);
  EXPECT_FLOAT_EQ(old.HeLsbCorrection, 1.0f);
  EXPECT_FLOAT_EQ(old.GasSampleCorrection, 1.0f);
  EXPECT_EQ(old.WashOutTimeThreshold, 20);
  EXPECT_EQ(old.GasSampleTimeThreshold, 20);
  EXPECT_FLOAT_EQ(old.GasInspirationMinVolumeL, 0.5f);
  EXPECT_EQ(old.PumpLowSpeedExtraTimeTicks, 1000);
  EXPECT_FLOAT_EQ(old.MouthPressureFactor, 0.9765625f);
  EXPECT_EQ(old.VacuumForBag, 1000);
  EXPECT_EQ(old.ErrorPressure, 1100);
  // Hardware with bit 4 of its version: 100 / 106, 120 %, 0.6105.
  const TDiffusionSettings later = SettingsPush::ReadDiffusion(none, 0x30);
  EXPECT_FLOAT_EQ(later.HeLsbCorrection, 100.0f / 106.0f);
  EXPECT_FLOAT_EQ(later.GasSampleCorrection, 1.2f);
  EXPECT_FLOAT_EQ(later.MouthPressureFactor, 0.6105f);

  const TPlethysmographSettings p = SettingsPush::ReadPlethysmograph(none);
  EXPECT_FLOAT_EQ(p.VolumeOfCabinL, 960.0f);
  EXPECT_FLOAT_EQ(p.CalibrationVolumeL, 0.150f);
  EXPECT_TRUE(p.EnableAutomaticBTPS);
  EXPECT_EQ(p.NumberOfResistance, 4);
  EXPECT_EQ(p.NumberOfTGV, 4);
  EXPECT_EQ(p.EnableFilter, 1);
  EXPECT_EQ(p.NumberOfFilterCycle, 3);
  EXPECT_EQ(p.Matthys, 0);
  EXPECT_EQ(p.ResistanceLoopSelection, 0);
  EXPECT_EQ(p.DeepExpiration, 1);
  EXPECT_FLOAT_EQ(p.ResistanceOfSensor, 0.020f);
  EXPECT_EQ(p.BarometerOffset, 0);
  EXPECT_FLOAT_EQ(p.VolumeOfSensorL, 0.080f);
  EXPECT_FLOAT_EQ(p.BTPSCorrectionEffect, 0.45f);
  EXPECT_EQ(p.BTPSAutoSetStep, 50);
  EXPECT_FLOAT_EQ(p.InspBTPSFactor, 100.0f / 90.0f);
  EXPECT_EQ(p.EndOfMeasurementWithIVC, 0);
  EXPECT_EQ(p.NumberOfPart, 3);
  EXPECT_FLOAT_EQ(p.MinBoxLeakageTimeS, 3.0f);
  EXPECT_FLOAT_EQ(p.MaxBoxLeakageTimeS, 12.0f);

  const TCalibrationSettings c = SettingsPush::ReadCalibration(none, "Calibration", 0, 5);
  EXPECT_FLOAT_EQ(c.InspFactor, 1.0f);
  EXPECT_FLOAT_EQ(c.ExpFactor, 1.0f);
  EXPECT_EQ(c.TimeOut, 6);
  EXPECT_TRUE(c.CalibrationZoom);
  EXPECT_FALSE(c.HasInspGasFactor);
  EXPECT_FALSE(c.HasBoxReference);
  EXPECT_FALSE(c.CalibrationWarning);
  EXPECT_FLOAT_EQ(c.PBOX, 15.0f);
  EXPECT_FLOAT_EQ(c.TIMEconst, 4.0f);

  const SettingsPush::TNebulizerPush n = SettingsPush::ReadNebulizer(none);
  EXPECT_FLOAT_EQ(n.Settings.HeadPurple, 0.12f);
  EXPECT_FLOAT_EQ(n.Settings.HeadGreen, 0.3f);
  EXPECT_EQ(n.Settings.MouthPressure, 200);
  EXPECT_EQ(n.Settings.UnitOfDose, 0);
  EXPECT_FALSE(n.Install);
  EXPECT_EQ(n.Port, 3);
}

TEST_F(SettingsPushTest, EveryKeyIsReadWithItsScale) {
  const std::string ini = Ini(
      "[Diffusion Capacity Parameters]\nWashOutVolume=750\nDeadSpace=150\nCo2ExtractionCorrection=90\n"
      "FlowTreshold=20\nHeErrorLimit=80\nPreparationTime=12\nPreparationNumber=7\nMeasureNumberAfterFirstWarning=3\n"
      "BreathHoldTime=8\nOriginalHeConcentration=10.0\nOriginalCoConcentration=0.28\nGasCollectionVolume=600\n"
      "CorrectionOfHeLSB=125\nCorrectionOfGasSampleVolume=110\nTressHoldForWashOutTime=30\n"
      "TressHoldForGasSampleTime=40\nGasInspirationMinVolume=0.75\nPumpLowSpeedExtraTime=4\n"
      "MouthPressureFactor=0.5\nVacuumForBag=900\nErrorPressure=1000\n"
      "[Plethysmograph Parameters]\nVolumeOfCabin=800\nCalibrationVolume=50\nEnableAutomaticBTPS=0\n"
      "NumberOfResistance=5\nNumberOfTGV=6\nEnableFilter=0\nNumberOfFilterCycle=2\nMatthys=1\n"
      "ResistanceLoopSelection=2\nDeepExpiration=0\nResistanceOfSensor=25\nBarometerOffset=-12\nVolumeOfSensor=100\n"
      "BTPSCorrectionEffect=50\nBTPSAutoSetStep=70\nInspBTPSCorrectionEffect=80\nEndOfMeasurementWithIVC=1\n"
      "NumberOfPart=4\nMinBoxLeakageTime=2.5\nMaxBoxLeakageTime=10\n"
      "[CalibrationOfDiffusionCapacity]\nFlowInspirationConstans=1.02\nFlowExpirationConstans=0.98\nTimeOut=12\n"
      "CalibrationZoom=0\nFlowInspirationConstansWithGas=1.05\nCOConstans=1.1\nHEConstans=0.9\nWarningCounter=3\n"
      "FleischPressureLoss=7\nBalloonPressureLoss=9\nPBOXref=14\nPBOX=13\nTIMEconst=3.5\n"
      "[Nebulizer]\nHeadPurple=0.2\nHeadGreen=0.4\nMouthPressure=180\nUnitOfDose=1\nInstall=1\nPort=4\n"
      "DelayCycle=2\n");
  const TDiffusionSettings d = SettingsPush::ReadDiffusion(ini, 0);
  EXPECT_FLOAT_EQ(d.WashOutVolumeL, 0.75f);
  EXPECT_FLOAT_EQ(d.DeadSpaceL, 0.15f);
  EXPECT_FLOAT_EQ(d.Co2ExtractionCorrection, 0.90f);
  EXPECT_FLOAT_EQ(d.FlowThresholdLps, 0.02f);
  EXPECT_EQ(d.HeErrorLimit, 80);
  EXPECT_EQ(d.PreparationTimeTicks, 1200);
  EXPECT_EQ(d.PreparationNumber, 7);
  EXPECT_EQ(d.MeasureNumberAfterFirstWarning, 3);
  EXPECT_EQ(d.BreathHoldTimeTicks, 800);
  EXPECT_FLOAT_EQ(d.OriginalHeConcentration, 10.0f);
  EXPECT_FLOAT_EQ(d.OriginalCoConcentration, 0.28f);
  EXPECT_FLOAT_EQ(d.GasCollectionVolumeL, 0.6f);
  EXPECT_FLOAT_EQ(d.HeLsbCorrection, 0.8f);  // 100 / 125
  EXPECT_FLOAT_EQ(d.GasSampleCorrection, 1.1f);
  EXPECT_EQ(d.WashOutTimeThreshold, 30);
  EXPECT_EQ(d.GasSampleTimeThreshold, 40);
  EXPECT_FLOAT_EQ(d.GasInspirationMinVolumeL, 0.75f);
  EXPECT_EQ(d.PumpLowSpeedExtraTimeTicks, 400);
  EXPECT_FLOAT_EQ(d.MouthPressureFactor, 0.5f);
  EXPECT_EQ(d.VacuumForBag, 900);
  EXPECT_EQ(d.ErrorPressure, 1000);

  const TPlethysmographSettings p = SettingsPush::ReadPlethysmograph(ini);
  EXPECT_FLOAT_EQ(p.VolumeOfCabinL, 800.0f);
  EXPECT_FLOAT_EQ(p.CalibrationVolumeL, 0.05f);
  EXPECT_FALSE(p.EnableAutomaticBTPS);
  EXPECT_EQ(p.NumberOfResistance, 5);
  EXPECT_EQ(p.NumberOfTGV, 6);
  EXPECT_EQ(p.EnableFilter, 0);
  EXPECT_EQ(p.NumberOfFilterCycle, 2);
  EXPECT_EQ(p.Matthys, 1);
  EXPECT_EQ(p.ResistanceLoopSelection, 2);
  EXPECT_EQ(p.DeepExpiration, 0);
  EXPECT_FLOAT_EQ(p.ResistanceOfSensor, 0.025f);
  EXPECT_EQ(p.BarometerOffset, -12);
  EXPECT_FLOAT_EQ(p.VolumeOfSensorL, 0.1f);
  EXPECT_FLOAT_EQ(p.BTPSCorrectionEffect, 0.5f);
  EXPECT_EQ(p.BTPSAutoSetStep, 70);
  EXPECT_FLOAT_EQ(p.InspBTPSFactor, 1.25f);  // 100 / 80
  EXPECT_EQ(p.EndOfMeasurementWithIVC, 1);
  EXPECT_EQ(p.NumberOfPart, 4);
  EXPECT_FLOAT_EQ(p.MinBoxLeakageTimeS, 2.5f);
  EXPECT_FLOAT_EQ(p.MaxBoxLeakageTimeS, 10.0f);

  const TCalibrationSettings c = SettingsPush::ReadCalibration(ini, "CalibrationOfDiffusionCapacity", 3, 3);
  EXPECT_FLOAT_EQ(c.InspFactor, 1.02f);
  EXPECT_FLOAT_EQ(c.ExpFactor, 0.98f);
  EXPECT_EQ(c.TimeOut, 12);
  EXPECT_FALSE(c.CalibrationZoom);
  EXPECT_TRUE(c.HasInspGasFactor);
  EXPECT_FLOAT_EQ(c.InspGasFactor, 1.05f);
  EXPECT_FLOAT_EQ(c.CoConstans, 1.1f);
  EXPECT_FLOAT_EQ(c.HeConstans, 0.9f);
  EXPECT_EQ(c.WarningCounter, 3);
  EXPECT_TRUE(c.CalibrationWarning);  // 3 reached the limit of 3
  EXPECT_EQ(c.FleischPressureLoss, 7);
  EXPECT_EQ(c.BalloonPressureLoss, 9);
  EXPECT_FALSE(c.HasBoxReference);  // only a plethysmograph's
  EXPECT_FLOAT_EQ(c.PBOX, 13.0f);
  EXPECT_FLOAT_EQ(c.TIMEconst, 3.5f);
  EXPECT_FALSE(SettingsPush::ReadCalibration(ini, "CalibrationOfDiffusionCapacity", 3, 4).CalibrationWarning);
  const TCalibrationSettings box = SettingsPush::ReadCalibration(ini, "CalibrationOfDiffusionCapacity", 4, 3);
  EXPECT_FALSE(box.HasInspGasFactor);
  EXPECT_FLOAT_EQ(box.InspGasFactor, 1.0f);
  EXPECT_TRUE(box.HasBoxReference);
  EXPECT_FLOAT_EQ(box.PBOXref, 14.0f);

  const SettingsPush::TNebulizerPush n = SettingsPush::ReadNebulizer(ini);
  EXPECT_FLOAT_EQ(n.Settings.HeadPurple, 0.2f);
  EXPECT_FLOAT_EQ(n.Settings.HeadGreen, 0.4f);
  EXPECT_EQ(n.Settings.MouthPressure, 180);
  EXPECT_EQ(n.Settings.UnitOfDose, 1);
  EXPECT_TRUE(n.Install);
  EXPECT_EQ(n.Port, 4);
  EXPECT_EQ(n.DelayCycle, 2);
}

TEST_F(SettingsPushTest, ValuesOutOfRangeTakeSafeOnes) {
  const std::string usb(80, 'U');
  const std::string ini = Ini("[Calibration]\nTimeOut=200\n[Diffusion Capacity Parameters]\nCorrectionOfHeLSB=0\n"
                              "[Plethysmograph Parameters]\nInspBTPSCorrectionEffect=-5\n"
                              "[Hardware]\nPump=0\nIndexOfCalibrationCycle=3\nInstall=1\nDemo=0\nUSBDescription=" +
                              usb + "\n[Audio]\nUSBDescription=" + usb + "\n");
  EXPECT_EQ(SettingsPush::ReadCalibration(ini, "Calibration", 0, 5).TimeOut, 168);
  EXPECT_FLOAT_EQ(SettingsPush::ReadDiffusion(ini, 0).HeLsbCorrection, 1.0f);
  EXPECT_FLOAT_EQ(SettingsPush::ReadDiffusion(ini, 0x10).HeLsbCorrection, 100.0f / 106.0f);
  EXPECT_FLOAT_EQ(SettingsPush::ReadPlethysmograph(ini).InspBTPSFactor, 100.0f / 90.0f);
  const SettingsPush::TLinkPush link = SettingsPush::ReadSpirometerPort(ini, false);
  EXPECT_EQ(link.Spirometer.PumpVolumeL, 3);
  EXPECT_EQ(link.Spirometer.CalibrationCycles, 0);  // the window keeps its count
  EXPECT_EQ(std::string(link.Link.Config.USBDescription.data()), usb.substr(0, 63));
  EXPECT_EQ(SettingsPush::ReadAudioLink(ini, false).USBDescription, usb.substr(0, 63));
}

// A hand-edited constant of "nan" or "inf" would turn every live value
// into nothing: it keeps its default and is named for the window to tell.
TEST_F(SettingsPushTest, ConversionConstantsThatAreNoNumberKeepTheirDefaults) {
  const std::string ini = Ini("[CalibrationOfDiffusionCapacity]\nFlowInspirationConstans=nan\n"
                              "FlowExpirationConstans=inf\nFlowInspirationConstansWithGas=-inf\n"
                              "COConstans=0.97\nHEConstans=NaN\n");
  const TCalibrationSettings c = SettingsPush::ReadCalibration(ini, "CalibrationOfDiffusionCapacity", 3, 5);
  EXPECT_EQ(c.InspFactor, 1.0f);
  EXPECT_EQ(c.ExpFactor, 1.0f);
  EXPECT_EQ(c.InspGasFactor, 1.0f);
  EXPECT_FLOAT_EQ(c.CoConstans, 0.97f);
  EXPECT_EQ(c.HeConstans, 1.0f);
  EXPECT_EQ(c.NotFinite, (std::vector<std::string>{"FlowInspirationConstans", "FlowExpirationConstans",
                                                    "FlowInspirationConstansWithGas", "HEConstans"}));
  EXPECT_TRUE(SettingsPush::ReadCalibration(Ini("[Calibration]\nFlowExpirationConstans=0.98\n"), "Calibration", 0, 5)
                  .NotFinite.empty());
}

// The artefact search runs once for each of its steps: a hand-edited count
// beyond the settings page's 0 or 10 to 1000 is brought to the page's
// nearest and named, so that no evaluation runs for hours.
TEST_F(SettingsPushTest, SearchStepsOutsideThePagesRangeAreBroughtIntoItAndNamed) {
  struct Case {
    const char* text;
    long used;
    bool named;
  };
  for (const Case c : {Case{"0", 0, false}, Case{"10", 10, false}, Case{"75", 75, false}, Case{"1000", 1000, false},
                       Case{"5", 10, true}, Case{"-3", 10, true}, Case{"1001", 1000, true},
                       Case{"1000000000", 1000, true}, Case{"1e300", 1000, true}, Case{"inf", 50, true},
                       Case{"nan", 50, true}}) {
    SCOPED_TRACE(c.text);
    const TPlethysmographSettings p =
        SettingsPush::ReadPlethysmograph(Ini(std::string("[Plethysmograph Parameters]\nBTPSAutoSetStep=") + c.text + "\n"));
    EXPECT_EQ(p.BTPSAutoSetStep, c.used);
    if (c.named)
      EXPECT_EQ(p.Replaced, (std::vector<TPlethysmographSettings::TReplaced>{
                                {"BTPSAutoSetStep", c.text, std::to_string(c.used)}}));
    else
      EXPECT_TRUE(p.Replaced.empty());
  }
  EXPECT_TRUE(SettingsPush::ReadPlethysmograph(Ini("")).Replaced.empty()) << "the default needs no word";
}

// The box evaluation smooths its signals once for each pass: a hand-edited
// count beyond 0 to 100 is brought to the nearest bound and named, so that
// no evaluation runs for hours.
TEST_F(SettingsPushTest, FilterPassesOutsideTheirRangeAreBroughtIntoItAndNamed) {
  struct Case {
    const char* text;
    int used;
    bool named;
  };
  for (const Case c : {Case{"0", 0, false}, Case{"3", 3, false}, Case{"100", 100, false}, Case{"7.9", 7, false},
                       Case{"101", 100, true}, Case{"1000000000", 100, true}, Case{"1e9", 100, true},
                       Case{"1e300", 100, true}, Case{"-1", 0, true}, Case{"-1e12", 0, true}, Case{"inf", 3, true},
                       Case{"nan", 3, true}}) {
    SCOPED_TRACE(c.text);
    const TPlethysmographSettings p = SettingsPush::ReadPlethysmograph(
        Ini(std::string("[Plethysmograph Parameters]\nNumberOfFilterCycle=") + c.text + "\n"));
    EXPECT_EQ(p.NumberOfFilterCycle, c.used);
    if (c.named)
      EXPECT_EQ(p.Replaced, (std::vector<TPlethysmographSettings::TReplaced>{
                                {"NumberOfFilterCycle", c.text, std::to_string(c.used)}}));
    else
      EXPECT_TRUE(p.Replaced.empty());
  }
  // Both counts wrong: each named, in the order they are read.
  const TPlethysmographSettings both = SettingsPush::ReadPlethysmograph(
      Ini("[Plethysmograph Parameters]\nNumberOfFilterCycle=5000\nBTPSAutoSetStep=2000\n"));
  EXPECT_EQ(both.Replaced, (std::vector<TPlethysmographSettings::TReplaced>{
                               {"NumberOfFilterCycle", "5000", "100"}, {"BTPSAutoSetStep", "2000", "1000"}}));
}

TEST_F(SettingsPushTest, LinksOfTheThreeInstruments) {
  const std::string ini = Ini("[Hardware]\nInstall=1\nDemo=0\nPort=2\nBaudRate=4\nInputBuffer=4096\nOutputBuffer=64\n"
                              "DelayCycle=3\nType=1\nVersionOfHardware=17\nUSBDescription=Lung A\nPump=2\n"
                              "BackExtrapolation=1\nShowLostVolume=1\nIndexOfCalibrationCycle=1\n"
                              "[Hardware Diffusion Test]\nInstall=1\nDemo=0\nType=0\n"
                              "[Hardware Plethysmograph]\nInstall=1\nDemo=0\nType=1\nPort=5\n");
  const SettingsPush::TLinkPush spiro = SettingsPush::ReadSpirometerPort(ini, false);
  EXPECT_EQ(spiro.Link.Config.Port, 2);
  EXPECT_EQ(spiro.Link.Config.BaudRate, 4);
  EXPECT_EQ(spiro.Link.Config.InputBuffer, 4096);
  EXPECT_EQ(spiro.Link.Config.OutputBuffer, 64);
  EXPECT_EQ(spiro.Link.Config.DelayCycle, 3);
  EXPECT_EQ(spiro.Link.Config.VersionOfHardware, 17);
  EXPECT_EQ(std::string(spiro.Link.Config.USBDescription.data()), "Lung A");
  EXPECT_EQ(spiro.Link.DeviceKind, 1);
  EXPECT_TRUE(spiro.Link.Live);
  EXPECT_EQ(spiro.Link.StatusWord, 0);
  EXPECT_EQ(spiro.Check, SettingsPush::TPortCheck::Verify);
  EXPECT_EQ(spiro.Spirometer.PumpVolumeL, 2);
  EXPECT_TRUE(spiro.Spirometer.BackExtrapolation);
  EXPECT_TRUE(spiro.Spirometer.ShowLostVolume);
  EXPECT_EQ(spiro.Spirometer.CalibrationCycles, 8);

  // The diffusion unit is checked only after a port test chose its type.
  const SettingsPush::TLinkPush diffusion = SettingsPush::ReadDiffusionPort(ini, false);
  EXPECT_EQ(diffusion.Link.DeviceKind, 3);
  EXPECT_EQ(diffusion.Check, SettingsPush::TPortCheck::Demo);
  EXPECT_EQ(diffusion.Spirometer.PumpVolumeL, 2);  // the spirometer's keys come from [Hardware]
  const SettingsPush::TLinkPush box = SettingsPush::ReadPlethysmographPort(ini, false);
  EXPECT_EQ(box.Link.Config.Port, 5);
  EXPECT_EQ(box.Check, SettingsPush::TPortCheck::Verify);

  // In demonstration nothing is read and the replay takes the instrument's place.
  const SettingsPush::TLinkPush demo = SettingsPush::ReadDiffusionPort(ini, true);
  EXPECT_EQ(demo.Link.Config.VersionOfHardware, 96);
  EXPECT_EQ(demo.Link.Config.Port, 1);
  EXPECT_EQ(demo.Link.StatusWord, 1);
  EXPECT_FALSE(demo.Link.Live);
  EXPECT_FALSE(demo.HasSpirometerKeys);
  EXPECT_EQ(demo.Check, SettingsPush::TPortCheck::Demo);

  // Which link a window reads: by its test, then by its instrument.
  struct Case {
    short type, kind, device;
  };
  for (const Case c : {Case{4, 1, 4}, Case{3, 1, 3}, Case{0, 3, 3}, Case{0, 4, 4}, Case{0, 2, 1}, Case{6, 0, 1}})
    EXPECT_EQ(SettingsPush::ReadMeasureLink(ini, c.type, c.kind, false).Link.DeviceKind, c.device)
        << c.type << ' ' << c.kind;
  // The spirometer's link filters its second pass five times by default.
  EXPECT_EQ(SettingsPush::ReadMeasureSettings(ini, 0, 1, spiro).FilterCyclesSpiro2, 5);
  EXPECT_EQ(SettingsPush::ReadMeasureSettings(ini, 4, 4, box).FilterCyclesSpiro2, 3);
  EXPECT_TRUE(SettingsPush::ReadMeasureSettings(ini, 4, 4, box).BtpsDevice);
}

TEST_F(SettingsPushTest, AudiometerLinkFilterPassesAndMessageSwitch) {
  const std::string ini = Ini("[Audio]\nBaudRate=2\nInputBuffer=4096\nOutputBuffer=256\nPort=6\nInstall=1\nDemo=0\n"
                              "WaitAnswer=45\nUSBDescription=Audio B\n"
                              "[Program]\nNumberOfFilterCycleForSpiro1=2\nNumberOfFilterCycleForSpiro2=4\n"
                              "EnableErrorMsgDuringHwChecking=0\n"
                              "[Hardware Plethysmograph]\nInstall=1\nDemo=1\nPort=3\nDelayCycle=2\n");
  const TAudioLinkSettings audio = SettingsPush::ReadAudioLink(ini, false);
  EXPECT_EQ(audio.BaudRate, 2);
  EXPECT_EQ(audio.InputBuffer, 4096);
  EXPECT_EQ(audio.OutputBuffer, 256);
  EXPECT_EQ(audio.Port, 6);
  EXPECT_TRUE(audio.Live);
  EXPECT_EQ(audio.WaitAnswer, 45);
  EXPECT_EQ(audio.USBDescription, "Audio B");
  // Demonstration: the built-in link, nothing read.
  const TAudioLinkSettings demo = SettingsPush::ReadAudioLink(ini, true);
  EXPECT_EQ(demo.Port, 1);
  EXPECT_FALSE(demo.Live);
  EXPECT_EQ(demo.InputBuffer, 32767);

  const SettingsPush::TLinkPush link = SettingsPush::ReadSpirometerPort(ini, false);
  const TMeasureSettings m = SettingsPush::ReadMeasureSettings(ini, 0, 1, link);
  EXPECT_EQ(m.FilterCyclesSpiro1, 2);
  EXPECT_EQ(m.FilterCyclesSpiro2, 4);
  EXPECT_FALSE(m.HardwareCheckMessages);
  EXPECT_FALSE(m.BtpsDevice);  // the BTPS device is in demonstration
  const SettingsPush::TLinkSettings btps = SettingsPush::ReadBtpsLink(ini);
  EXPECT_EQ(btps.Config.Port, 3);
  EXPECT_EQ(btps.Config.DelayCycle, 2);
  EXPECT_EQ(btps.DeviceKind, 4);
}

TEST_F(SettingsPushTest, CalibrationSectionFitsTheTestAndInstrument) {
  struct Case {
    short type, status, kind;
    const char* section;
  };
  const Case cases[] = {
      {6, 1, 2, "CalibrationOfRhinomanometer"}, {6, 0, 2, "Calibration"},
      {4, 0, 1, "CalibrationOfPlethysmograph"}, {3, 0, 4, "CalibrationOfDiffusionCapacity"},
      {0, 0, 4, "CalibrationOfPlethysmograph"}, {1, 0, 3, "CalibrationOfDiffusionCapacity"},
      {0, 0, 1, "Calibration"},                 {5, 0, 2, "Calibration"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SettingsPush::CalibrationSection(c.type, c.status, c.kind), c.section) << c.type << ' ' << c.kind;
}

}  // namespace
