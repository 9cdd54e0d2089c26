// The automatic sequence's set-up and the earphone calibration as their
// dialogs edit them, against the settings file they write.

#include "audiometry/setup/CalibrationSetup.h"
#include "audiometry/setup/HardwareSetup.h"
#include "audiometry/setup/SequenceSetup.h"
#include "audiometry/setup/ServiceConversion.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <map>

namespace {

std::vector<std::string> Texts(const TSequenceSetup& s, const TMessage& texts) {
  std::vector<std::string> items;
  for (std::size_t i = 0; i < s.Items.size(); ++i)
    items.push_back(s.ItemText(i, &texts));
  return items;
}

class SetupDialogs : public ::testing::Test {
protected:
  SetupDialogs() : Messages("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang") {}
  std::string Ini(const std::string& content = "") { return Folder.Write("Halvetra.ini", content).string(); }
  TTemporaryFolder Folder;
  TMessage Messages;
};

TEST_F(SetupDialogs, SequenceWithoutSettingsIsTheDefaultWithItsMarks) {
  const TSequenceSetup s = TSequenceSetup::Read(Ini());
  EXPECT_EQ(Texts(s, Messages), (std::vector<std::string>{"1000 (basic)", "1500", "2000", "3000", "4000", "6000", "8000",
                                                          "1000 (control)", "500", "250", "125"}));
  EXPECT_TRUE(s.HasControl());
  EXPECT_EQ(s.Repetitions, 5);
  EXPECT_EQ(s.EqualLevels, 3);
  EXPECT_EQ(s.Tolerance, 5);
}

TEST_F(SetupDialogs, OnlyTheBasicTestRepeatsAndOnlyOnce) {
  TSequenceSetup s;
  s.Items = {1000, 1500};
  EXPECT_EQ(s.Add(500), TSequenceSetup::TAdd::Added);
  EXPECT_EQ(s.Add(500), TSequenceSetup::TAdd::NotTheBasicTest);
  EXPECT_EQ(s.Add(1000), TSequenceSetup::TAdd::Added);
  EXPECT_EQ(s.Add(1000), TSequenceSetup::TAdd::RepeatedTwice);
  EXPECT_EQ(s.Items, (std::vector<int>{1000, 1500, 500, 1000}));
  s.Items.assign(12, 0);
  EXPECT_FALSE(s.CanAdd());
  EXPECT_EQ(s.Add(250), TSequenceSetup::TAdd::Full);
}

TEST_F(SetupDialogs, TheBasicTestStaysFirstAndDeletingItMovesTheMarks) {
  TSequenceSetup s;
  s.Items = {1000, 1500, 2000, 1000};
  EXPECT_FALSE(s.CanMoveUp(1)) << "nothing moves above the basic test";
  EXPECT_FALSE(s.CanMoveDown(0)) << "the basic test never moves";
  EXPECT_FALSE(s.CanMoveDown(3));
  s.MoveUp(3);
  EXPECT_EQ(s.Items, (std::vector<int>{1000, 1500, 1000, 2000}));
  s.MoveDown(1);
  EXPECT_EQ(s.Items, (std::vector<int>{1000, 1000, 1500, 2000}));

  EXPECT_EQ(s.Delete(0), 0);
  EXPECT_EQ(Texts(s, Messages), (std::vector<std::string>{"1000 (basic)", "1500", "2000"}));
  s.Items = {1500, 1000, 2000, 1000};
  EXPECT_EQ(s.Delete(0), 0);
  EXPECT_EQ(Texts(s, Messages), (std::vector<std::string>{"1000 (basic)", "2000", "1000 (control)"}));

  s.Items = {500};
  EXPECT_EQ(s.Delete(0), -1);
  EXPECT_TRUE(s.Items.empty()) << "the only item leaves an empty list";
}

TEST_F(SetupDialogs, CountsAndToleranceKeepTheirRules) {
  struct Case {
    int repetitions, equal, wantRepetitions, wantEqual;
  } const cases[] = {{0, 3, 1, 1}, {-2, 0, 1, 1}, {2, 5, 2, 2}, {4, 0, 4, 1}, {5, 3, 5, 3}};
  for (const Case& c : cases) {
    TSequenceSetup s;
    s.Repetitions = c.repetitions;
    s.EqualLevels = c.equal;
    s.KeepCountsInOrder();
    EXPECT_EQ(s.Repetitions, c.wantRepetitions) << c.repetitions << " " << c.equal;
    EXPECT_EQ(s.EqualLevels, c.wantEqual) << c.repetitions << " " << c.equal;
  }
  TSequenceSetup s;
  s.Tolerance = 15;
  s.StepTolerance(1);
  s.StepTolerance(1);
  EXPECT_EQ(s.Tolerance, 20);
  for (int i = 0; i < 6; ++i)
    s.StepTolerance(-1);
  EXPECT_EQ(s.Tolerance, 0);
}

TEST_F(SetupDialogs, SequenceIsWrittenAndAnEmptyOneClearsEveryKey) {
  const std::string ini = Ini();
  TSequenceSetup s = TSequenceSetup::Read(ini);
  s.FirstEar = 1;
  s.Items = {2000, 4000, 2000};
  ASSERT_TRUE(s.Write(ini));
  const TSequenceSetup back = TSequenceSetup::Read(ini);
  EXPECT_EQ(back.Items, (std::vector<int>{2000, 4000, 2000}));
  EXPECT_EQ(back.FirstEar, 1);

  s.Items.clear();
  ASSERT_TRUE(s.Write(ini));
  const TProfile p("Audiometer Automatic Sequence", ini);
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(p.GetString("Test" + std::to_string(i), "missing"), "") << i;
  EXPECT_TRUE(TSequenceSetup::Read(ini).Items.empty());
  EXPECT_EQ(p.GetString("DefTest0", "never written"), "never written");
}

TEST_F(SetupDialogs, CalibrationShowsTheNominalLevelsWithoutASection) {
  const TCalibrationSetup s = TCalibrationSetup::Read(Ini());
  EXPECT_EQ(s.Standard, 0);
  EXPECT_EQ(s.Measured[0], "115.0");  // 45.0 + 70
  EXPECT_EQ(s.Measured[4], "77.0");   // 7.0 + 70
  EXPECT_DOUBLE_EQ(TCalibrationSetup::Nominal(1, 1), 97.0);
}

TEST_F(SetupDialogs, CalibrationStoresTheCorrectionAgainstTheChosenSet) {
  const std::string ini = Ini();
  TCalibrationSetup s = TCalibrationSetup::Read(ini);
  s.Measured[4] = "79.0";  // 1000 Hz: 2 x 7.0 - 79.0 + 70
  ASSERT_TRUE(s.Write(ini));
  const TProfile spl("SPL", ini);
  EXPECT_EQ(spl.GetString("1000"), "5.0");
  EXPECT_EQ(spl.GetString("125"), "45.0");
  // Read back, the measured level is what was entered.
  EXPECT_EQ(TCalibrationSetup::Read(ini).Measured[4], "79.0");

  // Against the second set the same entry stores 2 x 7.5 - 79.0 + 70.
  s.Standard = 1;
  ASSERT_TRUE(s.Write(ini));
  EXPECT_EQ(TProfile("SPL", ini).GetString("1000"), "6.0");
  EXPECT_EQ(TProfile("SPL", ini).GetInt("Standard", -1), 1);
}

TEST_F(SetupDialogs, CalibrationRefusesAFieldThatIsNotANumber) {
  const std::string ini = Ini("[SPL]\n1000=7.0\n");
  TCalibrationSetup s = TCalibrationSetup::Read(ini);
  s.Measured[3] = "7O.5";
  s.Measured[6] = "";
  EXPECT_EQ(s.FirstInvalid(), 3);
  EXPECT_FALSE(s.Write(ini));
  EXPECT_EQ(TProfile("SPL", ini).GetString("750", "unwritten"), "unwritten");
  s.Default();
  EXPECT_FALSE(s.FirstInvalid());
  EXPECT_EQ(s.Measured[3], "77.5");
}

}  // namespace

