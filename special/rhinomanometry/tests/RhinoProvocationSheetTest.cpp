#include "special/rhinomanometry/RhinoProvocationSheet.h"

#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* Materials = "[Material of Rhinomanometer Provocation]\n"
                                  "Material1=Histamine\nMaterial2=Allergen mix\nMaterial3=Birch pollen\n"
                                  "SelectedMaterial=allergen\n";

TEST(RhinoProvocationSheet, ReadsTheListAndSelectsByItsBeginning) {
  TTemporaryFolder folder;
  const auto ini = folder.Write("Halvetra.ini", Materials);
  const TRhinoProvocationSheet sheet(ini.string());
  EXPECT_EQ(sheet.Materials(), (std::vector<std::string>{"Histamine", "Allergen mix", "Birch pollen"}));
  EXPECT_EQ(sheet.Selected(), 1);

  // An empty choice selects the first; a list ends at the first gap.
  const auto gap = folder.Write("Gap.ini", "[Material of Rhinomanometer Provocation]\nMaterial1=A\nMaterial3=C\n");
  const TRhinoProvocationSheet gapped(gap.string());
  EXPECT_EQ(gapped.Materials().size(), 1u);
  EXPECT_EQ(gapped.Selected(), 0);
  const TRhinoProvocationSheet none((folder / "None.ini").string());
  EXPECT_FALSE(none.CanConfirm());
  EXPECT_EQ(none.Selected(), -1);
}

TEST(RhinoProvocationSheet, ATypedBeginningIsNoNewMaterial) {
  TTemporaryFolder folder;
  const auto ini = folder.Write("Halvetra.ini", Materials);
  TRhinoProvocationSheet sheet(ini.string());
  EXPECT_EQ(sheet.Typed("hist"), 0);
  EXPECT_EQ(sheet.Typed(""), -1);
  EXPECT_EQ(sheet.Materials().size(), 3u);
  EXPECT_EQ(sheet.Typed("Capsaicin"), 3);
  EXPECT_EQ(sheet.Typed("Caps"), 3);
  EXPECT_EQ(sheet.Materials().size(), 4u);
}

TEST(RhinoProvocationSheet, OkStoresTheNewMaterialsAndTheChoice) {
  TTemporaryFolder folder;
  const auto ini = folder.Write("Halvetra.ini", Materials);
  TRhinoProvocationSheet sheet(ini.string());
  sheet.Typed("Capsaicin");
  bool stored = false;
  const TRhinoProvocationEntry entry = sheet.Confirm("Capsaicin", "12.50x", "0.1", stored);
  EXPECT_TRUE(stored);
  EXPECT_EQ(entry.Material, "Capsaicin");
  EXPECT_EQ(entry.Concentration, "12.50");  // the field holds 5 characters
  const TRhinoProvocationSheet again(ini.string());
  EXPECT_EQ(again.Materials().back(), "Capsaicin");
  EXPECT_EQ(again.Materials().size(), 4u);
  EXPECT_EQ(again.Selected(), 3);

  TRhinoState state;
  state.ProvocationDose = 0.3f;
  TakeProvocation(state, {"Capsaicin", "2.5", ""});
  EXPECT_EQ(state.ProvocationMaterial, "Capsaicin");
  EXPECT_FLOAT_EQ(state.ProvocationConcentration, 2.5f);
  EXPECT_FLOAT_EQ(state.ProvocationDose, 0.3f) << "an empty dose keeps the one before";
  TakeProvocation(state, {"Capsaicin", " 1.25 mg", "abc"});
  EXPECT_FLOAT_EQ(state.ProvocationConcentration, 1.25f);
  EXPECT_FLOAT_EQ(state.ProvocationDose, 0.0f);
}

}  // namespace
