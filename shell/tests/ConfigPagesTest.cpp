// The decisions of the configuration pages without a display or an
// instrument: the hardware status of each sheet, the port list and what a
// choice does, the parameter pages' ranges, and the USB description's
// actions on a programmer that tests drive.

#include "shell/sheets/ConfigPageModel.h"
#include "shell/sheets/NebulizerPageModel.h"
#include "shell/sheets/TestParameters.h"
#include "shell/sheets/UsbDescriptionActions.h"

#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"
#include "platform/ftdi/FtdiProgrammer.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

class ConfigPages : public ::testing::Test {
protected:
  ConfigPages() { Texts.SetSink(&Sink); }
  ~ConfigPages() override { EXPECT_TRUE(Sink.Messages.empty()) << Sink.Messages.front().Text; }

  std::string Ini(const std::string& text) { return Folder.Write("Halvetra.ini", text).string(); }
  std::string Key(const char* section, const char* key) {
    return TProfile(section, (Folder / "Halvetra.ini").string()).GetString(key, "<none>");
  }
  TConfigPageModel Page(bool demo, short kind, std::vector<std::string> devices = {}) {
    return TConfigPageModel(
        demo, Texts, (Folder / "Halvetra.ini").string(), kind,
        [devices] { return TFtdiDevice::TList{devices, {}}; }, Folder.Path());
  }
  void WriteDemoFiles() {
    for (const std::string& name : TConfigPageModel::DemoFiles())
      Folder.Write(name, "x");
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
};

TEST_F(ConfigPages, TheHardwareStatusOfEachKindWithItsDefaultsAndTheSpirometersSharedKeys) {
  Ini("[Hardware]\nPump=5\nIndexOfCalibrationCycle=0\nBackExtrapolation=1\n"
      "[Hardware Diffusion Test]\nPort=4\nUSBDescription=USB Diffusion Test\n");
  const struct {
    short Kind;
    short Install, Port;
    const char* Usb;
  } cases[] = {{0, 1, 1, ""}, {1, 0, 4, "USB Diffusion Test"}, {2, 0, 1, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Kind);
    const THardwareStatus s = HardwareStatus::Read((Folder / "Halvetra.ini").string(), c.Kind);
    EXPECT_EQ(s.Install, c.Install);
    EXPECT_EQ(s.Demo, 1);
    EXPECT_EQ(s.Port, c.Port);
    EXPECT_EQ(s.USBDescription, c.Usb);
    EXPECT_EQ(s.BaudRate, 3);
    EXPECT_EQ(s.DelayCounter, 12);
    // The spirometer's settings come from "Hardware" on every sheet.
    EXPECT_EQ(s.Pump, 5);
    EXPECT_EQ(s.IndexOfCalibrationCycle, 0);
    EXPECT_EQ(s.BackExtrapolation, 1);
  }

  // Writing: Mode 7 in demonstration; the diffusion sheet puts the
  // spirometer's keys into "Hardware", DelayCycle only on the spirometer's.
  THardwareStatus s;
  s.Install = 1;
  s.Demo = 1;
  s.Mode = 2;
  s.Pump = 2;
  s.Port = 3;
  s.DelayCycle = 9;
  ASSERT_EQ(HardwareStatus::Write((Folder / "Halvetra.ini").string(), 1, s), "");
  EXPECT_EQ(Key("Hardware Diffusion Test", "Mode"), "7");
  EXPECT_EQ(Key("Hardware Diffusion Test", "Port"), "3");
  EXPECT_EQ(Key("Hardware Diffusion Test", "DelayCycle"), "<none>");
  EXPECT_EQ(Key("Hardware Diffusion Test", "Pump"), "<none>");
  EXPECT_EQ(Key("Hardware", "Pump"), "2");
  EXPECT_EQ(Key("Hardware Diffusion Test", "BaudRate"), "<none>") << "never written by the page";
  s.Demo = 0;
  ASSERT_EQ(HardwareStatus::Write((Folder / "Halvetra.ini").string(), 0, s), "");
  EXPECT_EQ(Key("Hardware", "Mode"), "2");
  EXPECT_EQ(Key("Hardware", "DelayCycle"), "9");
}

TEST_F(ConfigPages, ThePortListOffersTheFittingUsbDevicesAndAChoiceSetsTheStatus) {
  WriteDemoFiles();
  Ini("[Hardware]\nInstall=0\n");
  const std::vector<std::string> devices = {"USB Audiometer", "USB Spirometer", "USB Rhinomanometer",
                                            "USB Plethysmograph", "USB Spirometer 2"};
  TConfigPageModel page = Page(false, 0, devices);
  page.Setup();
  const std::vector<std::string> expected = {Texts.LoadStringA(308), "DEMO", "COM1", "COM2", "COM3", "COM4", "COM5",
                                             "COM6", "USB Spirometer", "USB Rhinomanometer", "USB Spirometer 2"};
  EXPECT_EQ(page.PortEntries(), expected) << "every fitting device, not a fixed count";
  EXPECT_EQ(page.Selected(), 0);
  EXPECT_FALSE(page.TestEnabled());

  // none → COM3 → USB → DEMO → none
  page.SelectPort(4);
  EXPECT_EQ(page.Status().Port, 2);
  EXPECT_EQ(page.Status().Install, 1);
  EXPECT_EQ(page.Status().Demo, 0);
  EXPECT_TRUE(page.TestEnabled());
  EXPECT_EQ(page.StatusLine(), Texts.LoadStringA(34));
  page.SelectPort(10);
  EXPECT_EQ(page.Status().Port, 6);
  EXPECT_EQ(page.Status().USBDescription, "USB Spirometer 2");
  page.SelectPort(1);
  EXPECT_EQ(page.Status().Install, 1);
  EXPECT_EQ(page.Status().Demo, 1);
  EXPECT_EQ(page.Status().Type, 0);
  EXPECT_FALSE(page.TestEnabled());
  EXPECT_EQ(page.StatusLine(), Texts.LoadStringA(37));
  page.SelectPort(0);
  EXPECT_EQ(page.Status().Install, 0);
  EXPECT_EQ(page.Status().Demo, 0);
  EXPECT_EQ(page.Status().VersionOfHardware, 0);
  EXPECT_EQ(page.StatusLine(), "");

  // The other sheets take only their own devices.
  EXPECT_EQ(Page(false, 1, {"USB Diffusion Test", "USB Spirometer"}).PortEntries().size(), 0u) << "before Setup";
  TConfigPageModel diffusion = Page(false, 1, {"USB Diffusion Test", "USB Spirometer"});
  diffusion.Setup();
  EXPECT_EQ(diffusion.PortEntries().back(), "USB Diffusion Test");
  EXPECT_EQ(diffusion.PortEntries().size(), 9u);
}

TEST_F(ConfigPages, AStoredUsbPortSelectsItsOwnDeviceOrNone) {
  // The port test of a USB device that is not there does not pass; this
  // test is about the selection alone, so the section is not live.
  const std::string ini = "[Hardware Plethysmograph]\nInstall=1\nDemo=0\nPort=6\nUSBDescription=USB Plethysmograph B\n";
  Ini(ini);
  TConfigPageModel page = Page(false, 2, {"USB Plethysmograph A", "USB Plethysmograph B"});
  page.Setup();
  EXPECT_EQ(page.Selected(), 9);
  Ini(ini);  // the failed test of the device wrote demonstration
  TConfigPageModel absent = Page(false, 2, {"USB Plethysmograph A"});
  absent.Setup();
  EXPECT_EQ(absent.Selected(), -1);
  EXPECT_TRUE(absent.TestEnabled());
}

// The page looks for the demonstration files where the replay reads them:
// beside the program, where the build makes them. It used to look in the
// working folder and call them missing while every replay worked.
TEST_F(ConfigPages, TheDemonstrationFilesAreLookedForWhereTheReplayReadsThem) {
  for (short kind = 0; kind <= 6; ++kind)
    ASSERT_TRUE(std::filesystem::exists(DemoReplay::DemoFolder() / DemoReplay::DemoFileName(kind)))
        << DemoReplay::DemoFileName(kind) << " is made by the build";
  Ini("[Hardware]\nInstall=1\nDemo=1\n");
  TConfigPageModel page(false, Texts, (Folder / "Halvetra.ini").string(), 0,
                        [] { return TFtdiDevice::TList{}; });
  page.Setup();
  page.SelectPort(1);
  EXPECT_EQ(page.StatusLine(), Texts.LoadStringA(37));
  EXPECT_FALSE(std::filesystem::exists(Folder / "FvcDemo.bin")) << "none in the working folder";
}

TEST_F(ConfigPages, DemonstrationNamesEveryDemoFileWhenOneIsMissingAndTheSwitchWritesNothing) {
  Ini("[Hardware Diffusion Test]\nInstall=1\nDemo=1\n");
  TConfigPageModel page = Page(false, 1);
  page.Setup();
  std::string expected = Texts.LoadStringA(38) + " " + Texts.LoadStringA(163);
  for (const int number : {39, 40, 41, 470, 82, 481, 409})
    expected += "\n\t" + Texts.LoadStringA(number);
  EXPECT_EQ(page.StatusLine(), expected) << "all seven missing";
  EXPECT_EQ(page.Status().VersionOfHardware, 97);
  WriteDemoFiles();
  page.SelectPort(1);
  EXPECT_EQ(page.StatusLine(), Texts.LoadStringA(37));
  std::filesystem::remove(Folder / "ShDemo.bin");
  page.SelectPort(1);
  EXPECT_EQ(page.StatusLine(), expected) << "one missing names them all";

  // The demonstration switch: only DEMO, its built-in values, nothing written.
  const std::string before = TTemporaryFolder::Read(Folder / "Halvetra.ini");
  TConfigPageModel demo = Page(true, 2);
  demo.Setup();
  EXPECT_EQ(demo.PortEntries(), std::vector<std::string>{"DEMO"});
  EXPECT_EQ(demo.Selected(), 0);
  EXPECT_EQ(demo.Status().VersionOfHardware, 1);
  demo.CheckComPort();
  EXPECT_EQ(demo.WriteHardwareStatus(), "");
  EXPECT_EQ(TTemporaryFolder::Read(Folder / "Halvetra.ini"), before);
}

TEST_F(ConfigPages, ThePumpTakesOneToNineAndTheListsTheirIndexes) {
  Ini("");
  TConfigPageModel page = Page(false, 0);
  for (const auto& [text, pump] : std::vector<std::pair<std::string, short>>{
           {"2", 2}, {"9", 9}, {"0", 9}, {"", 9}, {"x", 9}, {"45", 4}, {"-1", 4}}) {
    page.SetPumpText(text);
    EXPECT_EQ(page.Status().Pump, pump) << "'" << text << "'";
  }
  page.SetCalibrationCycle(1);
  page.SetBackExtrapolation(1);
  page.SetCalibrationCycle(3);
  EXPECT_EQ(page.Status().IndexOfCalibrationCycle, 1);
  EXPECT_EQ(page.Status().BackExtrapolation, 1);
}

TEST_F(ConfigPages, TheNebulizerPageReadsItsSectionAndShowsANewerInstrumentsPortAsOne) {
  Ini("[Nebulizer]\nInstall=0\nHeadPurple=0.2\nUnitOfDose=1\n[Hardware]\nInstall=1\nDemo=0\nMode=2\nVersionOfHardware=17\n");
  TNebulizerPageModel page(false, Texts, (Folder / "Halvetra.ini").string(), 0);
  EXPECT_TRUE(page.InstrumentDrivesNebulizer());
  EXPECT_EQ(page.Values().HeadPurple, "0.2");
  EXPECT_EQ(page.Values().HeadGreen, "0.3");
  EXPECT_EQ(page.Values().UnitOfDose, 1);
  page.Setup();
  EXPECT_EQ(page.Models(), (std::vector<std::string>{Texts.LoadStringA(308), "Vaporex"}));
  EXPECT_EQ(page.Selected(), 0);
  EXPECT_FALSE(page.TestEnabled());
  EXPECT_EQ(page.StatusLine(), Texts.LoadStringA(37));

  // Under the demonstration switch: only "none", and nothing is written.
  TNebulizerPageModel demo(true, Texts, (Folder / "Halvetra.ini").string(), 0);
  demo.Setup();
  EXPECT_EQ(demo.Models().size(), 1u);
  demo.SetHeadGreen("9");
  EXPECT_EQ(demo.WriteHardwareStatus(), "");
  EXPECT_EQ(Key("Nebulizer", "HeadGreen"), "<none>");
}

TEST_F(ConfigPages, ADemonstrationInstrumentFailsTheNebulizerTestAndStoresItOff) {
  Ini("[Nebulizer]\nInstall=1\nPort=3\n[Hardware Plethysmograph]\nInstall=1\nDemo=1\nMode=7\nVersionOfHardware=1\n");
  TNebulizerPageModel page(false, Texts, (Folder / "Halvetra.ini").string(), 2);
  page.Setup();
  EXPECT_EQ(page.Selected(), 1) << "a newer instrument's port above 1 shows as 1";
  EXPECT_EQ(page.Values().Install, 0);
  EXPECT_EQ(page.StatusLine().substr(0, Texts.LoadStringA(30).size()), Texts.LoadStringA(30));
  EXPECT_EQ(Key("Nebulizer", "Install"), "0");
  EXPECT_EQ(Key("Nebulizer", "Port"), "1");
}

// --- Parameter pages --------------------------------------------------------------

TEST_F(ConfigPages, ParameterFieldsAreBroughtIntoTheirRanges) {
  using namespace TestParameters;
  const struct {
    const char* Name;
    std::string Got;
    std::string Want;
  } cases[] = {
      // The shutter's breathing rate on its whole number.
      {"shutter 9", ClampShutterRate("9"), "10"},
      {"shutter 31", ClampShutterRate("31"), "30"},
      {"shutter 9.9", ClampShutterRate("9.9"), "10"},
      {"shutter 25", ClampShutterRate("25"), "25"},
      {"shutter text", ClampShutterRate("abc"), "10"},
      // Diffusion: inclusive bounds, float comparison, the field's format.
      {"washout -5", ClampDiffusion(0, "-5"), "0"},
      {"washout 5000", ClampDiffusion(0, "5000"), "5000"},
      {"CO2 89.9", ClampDiffusion(1, "89.9"), "90"},
      {"CO2 100", ClampDiffusion(1, "100"), "100"},
      {"He limit 99.5", ClampDiffusion(3, "99.5"), "99"},
      {"hold 4", ClampDiffusion(7, "4"), "5"},
      {"He 5.1", ClampDiffusion(8, "5.1"), "5.00"},
      {"He 0.5", ClampDiffusion(8, "0.5"), "1.00"},
      {"He comma", ClampDiffusion(8, "4,5"), "4.5"},
      {"CO comma out", ClampDiffusion(9, "0,7"), "0.50"},
      // Plethysmograph: integers even into the fields shown with a decimal.
      {"BTPS 150.5", Clamp("150.5", 20, 120, 0), "120"},
      {"BTPS 19", Clamp("19", 20, 120, 0), "20"},
      {"resistance loops 0", Clamp("0", 1, 9, 0), "1"},
      {"TGV loops 6", Clamp("6", 1, 5, 0), "5"},
      {"high rate 0", ClampHighRate("0"), "0"},
      {"high rate 50", ClampHighRate("50"), "70"},
      {"high rate 250", ClampHighRate("250"), "200"},
      // The interlock: with a second rate the first stays within 20..70.
      {"rate 100 with high", ClampRate("100", 70), "70"},
      {"rate 100 alone", ClampRate("100", 0), "100"},
      {"rate 250 alone", ClampRate("250", 0), "200"},
      {"rate 10", ClampRate("10", 70), "20"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.Got, c.Want) << c.Name;
}

TEST_F(ConfigPages, TheAutomaticBtpsStepsRoundDownOntoTheirGrid) {
  const std::pair<int, int> cases[] = {{0, 0},     {5, 10},    {99, 90},    {101, 100}, {149, 100},
                                       {499, 450}, {501, 500}, {1234, 1000}, {-3, 10}};
  for (const auto& [in, out] : cases)
    EXPECT_EQ(TestParameters::AutoSetStep(in), out) << in;
  EXPECT_EQ(TestParameters::ClampAutoSetStep("155,7"), "150");
}

TEST_F(ConfigPages, ThePlethysmographSectionRoundTripsItsModesAndKeepsTheShownValues) {
  const std::string ini = Ini("[Plethysmograph Parameters]\nVolumeOfCabin=777\nDeepExpiration=0\nMatthys=1\n"
                              "BTPSCorrectionEffect=47.5\nBarometerOffset=12\n");
  TestParameters::TPlethysmographValues v = TestParameters::ReadPlethysmograph(ini);
  EXPECT_EQ(v.EndMode, 1);
  EXPECT_EQ(v.ResistanceMethod, 0);
  EXPECT_FLOAT_EQ(v.BTPSCorrectionEffect, 47.5f);
  EXPECT_EQ(v.BarometerOffset, 0) << "the field starts empty at every opening";
  ASSERT_EQ(TestParameters::WritePlethysmograph(ini, v), "");
  EXPECT_EQ(Key("Plethysmograph Parameters", "VolumeOfCabin"), "777");
  EXPECT_EQ(Key("Plethysmograph Parameters", "DeepExpiration"), "0");
  EXPECT_EQ(Key("Plethysmograph Parameters", "EndOfMeasurementWithIVC"), "0");
  EXPECT_EQ(Key("Plethysmograph Parameters", "Matthys"), "1");
  EXPECT_EQ(Key("Plethysmograph Parameters", "BTPSCorrectionEffect"), "47.5");
  EXPECT_EQ(Key("Plethysmograph Parameters", "BarometerOffset"), "12") << "an offset of 0 is not written";

  // Each mode and method comes back as it went.
  for (int mode = 0; mode < 3; ++mode)
    for (int method = 0; method < 2; ++method) {
      v.EndMode = mode;
      v.ResistanceMethod = method;
      ASSERT_EQ(TestParameters::WritePlethysmograph(ini, v), "");
      const auto back = TestParameters::ReadPlethysmograph(ini);
      EXPECT_EQ(back.EndMode, mode);
      EXPECT_EQ(back.ResistanceMethod, method);
    }
  // A hand-edited value far out of any range is read bounded, not cast blindly.
  TProfile("Plethysmograph Parameters", ini).WriteString("BTPSAutoSetStep", "1e300");
  EXPECT_EQ(TestParameters::ReadPlethysmograph(ini).BTPSAutoSetStep, 1000000);
  v.BarometerOffset = -13;
  ASSERT_EQ(TestParameters::WritePlethysmograph(ini, v), "");
  EXPECT_EQ(Key("Plethysmograph Parameters", "BarometerOffset"), "-13");
}

TEST_F(ConfigPages, TheDiffusionAndShutterSectionsKeepTheirTextsAsTyped) {
  const std::string ini = Ini("[Diffusion Capacity Parameters]\nBreathHoldTime=8\n[Shutter]\nBreathingRate=25\n");
  TestParameters::TDiffusionValues d = TestParameters::ReadDiffusion(ini);
  EXPECT_EQ(d[7], "8");
  EXPECT_EQ(d[8], "4.8");
  d[8] = "4.75";
  ASSERT_EQ(TestParameters::WriteDiffusion(ini, d), "");
  EXPECT_EQ(Key("Diffusion Capacity Parameters", "OriginalHeConcentration"), "4.75");
  TestParameters::TShutterValues s = TestParameters::ReadShutter(ini);
  EXPECT_EQ(s.BreathingRate, "25");
  EXPECT_EQ(s.MetronomEnable, "1");
  s.MetronomEnable = "0";
  ASSERT_EQ(TestParameters::WriteShutter(ini, s), "");
  EXPECT_EQ(Key("Shutter", "MetronomEnable"), "0");
}

// --- USB description ----------------------------------------------------------------

class FakeProgrammer final : public TFtdiProgrammer {
public:
  std::vector<std::string> Devices;  // descriptions in bus order
  bool ProgramFails = false;
  bool ReadFails = false;
  bool IsOpen = false;
  int Opens = 0;
  int Closes = 0;
  std::optional<TImage> Written;

  bool Open(std::string& error) override {
    ++Opens;
    if (Devices.empty()) {
      error = "device not found";
      return false;
    }
    IsOpen = true;
    return true;
  }
  bool Program(const TImage& image, std::string& error) override {
    if (ProgramFails) {
      error = "EEPROM write failed";
      return false;
    }
    Written = image;
    Devices.front() = image.Description;
    return true;
  }
  bool ReadDescription(std::string& description, std::string& error) override {
    if (ReadFails) {
      error = "reading the strings failed";
      return false;
    }
    description = Devices.front();
    return true;
  }
  void Close() override {
    if (IsOpen)
      ++Closes;
    IsOpen = false;
  }
};

TEST(UsbDescription, TheFirstDeviceIsProgrammedWithTheFixedImageAndReadBack) {
  FakeProgrammer chip;
  chip.Devices = {"old", "second device"};
  auto outcome = UsbDescriptionActions::Save(chip, "USB Plethysmograph");
  EXPECT_TRUE(outcome.Ok);
  ASSERT_TRUE(chip.Written);
  EXPECT_EQ(chip.Written->Description, "USB Plethysmograph");
  EXPECT_EQ(chip.Written->SerialNumber, "FT000001");
  EXPECT_EQ(chip.Written->SerialNumber.substr(0, 2), chip.Written->ManufacturerId);
  EXPECT_EQ(chip.Written->Manufacturer, "FTDI");
  EXPECT_EQ(chip.Written->VendorId, 0x0403);
  EXPECT_EQ(chip.Written->ProductId, 0x6001);
  EXPECT_EQ(chip.Written->MaxPowerMa, 44);
  EXPECT_TRUE(chip.Written->RemoteWakeup);
  EXPECT_FALSE(chip.Written->SelfPowered);
  EXPECT_EQ(chip.Devices[1], "second device") << "only the first device";
  outcome = UsbDescriptionActions::Read(chip);
  EXPECT_TRUE(outcome.Ok);
  EXPECT_EQ(outcome.Description, "USB Plethysmograph");
  EXPECT_EQ(chip.Closes, 2);
  EXPECT_FALSE(chip.IsOpen);
  EXPECT_EQ(UsbDescriptionActions::Offered().size(), 7u);
  EXPECT_EQ(UsbDescriptionActions::Offered().front(), "USB Spirometer");
}

TEST(UsbDescription, EveryFailureSaysWhichCallFailedWhyAndLeavesTheDeviceClosed) {
  FakeProgrammer none;
  for (const auto& outcome : {UsbDescriptionActions::Save(none, "USB Spirometer"), UsbDescriptionActions::Read(none)}) {
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(outcome.Message, "FT_Open failed!\ndevice not found");
  }
  FakeProgrammer failing;
  failing.Devices = {"old"};
  failing.ProgramFails = true;
  failing.ReadFails = true;
  const auto saved = UsbDescriptionActions::Save(failing, "USB Spirometer");
  EXPECT_EQ(saved.Message, "FT_EE_Program failed!\nEEPROM write failed");
  EXPECT_FALSE(failing.IsOpen);
  const auto read = UsbDescriptionActions::Read(failing);
  EXPECT_EQ(read.Message, "FT_GetDeviceInfo failed!\nreading the strings failed");
  EXPECT_EQ(read.Description, "");
  EXPECT_EQ(failing.Closes, 2);
}

}  // namespace
