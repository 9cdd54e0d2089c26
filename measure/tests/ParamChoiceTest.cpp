#include "measure/results/ParamChoice.h"

#include <gtest/gtest.h>

namespace {

TParamFlags AllShown() {
  TParamFlags flags{};
  flags.fill(1);
  return flags;
}

TEST(ParamChoice, CheckAllAndClearAllTouchOnlyTheKind) {
  TParamFlags flags{};
  TParamChoice dfc(flags, 3);
  EXPECT_EQ(dfc.GetCount(), 13);
  EXPECT_FALSE(dfc.IsOkEnabled());
  dfc.CheckAll();
  for (std::size_t i = 0; i < flags.size(); ++i)
    EXPECT_EQ(flags[i], i >= 26 && i < 39 ? 1u : 0u) << i;
  EXPECT_TRUE(dfc.IsOkEnabled());

  flags = AllShown();
  TParamChoice shutter(flags, 5);
  shutter.ClearAll();
  EXPECT_FALSE(shutter.IsOkEnabled()) << "no parameter chosen: OK is disabled";
  EXPECT_EQ(flags[57], 1u);
  shutter.SetFlag(2, true);
  EXPECT_TRUE(shutter.IsOkEnabled());
  EXPECT_EQ(flags[60], 1u);
}

TEST(ParamChoice, CheckBoxIdsAndCaptionTextsByKind) {
  TParamFlags flags = AllShown();
  const int first[] = {5070, 5089, 5094, 5098, 5111, 5855};
  const int last[] = {5088, 5093, 5095, 5110, 5129, 5859};
  const int texts[] = {79, 80, 81, 426, 475, 474};
  for (short kind = 0; kind < 6; ++kind) {
    const TParamChoice choice(flags, kind);
    EXPECT_EQ(choice.CheckBoxId(0), first[kind]);
    EXPECT_EQ(choice.CheckBoxId(choice.GetCount() - 1), last[kind]);
    EXPECT_EQ(choice.KindText(), texts[kind]);
  }
  const TParamChoice none(flags, 6);
  EXPECT_EQ(none.GetCount(), 0);
  EXPECT_FALSE(none.IsOkEnabled());
  EXPECT_EQ(none.CheckBoxId(0), 0);
}

TEST(ParamChoice, RestorePutsBackWhatItOpenedWith) {
  TParamFlags flags = AllShown();
  flags[3] = 0;
  const TParamFlags opened = flags;
  TParamChoice fvc(flags, 0);
  fvc.ClearAll();
  fvc.SetFlag(3, true);
  fvc.SetFlag(99, true);  // no such box: nothing happens
  EXPECT_TRUE(fvc.GetFlag(3));
  fvc.Restore();
  EXPECT_EQ(flags, opened);
}

}  // namespace
