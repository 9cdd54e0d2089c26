#include "measure/results/BtpsData.h"

#include "common/MeasureMode.h"
#include "platform/basekit/Message.h"
#include "platform/framework/BinaryStream.h"
#include "platform/framework/Profile.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class BtpsData : public ::testing::Test {
protected:
  BtpsData() { Texts.SetSink(&Sink); }

  // A panel's data in the given unit with the three texts as typed.
  TBTPS_DATA Data(short unit, std::string_view t, std::string_view h, std::string_view p, int btps = 1) {
    TBTPS_DATA data(&Texts, (Folder / "Halvetra.ini").string(), unit);
    data.GetRecord().Btps = btps;
    EXPECT_TRUE(SetFieldText(data.GetRecord().Temperature, t));
    EXPECT_TRUE(SetFieldText(data.GetRecord().Humidity, h));
    EXPECT_TRUE(SetFieldText(data.GetRecord().Pressure, p));
    return data;
  }
  // The message numbers shown, by their texts.
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const auto& message : Sink.Messages)
      texts.push_back(message.Text);
    return texts;
  }

  TTemporaryFolder Folder;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TRecordingSink Sink;
};

TEST_F(BtpsData, RecordIsSeventeenBytesFieldByField) {
  BTPS_RECORD record;
  record.Btps = 1;
  ASSERT_TRUE(SetFieldText(record.Temperature, "37"));
  ASSERT_TRUE(SetFieldText(record.Humidity, "100"));
  ASSERT_TRUE(SetFieldText(record.Pressure, "1013"));
  EXPECT_FALSE(SetFieldText(record.Humidity, "1000"));  // no room for the terminator
  TBinaryWriter writer;
  WriteBtpsRecord(writer, record);
  const std::string expected("\x01\x00\x00\x00"
                             "37\x00\x00"
                             "100\x00"
                             "1013\x00",
                             17);
  EXPECT_EQ(writer.Data(), expected);

  TBinaryReader reader(expected);
  const BTPS_RECORD back = ReadBtpsRecord(reader);
  EXPECT_TRUE(reader.Ok());
  EXPECT_EQ(back.Btps, 1);
  EXPECT_EQ(FieldText(back.Temperature), "37");
  EXPECT_EQ(FieldText(back.Humidity), "100");
  EXPECT_EQ(FieldText(back.Pressure), "1013");

  // A foreign record without terminators reads within its fields; a short one fails.
  const std::string foreign("\x00\x00\x00\x00" "9999" "8888" "77777", 17);
  TBinaryReader full(foreign);
  const BTPS_RECORD unterminated = ReadBtpsRecord(full);
  EXPECT_EQ(FieldText(unterminated.Temperature), "9999");
  EXPECT_EQ(FieldText(unterminated.Pressure), "77777");
  const std::string cut = expected.substr(0, 12);
  TBinaryReader shortInput(cut);
  ReadBtpsRecord(shortInput);
  EXPECT_FALSE(shortInput.Ok());
}

TEST_F(BtpsData, RangeChecksStopAtTheFirstFailureWithItsText) {
  struct TCase {
    short Unit;
    float T;
    float H;
    float P;
    int Text;  // 0: passes
  };
  const TCase cases[] = {
      {0, 40.0f, 100.0f, 1200.0f, 0}, {0, 15.0f, 30.0f, 800.0f, 0},  {0, 40.5f, 50.0f, 1013.0f, 11},
      {0, 14.9f, 50.0f, 1013.0f, 11}, {0, 37.0f, 29.0f, 1013.0f, 13}, {0, 37.0f, 29.0f, 700.0f, 13},
      {0, 37.0f, 50.0f, 1201.0f, 14}, {0, 37.0f, 50.0f, 799.0f, 14},  {1, 104.0f, 100.0f, 17.0f, 0},
      {1, 59.0f, 30.0f, 12.0f, 0},    {1, 104.5f, 50.0f, 14.0f, 12},  {1, 98.0f, 29.0f, 14.0f, 13},
      {1, 98.0f, 50.0f, 11.9f, 15},   {1, 98.0f, 50.0f, 1013.0f, 15},
  };
  for (const auto& c : cases) {
    Sink.Messages.clear();
    const TBTPS_DATA data(&Texts, (Folder / "Halvetra.ini").string(), c.Unit);
    EXPECT_EQ(data.CheckBTPSData(c.T, c.H, c.P), c.Text == 0) << c.T << " " << c.H << " " << c.P;
    if (c.Text == 0) {
      EXPECT_TRUE(Sink.Messages.empty());
      continue;
    }
    ASSERT_EQ(Sink.Messages.size(), 1u) << c.T;
    EXPECT_EQ(Sink.Messages[0].Text, Texts.LoadStringA(c.Text));
    EXPECT_EQ(Sink.Messages[0].Icon, TMessageIcon::Stop);
    EXPECT_EQ(Sink.Messages[0].Caption, Texts.LoadStringA(0));
  }
}

