#include "shell/client/EcgHandOver.h"

#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

PREDICTED_DATA Patient(int unit, int height, int weight, int sex) {
  PREDICTED_DATA data;
  data.SetName("Kovacs Anna");
  data.SetId("A-17");
  data.Unit = unit;
  data.Height = height;
  data.Weight = weight;
  data.Sex = sex;
  data.BirthYear = 1958;
  data.BirthMonth = 3;
  data.BirthDay = 7;
  return data;
}

TEST(EcgHandOver, TheIdentifierIsTheReversedKeyAfterALetterAndAStoredOneIsKept) {
  struct Case {
    std::string_view stored;
    std::int32_t key;
    char letter;
    std::optional<std::string> made;
  };
  const Case cases[] = {
      {"", 1234, 'Q', "Q4321000."},            // 00001234 reversed: 43210000, seven of it
      {"", 12345678, 'B', "B8765432."},
      {"", 0, 'Z', "Z0000000."},
      {"ECG-0042", 5, 'C', "C5000000."},       // no full stop: a new one
      {"K10000000.", 1234, 'Q', std::nullopt}, // kept
  };
  for (const Case& c : cases)
    EXPECT_EQ(Ecg::NewIdentifier(c.stored, c.key, c.letter), c.made) << c.stored << " " << c.key;
}

TEST(EcgHandOver, TheExchangeFileNameIsEightCapitals) {
  int next = 0;
  EXPECT_EQ(Ecg::ExchangeName([&next](int n) { return (next++ * 5) % n; }), "AFKPUZEJ.~KV");
  EXPECT_EQ(Ecg::Arguments("AFKPUZEJ.~KV"), QStringList{"/QAFKPUZEJ.~KV"});
}

TEST(EcgHandOver, ExchangeFilesOfAMetricAndAnImperialPatient) {
  TTemporaryFolder folder;
  std::string error;
  // Metric values go as they are; the woman is sex 2.
  ASSERT_TRUE(Ecg::WriteExchangeFile(folder / "METRIC.~KV", Patient(0, 165, 62, 0), "Q4321000.", "Dr. Example", error));
  EXPECT_EQ(TTemporaryFolder::Read(folder / "METRIC.~KV"),
            "[Patient]\nName=Kovacs Anna\nId=A-17\nSex=2\nWeight=62\nHeight=165\nBorn=1958/03/07\nKvnId=Q4321000.\n"
            "OEM=0\nDoctor=Dr. Example\n");
  // 70 in = 5 ft 10 in = 177.8 cm, 154 lb = 154 x 0.45359237 = 69.85 kg: both truncated.
  ASSERT_TRUE(Ecg::WriteExchangeFile(folder / "IMPERIAL.~KV", Patient(1, 70, 154, 1), "B8765432.", "", error));
  EXPECT_EQ(TTemporaryFolder::Read(folder / "IMPERIAL.~KV"),
            "[Patient]\nName=Kovacs Anna\nId=A-17\nSex=1\nWeight=69\nHeight=177\nBorn=1958/03/07\nKvnId=B8765432.\n"
            "OEM=0\nDoctor=\n");
  // A folder that is not there: the reason comes back.
  EXPECT_FALSE(Ecg::WriteExchangeFile(folder / "missing" / "X.~KV", Patient(0, 165, 62, 0), "Q", "", error));
  EXPECT_FALSE(error.empty());
}

TEST(EcgHandOver, TheProgramIsFoundInTheFolderOfTheSettingsAndAFailedStartSaysWhy) {
  TTemporaryFolder folder;
  const auto ini = (folder / "Halvetra.ini").string();
  std::filesystem::create_directory(folder / "ecg dir");
  folder.Write("Halvetra.ini", "[Korvane]\nPath=" + (folder / "ecg dir").string() + "\n");
  EXPECT_EQ(Ecg::ProgramFile(ini), std::nullopt);
  folder.Write("ecg dir/korvan32.exe", "");
  EXPECT_EQ(Ecg::ProgramFile(ini), folder / "ecg dir" / "korvan32.exe");
  folder.Write("ecg dir/KORVAN.EXE", "");
  EXPECT_EQ(Ecg::ProgramFile(ini), folder / "ecg dir" / "KORVAN.EXE");

  // Not executable: it does not start.
  Ecg::TStartFailure failure;
  int pumped = 0;
  EXPECT_EQ(Ecg::RunAndWait(folder / "ecg dir" / "KORVAN.EXE", {"/QX.~KV"}, [&pumped] { ++pumped; }, failure), -1);
  EXPECT_FALSE(failure.Reason.empty());
}

}  // namespace
