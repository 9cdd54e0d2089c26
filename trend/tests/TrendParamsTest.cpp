#include "trend/TrendParams.h"
#include "trend/TrendSettings.h"

#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(TrendParamsTest, NamesAndUnitsAtEveryGroupsEdges) {
  struct TCase {
    short Number;
    const char* Name;
    const char* Unit;
  };
  const TCase cases[] = {
    {0, "FVC", "[L]"},          {2, "FEV*1,0", "[L]"},        {3, "FEV*0,5/IVC", "[%]"},
    {6, "FEV*1,0/FVC", "[%]"},  {7, "PEF", "[L/s]"},          {11, "MEF*25%", "[L/s]"},
    {12, "FET", "[s]"},         {13, "MTT", "[s]"},           {14, "FIVC", "[L]"},
    {16, "FIV*1,0", "[L]"},     {17, "PIF", "[L/s]"},         {18, "FIF*25-75%", "[L/s]"},
    {100, "IVC", "[L]"},        {104, "SVC", "[L]"},          {200, "MVV", "[L]"},
    {201, "MVV*f", "[1/min]"},  {300, "TLC", "[L]"},          {305, "RV", "[L]"},
    {306, "RV/TLC", "[%]"},     {307, "FRC", "[L]"},          {308, "FRC/TLC", "[%]"},
    {309, "Tlco", "[mmol/min*kPa]"}, {310, "Klco", "[mmol/min*kPa*L]"}, {311, "BHtime", "[s]"},
    {312, "WOV", "[L]"},        {400, "TLC", "[L]"},          {403, "RV/TLC", "[%]"},
    {404, "Raw", "[kPa*s/L]"},  {407, "Req", "[kPa*s/L]"},    {408, "sRaw", "[kPa*s]"},
    {410, "sRex", "[kPa*s]"},   {411, "Gaw", "[L/kPa*s]"},    {413, "Gex", "[L/kPa*s]"},
    {414, "sGaw", "[/kPa*s]"},  {416, "sGex", "[/kPa*s]"},    {417, "Rfreq", "[1/min]"},
    {418, "W", "[W]"},          {500, "Raw", "[kPa*s/L]"},    {502, "Rex", "[kPa*s/L]"},
    {503, "Gaw", "[L/kPa*s]"},  {504, "Rfreq", "[1/min]"},
    // No parameter: empty slot, past a group's end, past the last group.
    {-1, "", ""},               {19, "", ""},                 {105, "", ""},
    {202, "", ""},              {313, "", ""},                {419, "", ""},
    {505, "", ""},              {600, "", ""},                {-7, "", ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Number);
    EXPECT_EQ(TrendParams::Name(c.Number), c.Name);
    EXPECT_EQ(TrendParams::Unit(c.Number), c.Unit);
  }
}

TEST(TrendParamsTest, DialogItemsMapToNumbersAtEveryGroupBoundaryBothWays) {
  const std::pair<int, short> cases[] = {
    {0, -1},   {1, 0},    {19, 18},  {20, 100}, {24, 104}, {25, 200}, {26, 201},
    {27, 300}, {39, 312}, {40, 400}, {58, 418}, {59, 500}, {63, 504},
  };
  for (const auto& [item, number] : cases) {
    SCOPED_TRACE(item);
    EXPECT_EQ(TrendParams::ParamOfItem(item, 77), number);
    EXPECT_EQ(TrendParams::ItemOfParam(number), item);
  }
  // An item past the list leaves the slot as it was; a number naming no
  // parameter selects nothing.
  EXPECT_EQ(TrendParams::ParamOfItem(64, 405), 405);
  EXPECT_EQ(TrendParams::ParamOfItem(-1, 405), 405);
  EXPECT_FALSE(TrendParams::ItemOfParam(600));
  EXPECT_FALSE(TrendParams::ItemOfParam(19));
}

TEST(TrendParamsTest, SettingsSpellingReadsAndWrites) {
  const std::pair<const char*, short> reads[] = {
    {"PL05", 405}, {"", -1},     {"XY12", 0},     {"fvc01", 0},  {"FVC45", -1}, {"PL99", -1},
    {"VC03", 103}, {"FVC18", 18}, {"FVC19", -1},  {"SH04", 504}, {"DFC12", 312}, {"MVV01", 201},
    {"MVV", 200},  {"FVCxy", 0}, {"PL-3", -1},    {"SH99999999999", -1},
  };
  for (const auto& [text, number] : reads) {
    SCOPED_TRACE(text);
    EXPECT_EQ(TrendParams::FromIniText(text), number);
  }
  const std::pair<short, const char*> writes[] = {
    {103, "VC03"}, {405, "PL05"}, {0, "FVC00"}, {18, "FVC18"}, {201, "MVV01"},
    {312, "DFC12"}, {504, "SH04"}, {-1, ""}, {19, ""},
  };
  for (const auto& [number, text] : writes) {
    SCOPED_TRACE(number);
    EXPECT_EQ(TrendParams::IniText(number), text);
  }
}

TEST(TrendSettingsTest, ChosenParametersGridAndDashesInTheSettingsFile) {
  TTemporaryFolder folder;
  const std::string ini = (folder / "Halvetra.ini").string();
  EXPECT_EQ(TrendSettings::ReadSelectedTrendParams(ini), (std::array<short, 5>{-1, -1, -1, -1, -1}));
  EXPECT_TRUE(TrendSettings::ReadGrid(ini));
  EXPECT_TRUE(TrendSettings::ReadDottedLines(ini));

  ASSERT_TRUE(TrendSettings::WriteSelectedTrendParams(ini, {405, -1, 103, 0, 312}));
  EXPECT_EQ(TTemporaryFolder::Read(ini),
            "[Trendanalysis]\nParam1=PL05\nParam2=\nParam3=VC03\nParam4=FVC00\nParam5=DFC12\n");
  EXPECT_EQ(TrendSettings::ReadSelectedTrendParams(ini), (std::array<short, 5>{405, -1, 103, 0, 312}));

  // Hand-edited garbage: each slot as the rules read it, nothing else touched.
  folder.Write("Halvetra.ini",
               "[Trendanalysis]\nParam1=FVC45\nParam2=Raw\nParam3=PL\nParam4=  \nParam5=SH02junk\n"
               "[Grid]\nEnable=0\n[Print Struct]\nEnableDottedLine=0\n");
  EXPECT_EQ(TrendSettings::ReadSelectedTrendParams(ini), (std::array<short, 5>{-1, 0, 400, -1, 502}));
  EXPECT_FALSE(TrendSettings::ReadGrid(ini));
  EXPECT_FALSE(TrendSettings::ReadDottedLines(ini));
  ASSERT_TRUE(TrendSettings::WriteGrid(ini, true));
  EXPECT_TRUE(TrendSettings::ReadGrid(ini));
}

TEST(TrendSettingsTest, AFolderThatCannotBeWrittenIsReported) {
  TTemporaryFolder folder;
  const std::string ini = (folder / "missing" / "Halvetra.ini").string();
  EXPECT_FALSE(TrendSettings::WriteSelectedTrendParams(ini, {0, 1, 2, 3, 4}));
}

}  // namespace
