#include "shell/bars/ChildMenus.h"

#include "common/CommandNumbers.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// A menu in short: "-" separator, "id" an item, "id:suffix" an item with a
// text after its own, "[text ...]" a popup of that language text.
std::string Show(const std::vector<TMenuEntry>& entries) {
  std::ostringstream out;
  for (const TMenuEntry& e : entries) {
    if (out.tellp() > 0)
      out << ' ';
    switch (e.Kind) {
    case TMenuEntry::TKind::Separator: out << '-'; break;
    case TMenuEntry::TKind::Command:
      out << e.Id;
      if (!e.Suffix.empty())
        out << ':' << e.Suffix;
      if (!e.Key.empty())
        out << "\\t" << e.Key;
      break;
    case TMenuEntry::TKind::Popup: out << '[' << e.TextNumber << ' ' << Show(e.Items) << ']'; break;
    }
  }
  return out.str();
}

TInstallFlags Flags(bool d1, bool d2, bool d3, bool audio, short mode = 0) {
  TInstallFlags f;
  f.HardwareInstalled = d1;
  f.DiffusionInstalled = d2;
  f.PlethysmographInstalled = d3;
  f.AudioInstalled = audio;
  f.HardwareMode = mode;
  return f;
}

constexpr const char* FullMeasure =
    "2003 - 2010 - 2011 2012 2013 2009 - 2002 - 2050 - 2014 - 2021 2022 2023 2006 - 2025 - 2032 - 2123 - 2138";

TEST(ChildMenus, PatientAndMeasurementMenusFollowTheInstalledInstruments) {
  const TBreathingRates rates{40, 70};
  struct Case {
    const char* what;
    TInstallFlags flags;
    bool stage;
    std::optional<TBreathingRates> rates;
    const char* expected;
  };
  const Case cases[] = {
      {"no device", Flags(false, false, false, false), false, rates, "- [124 [125 ]] -"},
      {"audiometer only", Flags(false, false, false, true), false, rates, "- [124 2126 - [125 ]] -"},
      {"spirometer with rhinomanometer and shutter", Flags(true, false, false, false, 5), false, rates,
       "- [124 2045 2147 2148 2149 2152 - 2139 - 2134 - 2122 [125 2003 - 2010 - 2011 2012 2013 2153 2009 - 2002 - "
       "2050 - 2014 - 2021 2022 2023 2006 - 2025 - 2032 - 2123 - 2138]] -"},
      {"diffusion unit", Flags(false, true, false, false), false, rates,
       "- [124 2045 2147 2148 2149 2150 - 2134 - 2122 [125 2003 - 2010 - 2011 2012 2013 2106\\tENTER 2009 - 2002 - "
       "2050 - 2014 - 2021 2022 2023 2006 - 2025 - 2032 - 2123 - 2138]] -"},
      {"plethysmograph, no high rate", Flags(false, false, true, false), false, TBreathingRates{40, 0},
       "- [124 2045 2147 2148 2149 2151 - 2134 - 2122 [125 2003 - 2010 - 2011 2012 2013 2153 2009 - 2002 - 2050 - "
       "2014 - 2021 2022 2023 - 2068 2069 2070 - 2006 - 2025 - 2032 - 2123 - 2138]] -"},
      {"plethysmograph, high rate 70", Flags(false, false, true, false), false, rates,
       "- [124 2045 2147 2148 2149 2151 - 2134 - 2122 [125 2003 - 2010 - 2011 2012 2013 2153 2009 - 2002 - 2050 - "
       "2014 - 2021 2022 2023 - 2068 2069 2070 - 2160:: 40/min 2159:: 70/min - 2006 - 2025 - 2032 - 2123 - 2138]] -"},
      {"plethysmograph, settings unreadable", Flags(false, false, true, false), false, std::nullopt,
       "- [124 2045 2147 2148 2149 2151 - 2134 - 2122 [125 2003 - 2010 - 2011 2012 2013 2153 2009 - 2002 - 2050 - "
       "2014 - 2021 2022 2023 - 2068 2069 2070 - 2006 - 2025 - 2032 - 2123 - 2138]] -"},
      {"stored tests", Flags(true, false, true, true, 1), true, rates,
       "- [124 2045 2147 2148 2149 2151 - 2139 - 2134 - 2126 - 2122 [125 2002 - 2025 - 2123 - 2138]] -"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Show(ChildMenus::PatientMeasure(c.flags, true, c.stage, c.rates)), c.expected) << c.what;

  // The patient sheet's menu has no measurement popup.
  EXPECT_EQ(Show(ChildMenus::PatientMeasure(Flags(true, false, false, false), false, false, rates)),
            "- [124 2045 2147 2148 2149 - 2134 - 2122] -");
  EXPECT_NE(Show(ChildMenus::PatientMeasure(Flags(true, false, false, false), true, false, rates)).find(FullMeasure),
            std::string::npos);
}

TEST(ChildMenus, MenusOfTheOtherWindows) {
  EXPECT_EQ(Show(ChildMenus::ShortMeasure()),
            "- [124 2003 - 2010 - 2011 2012 2013 2009 - 2002 - 2014 - 2021 2022 2023 - 2025 - 2135] -");
  EXPECT_EQ(Show(ChildMenus::Note()),
            "- [251 24321\\tCtrl+Z - 24322\\tCtrl+X 24323\\tCtrl+C 24324\\tCtrl+V 24325\\tDel 24326\\tCtrl+Del - 24334 - "
            "2127] -");
  EXPECT_EQ(Show(ChildMenus::Trend()),
            "- [250 2128 2129 - 2156 - 2002 - 2025 - 2130 2131 - 2132 2133 - 2123 - 2138] -");
  EXPECT_EQ(Show(ChildMenus::Provocation()), "- [337 2002 - 2025 - 2135 - 2009 - 2157 - 2158 - 2123 - 2138] -");
  EXPECT_EQ(Show(ChildMenus::Audiometer()),
            "- [315 2051 - 2052 2053 2054 2074 - 2055 2056 2057 - 2032 - 2123 - 2138] -");
  // The cancel item has a text of its own.
  const std::vector<TMenuEntry> provocationMenu = ChildMenus::Provocation();
  const TMenuEntry* provocation = ChildMenus::PopupOf(provocationMenu);
  ASSERT_TRUE(provocation);
  EXPECT_NE(provocation->Items[10].TextNumber, provocation->Items[8].TextNumber);
}

TEST(ChildMenus, ActiveChildsPopupJoinsBetweenFileAndHelp) {
  using E = TMenuEntry;
  const std::vector<E> main{E::Popup(105, {E::Command(CM_EXIT, 119)}), E::Separator(), E::Separator(),
                            E::Popup(121, {E::Command(CM_ABOUT, 123)})};
  const std::vector<E> note = ChildMenus::Note();
  EXPECT_EQ(Show(ChildMenus::Merged(main, &note)), "[105 24310] - [251 " + Show(ChildMenus::PopupOf(note)->Items) +
                                                       "] - [121 2143]");
  EXPECT_EQ(Show(ChildMenus::Merged(main, nullptr)), Show(main));
}

}  // namespace
