#include "shell/bars/BarLayouts.h"
#include "testing/TemporaryFolder.h"

#include "common/CommandNumbers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

// A bar in short: "s6" separator, "p14" spacer, "t3:40/min" text gadget
// ("t8:#477" one of a language text), "v5803@20" slider, and buttons by id
// with "T" toggle, "X" exclusive, "N" non-exclusive, "+" down and
// "/name" a named bitmap.
std::string Show(const TBarLayout& bar) {
  std::ostringstream out;
  for (const TBarGadget& g : bar.Gadgets) {
    if (out.tellp() > 0)
      out << ' ';
    switch (g.Kind) {
    case TBarGadget::TKind::Separator: out << 's' << g.Size; break;
    case TBarGadget::TKind::Spacer: out << 'p' << g.Size; break;
    case TBarGadget::TKind::Text:
      out << 't' << g.Size << ':' << (g.TextNumber >= 0 ? "#" + std::to_string(g.TextNumber) : g.Text);
      break;
    case TBarGadget::TKind::Slider: out << 'v' << g.Id << '@' << g.Position; break;
    case TBarGadget::TKind::Button:
      out << g.Id << (g.Type == 3 ? "T" : g.Type == 1 ? "X" : g.Type == 2 ? "N" : "") << (g.Down ? "+" : "");
      if (g.Bitmap != std::to_string(g.Id))
        out << '/' << g.Bitmap;
      break;
    }
  }
  return out.str();
}

BarLayouts::TMeasureBarView View(short type, bool stage = false, bool provocation = false) {
  BarLayouts::TMeasureBarView v;
  v.MeasureType = type;
  v.StageView = stage;
  v.ProvocationOpen = provocation;
  v.GridDown = true;
  v.Rates = TBreathingRates{40, 60};
  return v;
}

