#include "shell/client/InstrumentChoice.h"

#include "common/CommandNumbers.h"

#include <gtest/gtest.h>

namespace {

TInstallFlags ChoiceFlags(bool h, bool d, bool p, short mode = 0) {
  TInstallFlags f;
  f.HardwareInstalled = h;
  f.DiffusionInstalled = d;
  f.PlethysmographInstalled = p;
  f.HardwareMode = mode;
  return f;
}

TEST(InstrumentChoice, KindFollowsTheInstalledSections) {
  using InstrumentChoice::KindWithoutAsking;
  struct Case {
    const char* what;
    TInstallFlags flags;
    unsigned command;
    short current;
    bool quiet;
    std::optional<short> kind;
  };
  const Case cases[] = {
      {"spirometer", ChoiceFlags(true, false, false), CM_MEASURE_FVC, 0, false, 1},
      {"rhinomanometer bit, FVC: no dialog", ChoiceFlags(true, false, false, 1), CM_MEASURE_FVC, 0, false, 2},
      {"plethysmograph alone", ChoiceFlags(false, false, true), CM_MEASURE_VC, 0, false, 4},
      {"diffusion alone", ChoiceFlags(false, true, false), CM_MEASURE_VC, 0, false, 3},
      {"two sections ask", ChoiceFlags(true, false, true), CM_MEASURE_FVC, 0, false, std::nullopt},
      {"two sections, chosen before", ChoiceFlags(true, false, true), CM_MEASURE_FVC, 1, false, 4},
      {"two sections, quiet load", ChoiceFlags(true, false, true), CM_MEASURE_FVC, 0, true, 1},
      {"rhinomanometry never asks", ChoiceFlags(true, true, true, 1), CM_MEASURE_RHINO, 0, false, 2},
      {"nothing installed", ChoiceFlags(false, false, false), CM_MEASURE_FVC, 0, false, 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(KindWithoutAsking(c.flags, c.command, c.current, c.quiet), c.kind) << c.what;
}

TEST(InstrumentChoice, DialogButtonsAndTheirKinds) {
  using InstrumentChoice::ButtonTexts;
  using InstrumentChoice::KindOfButton;
  EXPECT_EQ(ButtonTexts(ChoiceFlags(true, true, true)), (std::array<int, 3>{501, 426, 475}));
  EXPECT_EQ(ButtonTexts(ChoiceFlags(true, true, true, 1)), (std::array<int, 3>{404, 426, 475}));
  EXPECT_EQ(ButtonTexts(ChoiceFlags(true, true, false)), (std::array<int, 3>{501, 426, 0}));
  EXPECT_EQ(ButtonTexts(ChoiceFlags(true, false, true)), (std::array<int, 3>{501, 475, 0}));
  EXPECT_EQ(ButtonTexts(ChoiceFlags(false, true, true)), (std::array<int, 3>{475, 426, 0}));

  EXPECT_EQ(KindOfButton(ChoiceFlags(true, false, true), 5881, 0), 1);
  EXPECT_EQ(KindOfButton(ChoiceFlags(true, false, true, 1), 5881, 0), 2);
  EXPECT_EQ(KindOfButton(ChoiceFlags(false, true, true), 5881, 0), 4);
  EXPECT_EQ(KindOfButton(ChoiceFlags(true, false, true), 5882, 0), 4);  // the second button is the plethysmograph's
  EXPECT_EQ(KindOfButton(ChoiceFlags(true, true, false), 5882, 0), 3);
  EXPECT_EQ(KindOfButton(ChoiceFlags(true, true, true), 5883, 0), 4);
  EXPECT_EQ(KindOfButton(ChoiceFlags(true, true, true), 2, 0), 0);  // cancelled
}

}  // namespace
