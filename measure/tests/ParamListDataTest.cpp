#include "measure/results/ParamListData.h"

#include "platform/framework/Profile.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

class TIndexOfFile : public TParamListData {
public:
  explicit TIndexOfFile(std::string ini) {
    IniName = std::move(ini);
    ReadIndexOfParams();
    MergeIndexByParam();
  }
};

class ParamListData : public ::testing::Test {
protected:
  std::string Ini() const { return (Folder / "Halvetra.ini").string(); }
  TTemporaryFolder Folder;
};

TEST_F(ParamListData, FreshFileGainsBothSectionsInNaturalOrder) {
  const TIndexOfFile data(Ini());
  const TProfile index("Index of Parameters", Ini());
  const TProfile merge("Merge Index By Parameter", Ini());
  const char* prefixes[] = {"FVC", "VC", "MVV", "DFC", "PL", "SH"};
  const int counts[] = {19, 5, 2, 13, 19, 5};
  int keys = 0;
  for (short kind = 0; kind < 6; ++kind)
    for (short i = 0; i < counts[kind]; ++i, ++keys) {
      const std::string key = prefixes[kind] + std::string(i < 10 ? "0" : "") + std::to_string(i);
      EXPECT_EQ(index.GetInt(key, -1), i + 1) << key;
      EXPECT_FALSE(merge.GetString(key).empty()) << key;
      EXPECT_EQ(data.GetParamIndex(kind, i), i);
    }
  EXPECT_EQ(keys, 63);
  EXPECT_EQ(merge.GetString("FVC00"), "FVC [L]");
  EXPECT_EQ(merge.GetString("FVC07"), "PEF [L/s]");
  EXPECT_EQ(merge.GetString("MVV00"), "MVV [L/min]");
  EXPECT_EQ(merge.GetString("DFC09"), "Tlco [mmol/min*kPa]");
  EXPECT_EQ(merge.GetString("PL04"), "Raw [kPa*s/L]");
  EXPECT_EQ(merge.GetString("SH04"), "Rfreq [1/min]");
  EXPECT_EQ(index.GetString("SH05"), "");  // nothing beyond the kind's parameters
}

TEST_F(ParamListData, UserOrderIsKeptAndFaultyOrdersFallBackToNatural) {
  // A swap: FVC03 on line 0, FVC00 on line 3.
  Folder.Write("Halvetra.ini",
               "[Index of Parameters]\nFVC00=4\nFVC03=1\n"
               "VC00=1\nVC01=1\n"                        // two parameters on one line
               "DFC02=14\n"                              // a line beyond the list
               "SH00=-2\n"                               // no line at all
               "[Merge Index By Parameter]\nFVC00=my own text\n");
  const TIndexOfFile data(Ini());
  EXPECT_EQ(data.GetParamIndex(0, 3), 0);
  EXPECT_EQ(data.GetParamIndex(0, 0), 3);
  EXPECT_EQ(data.GetParamIndex(0, 1), 1);
  for (const short kind : {1, 3, 5})
    for (short i = 0; i < ParameterCount(kind); ++i)
      EXPECT_EQ(data.GetParamIndex(kind, i), i) << kind << " " << i;
  EXPECT_EQ(data.GetIndexOfParams(0)[3], 1);

  // The file stays as the user wrote it; missing keys are added.
  const TProfile index("Index of Parameters", Ini());
  EXPECT_EQ(index.GetInt("VC01"), 1);
  EXPECT_EQ(index.GetInt("DFC02"), 14);
  EXPECT_EQ(index.GetInt("SH00"), -2);
  EXPECT_EQ(index.GetInt("VC02"), 3);
  EXPECT_EQ(TProfile("Merge Index By Parameter", Ini()).GetString("FVC00"), "my own text");
}

TEST_F(ParamListData, OneValueOnAnotherLineShowsTheNaturalOrder) {
  // FVC03=1 alone would put FVC03 and FVC00 on line 0: no parameter may hide another.
  Folder.Write("Halvetra.ini", "[Index of Parameters]\nFVC03=1\n");
  const TIndexOfFile data(Ini());
  for (short i = 0; i < 19; ++i)
    EXPECT_EQ(data.GetParamIndex(0, i), i);
  EXPECT_EQ(TProfile("Index of Parameters", Ini()).GetInt("FVC03"), 1);
}

// The list reads and fills in each section in one write; the file must be
// byte for byte what writing each missing key on its own left, beside the
// user's keys, a zero position (rewritten) and the other sections.
TEST_F(ParamListData, TheFilledInFileIsWhatKeyByKeyWritesLeft) {
  const std::string start = "; lab settings\r\n[Index of Parameters]\r\nFVC00=4\r\nFVC03=1\r\nfvc05=0\r\n\r\n"
                            "[Merge Index By Parameter]\r\nFVC00=my own text\r\nVC01=\r\n[BTPS]\r\nBTPS=1\r\n";
  Folder.Write("Halvetra.ini", start);
  const TIndexOfFile data(Ini());
  const std::string batched = TTemporaryFolder::Read(Ini());

  Folder.Write("Halvetra.ini", start);
  TProfile index("Index of Parameters", Ini());
  TProfile merge("Merge Index By Parameter", Ini());
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind) {
    for (short i = 0; i < ParameterCount(kind); ++i) {
      const std::string key = TParamListData::IndexKey(kind, i);
      if (index.GetInt(key, 0) == 0) {
        ASSERT_TRUE(index.WriteInt(key, i + 1));
      }
    }
  }
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind) {
    for (short i = 0; i < ParameterCount(kind); ++i) {
      const std::string key = TParamListData::IndexKey(kind, i);
      const auto at = static_cast<std::size_t>(i);
      if (merge.GetString(key).empty()) {
        ASSERT_TRUE(merge.WriteString(key, std::string(ParameterNames(kind)[at]) + " " +
                                               std::string(ParameterUnits(kind)[at])));
      }
    }
  }
  EXPECT_EQ(batched, TTemporaryFolder::Read(Ini()));

  EXPECT_EQ(TProfile("Index of Parameters", Ini()).GetInt("FVC05"), 6) << "a zero position is written anew";
  EXPECT_EQ(TProfile("Merge Index By Parameter", Ini()).GetString("VC01"), "IRV [L]") << "an empty text is filled in";
  EXPECT_TRUE(batched.ends_with("[BTPS]\r\nBTPS=1\r\n")) << batched;
}

TEST_F(ParamListData, KindsAndParametersOutsideTheTables) {
  const TIndexOfFile data(Ini());
  EXPECT_EQ(data.GetParamIndex(6, 0), -1);
  EXPECT_EQ(data.GetParamIndex(-1, 0), -1);
  EXPECT_EQ(data.GetParamIndex(2, 2), -1);
  EXPECT_TRUE(data.GetIndexOfParams(6).empty());
  EXPECT_EQ(data.GetIndexOfParams(5).size(), 5u);
  EXPECT_EQ(TParamListData::IndexKey(4, 18), "PL18");
}

TEST_F(ParamListData, UnwritableFileStillGivesTheNaturalOrder) {
  const auto unwritable = UnwritableFolder(Folder);
  if (!unwritable)
    GTEST_SKIP() << "no unwritable folder on this machine";
  const TIndexOfFile data((*unwritable / "Halvetra.ini").string());
  for (short i = 0; i < 19; ++i)
    EXPECT_EQ(data.GetParamIndex(0, i), i);
}

}  // namespace
