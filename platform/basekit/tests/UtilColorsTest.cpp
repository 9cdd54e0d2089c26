#include "platform/basekit/Util.h"

#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

TEST(UtilColors, WithoutSettingsEveryEntryIsItsDefault) {
  TTemporaryFolder folder;
  TUtil util;
  util.SetColor(3, {1, 2, 3});
  util.ReadColors((folder / "missing.ini").string());
  EXPECT_EQ(util.GetColors(), TUtil::DefaultColors());
  EXPECT_EQ(util.GetColors().size(), 19u);

  // What the windows rely on: the curves of the three trials and the
  // previous result differ from each other and from the plot, and panel
  // text stands out on the panel.
  const auto& c = TUtil::DefaultColors();
  const std::set<std::tuple<int, int, int>> curves{
      {c[0].R, c[0].G, c[0].B}, {c[4].R, c[4].G, c[4].B}, {c[5].R, c[5].G, c[5].B},
      {c[6].R, c[6].G, c[6].B}, {c[8].R, c[8].G, c[8].B}};
  EXPECT_EQ(curves.size(), 5u);
  EXPECT_NE(c[TUtil::Text], c[TUtil::Panel]);
  EXPECT_NE(c[TUtil::Axis], c[TUtil::Background]);
}

TEST(UtilColors, AChangedKeyChangesItsEntryOnly) {
  TTemporaryFolder folder;
  const auto ini = folder.Write("Halvetra.ini", "[colors]\ncolor4=10,20,30\nColor18= 1 , 2 , 3 \nColor19=9,9,9\n");
  TUtil util;
  util.ReadColors(ini.string());
  for (std::size_t i = 0; i < TUtil::ColorCount; ++i) {
    SCOPED_TRACE(i);
    const TColor expected = i == 4 ? TColor(10, 20, 30) : i == 18 ? TColor(1, 2, 3) : TUtil::DefaultColors()[i];
    EXPECT_EQ(util.GetColor(i), expected);
  }
  EXPECT_EQ(util.GetColor(19), util.GetColor(0));  // past the list: the first entry
}

TEST(UtilColors, UnreadableValuesTakeTheirDefaults) {
  const char* const unreadable[] = {"",      "255,0",     "256,0,0", "-1,0,0", "1,2,3,4", "a,b,c",
                                    "1,,3",  "12abc,0,0", "0x10,0,0", "1.5,2,3", "1,2,3,", " , , "};
  TTemporaryFolder folder;
  for (const char* value : unreadable) {
    SCOPED_TRACE(value);
    EXPECT_FALSE(TUtil::ParseColor(value));
    const auto ini = folder.Write("Halvetra.ini", std::string("[Colors]\nColor0=") + value + "\n");
    TUtil util;
    util.SetColor(0, {7, 7, 7});
    util.ReadColors(ini.string());
    EXPECT_EQ(util.GetColor(0), TUtil::DefaultColors()[0]);
  }
  EXPECT_EQ(TUtil::ParseColor("0,128,255"), TColor(0, 128, 255));
}

TEST(UtilColors, AWrittenEntryReadsBack) {
  TTemporaryFolder folder;
  const std::string ini = (folder / "Halvetra.ini").string();
  TUtil util;
  util.SetColor(17, {200, 100, 0});
  ASSERT_TRUE(util.WriteColor(ini, 17));
  EXPECT_NE(TTemporaryFolder::Read(ini).find("Color17=200,100,0"), std::string::npos);
  TUtil other;
  other.ReadColors(ini);
  EXPECT_EQ(other.GetColor(17), TColor(200, 100, 0));
  EXPECT_FALSE(util.WriteColor(ini, 19));
}

class NotingClock final : public TDelayClock {
public:
  void Wait(std::chrono::milliseconds duration) override { Waits.push_back(duration.count()); }
  std::vector<long> Waits;
};

TEST(UtilDelay, WaitsOnTheClockInUse) {
  auto clock = std::make_shared<NotingClock>();
  TUtil util;
  util.SetDelayClock(clock);
  util.MsecDelay(200);
  util.MsecDelay(0);
  util.MsecDelay(-5);
  util.MsecDelay(50);
  EXPECT_EQ(clock->Waits, (std::vector<long>{200, 50}));
}

}  // namespace