TEST_F(BtpsData, TextsThatAreNoNumbersFailTheFactor) {
  for (const char* typed : {"abc", "nan", "", "-"}) {
    Sink.Messages.clear();
    float factor = -1.0f;
    EXPECT_FALSE(Data(0, typed, "50", "1013").CalculatedBTPS(factor, MEASURE_FVC)) << typed;
    EXPECT_EQ(factor, -1.0f) << "the caller keeps its factor";
    ASSERT_EQ(Sink.Messages.size(), 1u);
    EXPECT_EQ(Sink.Messages[0].Text, Texts.LoadStringA(11));
  }
}

// factor = 0.8973 + 0.00391 (T - 20) + 0.000197 (H - 70) - 0.0000405 (P - 1050),
// T in degrees Celsius, H in %, P in hPa; the values below are worked by hand.
TEST_F(BtpsData, FactorsAgainstHandCalculations) {
  float factor = 0.0f;
  ASSERT_TRUE(Data(0, "20", "70", "1050").CalculatedBTPS(factor, MEASURE_FVC));
  EXPECT_FLOAT_EQ(factor, 0.8973f);
  // 0.8973 + 0.06647 + 0.00591 + 0.0014985 = 0.9711785
  ASSERT_TRUE(Data(0, "37", "100", "1013").CalculatedBTPS(factor, MEASURE_VC));
  EXPECT_NEAR(factor, 0.9711785, 1e-6);
  // Imperial: 68 F = 20 C; 15 psi = 1034.2136 hPa: 0.8973 + 0.0000405 x 15.7864 = 0.8979393
  ASSERT_TRUE(Data(1, "68", "70", "15").CalculatedBTPS(factor, MEASURE_MVV));
  EXPECT_NEAR(factor, 0.8979393, 1e-6);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(BtpsData, SwitchOffGivesOneExceptForDiffusionAndPlethysmography) {
  float factor = 0.0f;
  const TBTPS_DATA outOfRange = Data(0, "50", "10", "500", 0);
  for (const short mode : {MEASURE_FVC, MEASURE_VC, MEASURE_MVV}) {
    factor = 0.0f;
    EXPECT_TRUE(outOfRange.CalculatedBTPS(factor, mode));
    EXPECT_EQ(factor, 1.0f);
  }
  EXPECT_TRUE(Sink.Messages.empty());
  factor = 0.5f;
  EXPECT_FALSE(outOfRange.CalculatedBTPS(factor, MEASURE_DFC));
  EXPECT_EQ(factor, 0.5f);
  ASSERT_TRUE(Data(0, "37", "100", "1013", 0).CalculatedBTPS(factor, MEASURE_PLETHY));
  EXPECT_NEAR(factor, 0.9711785, 1e-6);
}

TEST_F(BtpsData, ChecksOffUseStoredValuesAsTheyAre) {
  TBTPS_DATA data = Data(0, "50", "70", "1050");
  data.EnableCheck(false);
  float factor = 0.0f;
  ASSERT_TRUE(data.CalculatedBTPS(factor, MEASURE_FVC));
  EXPECT_NEAR(factor, 0.8973 + 0.00391 * 30, 1e-6);  // 1.0146
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(BtpsData, ConversionsTruncateAtEachStep) {
  TBTPS_DATA data = Data(0, "37", "55", "1013");
  data.ConvertBTPSData(1);  // 98.6 F, 14.692 psi
  EXPECT_EQ(FieldText(data.GetRecord().Temperature), "98");
  EXPECT_EQ(FieldText(data.GetRecord().Humidity), "55");
  EXPECT_EQ(FieldText(data.GetRecord().Pressure), "14");
  data.ConvertBTPSData(0);  // 36.67 C, 965.27 hPa
  EXPECT_EQ(FieldText(data.GetRecord().Temperature), "36");
  EXPECT_EQ(FieldText(data.GetRecord().Pressure), "965");

  // Metric values arrive; the imperial panel stores them converted and truncated.
  TBTPS_DATA imperial = Data(1, "0", "0", "0", 0);
  imperial.UpdateBTPSData(1, 37, 50, 1013);
  EXPECT_EQ(imperial.GetRecord().Btps, 1);
  EXPECT_EQ(FieldText(imperial.GetRecord().Temperature), "98");
  EXPECT_EQ(FieldText(imperial.GetRecord().Humidity), "50");
  EXPECT_EQ(FieldText(imperial.GetRecord().Pressure), "14");
  EXPECT_NEAR(imperial.GetTemperature(), (98 - 32) * 5.0 / 9.0, 1e-5);
  EXPECT_NEAR(imperial.GetPressure(), 14 * 68.9475729, 1e-3);
}

TEST_F(BtpsData, IniSectionRoundTripAndBadValues) {
  const std::string ini = (Folder / "Halvetra.ini").string();
  TBTPS_DATA data(&Texts, ini, 0);
  data.ReadBTPSConstans(1, 20, 50, 1013);  // a fresh file gives the defaults
  EXPECT_EQ(data.GetRecord().Btps, 1);
  EXPECT_EQ(FieldText(data.GetRecord().Temperature), "20");
  EXPECT_EQ(FieldText(data.GetRecord().Pressure), "1013");

  ASSERT_TRUE(SetFieldText(data.GetRecord().Pressure, "98.6"));
  data.SetTemperature(36);
  data.SetHumidity(45);
  data.SetBTPS(0);
  ASSERT_TRUE(data.WriteBTPSConstans());
  const TProfile section("BTPS", ini);
  EXPECT_EQ(section.GetString("TEMPERATURE"), "36");
  EXPECT_EQ(section.GetString("PRESSURE"), "98");  // the whole number of the text
  EXPECT_EQ(section.GetString("BTPS"), "0");

  TBTPS_DATA again(&Texts, ini, 0);
  again.ReadBTPSConstans(1, 20, 50, 1013);
  EXPECT_EQ(again.GetRecord().Btps, 0);
  EXPECT_EQ(FieldText(again.GetRecord().Temperature), "36");
  EXPECT_EQ(FieldText(again.GetRecord().Humidity), "45");

  // No number, or a number too long for its field, takes the default.
  Folder.Write("Bad.ini", "[BTPS]\nTEMPERATURE=abc\nHUMIDITY=12345\nPRESSURE=123456\n");
  TBTPS_DATA bad(&Texts, (Folder / "Bad.ini").string(), 0);
  bad.ReadBTPSConstans(1, 20, 50, 1013);
  EXPECT_EQ(FieldText(bad.GetRecord().Temperature), "20");
  EXPECT_EQ(FieldText(bad.GetRecord().Humidity), "50");
  EXPECT_EQ(FieldText(bad.GetRecord().Pressure), "1013");
}

TEST_F(BtpsData, UnwritableIniLosesAndBreaksNothing) {
  const auto unwritable = UnwritableFolder(Folder);
  if (!unwritable)
    GTEST_SKIP() << "no unwritable folder on this machine";
  TBTPS_DATA data(&Texts, (*unwritable / "Halvetra.ini").string(), 0);
  data.ReadBTPSConstans(1, 22, 50, 1013);
  EXPECT_FALSE(data.WriteBTPSConstans());
  EXPECT_EQ(FieldText(data.GetRecord().Temperature), "22");
  float factor = 0.0f;
  EXPECT_TRUE(data.CalculatedBTPS(factor, MEASURE_FVC));
}

}  // namespace