namespace {

TEST_F(SetupDialogs, PortListAndChoicesSetTheHardwareKeys) {
  TAudioHardware h = TAudioHardware::Read(Ini(), false);
  auto items = h.PortItems(&Messages, {});
  EXPECT_EQ(items.back(), "COM6") << "no USB device attached";
  ASSERT_EQ(items.size(), 8u);
  items = h.PortItems(&Messages, {"USB Spirometer", "USB Audiometer", "Audiometer B"});
  EXPECT_EQ(std::vector<std::string>(items.begin() + 8, items.end()),
            (std::vector<std::string>{"USB Audiometer", "Audiometer B"}));

  struct Case {
    int index;
    int install, demo, port, status;
    bool test;
  } const cases[] = {{0, 0, 1, 1, 0, false},  {1, 1, 1, 1, 37, false}, {2, 1, 0, 0, 34, true},
                     {7, 1, 0, 5, 34, true},  {9, 1, 0, 6, 34, true}};
  for (const Case& c : cases) {
    const TAudioHardware::TChoice choice = h.Choose(c.index, items);
    EXPECT_EQ(h.Install, c.install) << c.index;
    EXPECT_EQ(h.Demo, c.demo) << c.index;
    EXPECT_EQ(h.Port, c.port) << c.index;
    EXPECT_EQ(choice.StatusText, c.status) << c.index;
    EXPECT_EQ(choice.TestEnabled, c.test) << c.index;
  }
  EXPECT_EQ(h.USBDescription, "Audiometer B");
  h.Tested(false);
  EXPECT_EQ(h.Demo, 1);
  EXPECT_EQ(h.Install, 1);
}

TEST_F(SetupDialogs, TheStoredUsbDeviceIsSelectedOrAddedWhenAbsent) {
  const std::string ini = Ini("[Audio]\nInstall=1\nDemo=0\nPort=6\nUSBDescription=Audiometer B\n");
  const TAudioHardware h = TAudioHardware::Read(ini, false);
  auto present = h.PortItems(&Messages, {"USB Audiometer", "Audiometer B"});
  EXPECT_EQ(h.InitialItem(present), 9);
  auto absent = h.PortItems(&Messages, {"USB Audiometer"});
  EXPECT_EQ(h.InitialItem(absent), 9);
  EXPECT_EQ(absent.back(), "Audiometer B");
  const TAudioHardware com = TAudioHardware::Read(Ini("[Audio]\nInstall=1\nDemo=0\nPort=3\n"), false);
  EXPECT_EQ(com.InitialItem(present), 5);
}

TEST_F(SetupDialogs, TheDemonstrationConfigurationNeitherReadsNorWrites) {
  const std::string ini = Ini("[Audio]\nInstall=1\nDemo=0\nPort=4\n");
  TAudioHardware h = TAudioHardware::Read(ini, true);
  EXPECT_EQ(h.Port, 1);
  EXPECT_EQ(h.Demo, 1);
  std::vector<std::string> items = h.PortItems(&Messages, {"USB Audiometer"});
  EXPECT_EQ(items, std::vector<std::string>{"DEMO"});
  EXPECT_EQ(h.Choose(0, items).StatusText, 37);
  EXPECT_EQ(h.Install, 1);
  ASSERT_TRUE(h.Write(ini));
  EXPECT_EQ(TProfile("Audio", ini).GetInt("Port", -1), 4);
  EXPECT_EQ(TProfile("Audio", ini).GetInt("Demo", -1), 0);
}

TEST_F(SetupDialogs, ServiceConversionFollowsTheLevelLawWithinTheByte) {
  const TServiceConversion c = TServiceConversion::Read(Ini());
  // (0 + 7.0) x 255 / 130 = 13.73 -> 13, + 10; (23 - 10) x 130 / 255 - 7.0 = -0.37 -> 0.
  EXPECT_EQ(c.Value(0, 4), 23);
  EXPECT_EQ(c.Db(23, 4), 0);
  // 110 dB at 125 Hz would be (110 + 45) x 1.96 + 10 = 314: the byte stops at 255.
  EXPECT_EQ(c.Value(110, 0), 255);
  EXPECT_EQ(c.Value(-10, 10), 42);  // (-10 + 26.5) x 1.9615 = 32.4 -> 32, + 10
  EXPECT_EQ(c.Db(400, 4), c.Db(255, 4));

  const std::map<unsigned, int> codes{{0x02, 0}, {0x0C, 3}, {0x18, 5}, {0x60, 9}, {0x80, 10}};
  for (const auto& [code, frequency] : codes)
    EXPECT_EQ(TServiceConversion::GetFreq(code), frequency) << code;
  EXPECT_FALSE(TServiceConversion::GetFreq(0x12));
  EXPECT_FALSE(TServiceConversion::GetFreq(0));

  const TServiceConversion stored = TServiceConversion::Read(Ini("[SPL]\nMax=100\n1000=5.5\n"));
  EXPECT_EQ(stored.Value(0, 4), 22);  // 5.5 x 255 / 110 = 12.75 -> 12, + 10
}

}  // namespace