TEST(BarLayouts, MeasurementBarFollowsStageViewTestAndProvocation) {
  struct Case {
    const char* what;
    BarLayouts::TMeasureBarView view;
    const char* expected;
  };
  const Case cases[] = {
      {"FVC", View(0),
       "s30 s15 2003 s3 2010 s3 2011 2012 2013 s3 2009 s3 2002 s6 2014T s6 2021X 2022X 2023X s3 2006T s6 2025T+ s6 "
       "2032/2114 s6 2123 s3 2138"},
      {"FVC in a provocation", View(0, false, true),
       "s30 s15 2003 s3 2010 s3 2011 2012 2013 s3 2009 s3 2002 s6 2014T s6 2021X 2022X 2023X s6 2025T+ s6 2135 2158"},
      {"stored tests", View(1, true),
       "s30 s15 2002 s6 2025T+ s6 2123 s3 2138"},
      {"stored tests in a provocation", View(1, true, true),
       "s30 s15 2002 s6 2025T+ s6 2135 2158"},
      {"rhinomanometry", View(6),
       "s30 s15 2003 s3 2010 s3 2011/CM_LEFT_NOSE 2012/CM_RIGHT_NOSE s3 2013/CM_RHINO_POSTERIOR s6 2009 s3 2002 s6 "
       "2050/2134 s6 2025T+ s6 2032/2114 s6 2123 s3 2138"},
      // The breathing-rate group stays with stored plethysmograph tests.
      {"plethysmography, stored", View(4, true),
       "s30 s15 2002 s6 2025T+ s6 2123 s3 2138 p6 p14 t3:40/min 2160N+ p6 p14 t3:60/min 2159N"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Show(BarLayouts::Measurement(c.view)), c.expected) << c.what;
  const TBarLayout bar = BarLayouts::Measurement(View(0));
  EXPECT_EQ(bar.CaptionText, 43);
  EXPECT_EQ(bar.Dock, TBarLayout::TDock::Bottom);
}

TEST(BarLayouts, BreathingRateGroupFitsTheScreenAndNeedsAHighRate) {
  struct Case {
    int width;
    std::optional<TBreathingRates> rates;
    const char* group;  // what follows the DDE button
  };
  const Case cases[] = {
      {800, TBreathingRates{40, 60}, "t3:40/min 2160N+ p6 t3:60/min 2159N"},
      {1024, TBreathingRates{40, 60}, "p14 t3:40/min 2160N+ p6 p14 t3:60/min 2159N"},
      {1280, TBreathingRates{40, 60}, "p14 t8:#477 t3:40/min 2160N+ p6 p14 t3:60/min 2159N"},
      {1280, TBreathingRates{40, 0}, ""},
      {1280, std::nullopt, ""},  // an unreadable settings file
  };
  for (const Case& c : cases) {
    BarLayouts::TMeasureBarView v = View(4);
    v.ScreenWidth = c.width;
    v.Rates = c.rates;
    const std::string shown = Show(BarLayouts::Measurement(v));
    const std::string tail = shown.substr(shown.find("2138") + 4);
    const std::string expected = *c.group ? std::string(" p6 ") + c.group : "";
    EXPECT_EQ(tail, expected) << c.width;
  }
}

TEST(BarLayouts, BreathingRatesComeFromThePlethysmographSection) {
  TTemporaryFolder folder;
  const std::string ini = (folder / "Halvetra.ini").string();
  std::ofstream(ini) << "[Plethysmograph Parameters]\nBreathingRate=35\nBreathingRateHigh=70\n";
  const auto rates = BarLayouts::ReadBreathingRates(ini);
  ASSERT_TRUE(rates);
  EXPECT_EQ(rates->Normal, 35);
  EXPECT_EQ(rates->High, 70);
  const std::string missing = (folder / "none.ini").string();
  const auto defaults = BarLayouts::ReadBreathingRates(missing);
  ASSERT_TRUE(defaults);  // a missing file gives the defaults: no group
  EXPECT_EQ(defaults->High, 0);
  // A settings file that cannot be read (its folder is a file).
  EXPECT_FALSE(BarLayouts::ReadBreathingRates((folder / "Halvetra.ini" / "inner.ini").string()));
}

TEST(BarLayouts, OtherBarsOfTheComponentWindows) {
  EXPECT_EQ(Show(BarLayouts::PatientBar1()), "s30 s15 2110 s24 2111 2112 2114 2124 s24 2115 2116 2117 2118");
  EXPECT_EQ(BarLayouts::PatientBar1().Dock, TBarLayout::TDock::Top);
  EXPECT_EQ(Show(BarLayouts::PatientBar2(false)), "s30 s15 2120 s6 2123 s6 2122");
  EXPECT_EQ(Show(BarLayouts::PatientBar2(true)), "s30 s15 2120 s6 2123 s6 2122 s6 2137");
  EXPECT_EQ(BarLayouts::PatientBar2(true).Dock, TBarLayout::TDock::Bottom);
  EXPECT_EQ(Show(BarLayouts::Trend(true)),
            "s30 s15 2128 s6 2129T s3 2156T s6 2002 s6 2025T+ s12 2130 2131 s6 2132 2133 s12 2123 s12 2138");
  EXPECT_EQ(Show(BarLayouts::Provocation(false)),
            "s30 s15 2002 s6 2025T s6 2135 s6 2009 s6 2157 s12 2123 s12 2138 s12 2158");
  EXPECT_TRUE(BarLayouts::Provocation(false).Find(CM_CANCEL_PROV)->CreatedEnabled);
  EXPECT_EQ(Show(BarLayouts::Audiometer(2, 1, 35)),
            "s30 s15 2051T v5803@35 2052X 2053X 2054X+ 2074X s6 2055X 2056X+ 2057X s6 2061/2114 s3 2123 s3 2138");
}

TEST(BarLayouts, MainBarTestButtonsFollowTheInstalledInstruments) {
  const auto ids = [](const TInstallFlags& f) {
    std::vector<unsigned> buttons;
    for (const TBarGadget& g : BarLayouts::MainBarTestButtons(f))
      if (g.Kind == TBarGadget::TKind::Button)
        buttons.push_back(g.Id);
    return buttons;
  };
  TInstallFlags none;
  EXPECT_EQ(ids(none), std::vector<unsigned>{CM_FILEPRINT});
  TInstallFlags all;
  all.HardwareInstalled = all.AudioInstalled = true;
  all.HardwareMode = 1;
  EXPECT_EQ(ids(all), (std::vector<unsigned>{CM_MEASURE_MENU, CM_MEASURE_RHINO, CM_PROVOCATION, CM_AUDIOMETER,
                                              CM_FILEPRINT}));
  TInstallFlags plethysmograph;
  plethysmograph.PlethysmographInstalled = true;
  plethysmograph.HardwareMode = 1;  // the rhinomanometer bit without the spirometer's section
  EXPECT_EQ(ids(plethysmograph), (std::vector<unsigned>{CM_MEASURE_MENU, CM_PROVOCATION, CM_FILEPRINT}));
  // Each button has its separator of 3.
  EXPECT_EQ(BarLayouts::MainBarTestButtons(all).size(), 10u);

  // Without 2045 the audiometer and print buttons still go.
  EXPECT_EQ(BarLayouts::MainBarRemovals({CM_AUDIOMETER, CM_FILEPRINT, CM_EXIT}),
            (std::vector<unsigned>{CM_AUDIOMETER, CM_FILEPRINT}));
  // A rhinomanometry or provocation button without 2045 is not looked for.
  EXPECT_EQ(BarLayouts::MainBarRemovals({CM_MEASURE_RHINO, CM_FILEPRINT}), std::vector<unsigned>{CM_FILEPRINT});
  EXPECT_EQ(BarLayouts::MainBarRemovals({CM_MEASURE_MENU, CM_MEASURE_RHINO, CM_PROVOCATION, CM_FILEPRINT}),
            (std::vector<unsigned>{CM_MEASURE_MENU, CM_MEASURE_RHINO, CM_PROVOCATION, CM_FILEPRINT}));
}

TEST(BarLayouts, MeasurementBarIsAdaptedToTheTestShown) {
  struct Case {
    short type;
    bool provocation;
    const char* middle;  // from the zoom button to the grid button
  };
  const Case cases[] = {
      {0, false, "2002 s6 2014T s6 2021X 2022X 2023X s3 2006T s6 2025T+"},
      {3, false, "2002 s6 s6 2021X 2022X 2023X s3 2006T s6 2025T+"},
      {4, false, "2002 s6 s6 2021X 2022X 2023X s3 2068 2069 2070 2006T s6 2025T+"},
      {4, true, "2002 s6 s6 2021X 2022X 2023X s6 2068 2069 2070 2025T+"},
  };
  for (const Case& c : cases) {
    BarLayouts::TMeasureBarView v = View(c.type, false, c.provocation);
    TBarLayout bar = BarLayouts::Measurement(v);
    BarLayouts::AdaptMeasurementBar(bar, c.type, v);
    const std::string shown = Show(bar);
    const auto from = shown.find("2002");
    const auto to = shown.find("2025T+") + 6;
    EXPECT_EQ(shown.substr(from, to - from), c.middle) << c.type;
  }
  // Back to FVC: the animation returns beside the first table.
  BarLayouts::TMeasureBarView v = View(3);
  TBarLayout bar = BarLayouts::Measurement(v);
  BarLayouts::AdaptMeasurementBar(bar, 3, v);
  BarLayouts::AdaptMeasurementBar(bar, 0, v);
  EXPECT_NE(Show(bar).find("2014T s6 2021X"), std::string::npos);
}

TEST(BarLayouts, ChangedCommandButtonTakesThePlaceOfItsStartButton) {
  const BarLayouts::TMeasureBarView v = View(5);
  struct Case {
    unsigned oldId, newId;
    const char* starts;  // from zero to the stop button
  };
  const Case cases[] = {
      {CM_START, CM_SHUTTER, "2010 s3 2153/CM_SHUTTER_ENABLE1 2012 2013 s3 2009"},
      {CM_START2, CM_SHUTTER, "2010 s3 2011 2153/CM_SHUTTER_ENABLE2 2013 s3 2009"},
      {CM_START3, CM_SHUTTER, "2010 s3 2011 2012 2153/CM_SHUTTER_ENABLE3 s3 2009"},
  };
  for (const Case& c : cases) {
    TBarLayout bar = BarLayouts::Measurement(v);
    EXPECT_TRUE(BarLayouts::ChangeCommandButton(bar, c.oldId, c.newId, v));
    const std::string shown = Show(bar);
    const auto from = shown.find("2010");
    const auto to = shown.find("2009") + 4;
    EXPECT_EQ(shown.substr(from, to - from), c.starts) << c.oldId;
    // And back again.
    EXPECT_TRUE(BarLayouts::ChangeCommandButton(bar, CM_SHUTTER, c.oldId, v));
    EXPECT_EQ(Show(bar), Show(BarLayouts::Measurement(v))) << c.oldId;
  }
  TBarLayout bar = BarLayouts::Measurement(v);
  EXPECT_FALSE(BarLayouts::ChangeCommandButton(bar, CM_SHUTTER, CM_START, v));  // not on the bar
  EXPECT_TRUE(BarLayouts::ChangeCommandButton(bar, CM_ZOOM, CM_SHUTTER, v));
  EXPECT_NE(Show(bar).find("s3 2153/CM_SHUTTER_ENABLE3 s6"), std::string::npos);
}

}  // namespace
