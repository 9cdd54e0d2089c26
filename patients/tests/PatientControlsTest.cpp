#include "patients/PatientControls.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace PatientControl;

bool Holds(const std::vector<int>& ids, int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

TEST(PatientControls, TheResourceChoosesTheLayout) {
  EXPECT_EQ(LayoutFromResource(20111), TPageLayout::Full);
  EXPECT_EQ(LayoutFromResource(20112), TPageLayout::Medium);
  EXPECT_EQ(LayoutFromResource(20113), TPageLayout::Small);
  EXPECT_EQ(LayoutFromResource(20114), TPageLayout::Full);
  EXPECT_EQ(LayoutFromResource(0), TPageLayout::Full);
}

TEST(PatientControls, TheSmallLayoutShowsOnlyWhatTheTestsNeed) {
  std::vector<int> small;
  for (const TPatientControl& control : PatientControls())
    if (control.In(TPageLayout::Small) && control.Kind != TControlKind::Label)
      small.push_back(control.Id);
  std::sort(small.begin(), small.end());
  EXPECT_EQ(small, (std::vector<int>{Name, Identifier, Date, Sex, Height, HeightUpDown, Age, Weight, WeightUpDown,
                                     TreatingDoctor}));
  EXPECT_FALSE(HasControl(TPageLayout::Medium, Population));
  EXPECT_FALSE(HasControl(TPageLayout::Medium, AddressTab));
  EXPECT_TRUE(HasControl(TPageLayout::Medium, Street));
  EXPECT_FALSE(HasControl(TPageLayout::Full, IdentifierLabel));  // the tab names the identifier there
}

TEST(PatientControls, FieldGroupsSkipWhatTheLayoutLacks) {
  const std::vector<int> smallAll = FieldGroup(TFieldGroup::All, TPageLayout::Small);
  for (const int id : smallAll)
    EXPECT_TRUE(HasControl(TPageLayout::Small, id)) << id;
  EXPECT_FALSE(Holds(smallAll, MotherName));
  EXPECT_FALSE(Holds(smallAll, Population));

  const std::vector<int> predicted = FieldGroup(TFieldGroup::Predicted, TPageLayout::Full);
  for (const int id : {Name, Identifier, IdentifierTab, Date, DateTab, Sex, Height, HeightUpDown, Weight, Age,
                       Population, TreatingDoctor})
    EXPECT_TRUE(Holds(predicted, id)) << id;
  for (const int id : {MotherName, MaidenName, AddressTab, Postcode, Phone, Occupation, HomeDoctor, HomeDoctorAddress})
    EXPECT_FALSE(Holds(predicted, id)) << id;

  // A patient who died or moved away keeps only the dates open.
  const std::vector<int> diedOrMoved = FieldGroup(TFieldGroup::DiedOrMoveOut, TPageLayout::Full);
  const std::vector<int> all = FieldGroup(TFieldGroup::All, TPageLayout::Full);
  std::vector<int> left;
  for (const int id : all)
    if (!Holds(diedOrMoved, id))
      left.push_back(id);
  EXPECT_EQ(left, (std::vector<int>{Date, DateTab}));
  EXPECT_FALSE(Holds(FieldGroup(TFieldGroup::DiedOrMoveOut, TPageLayout::Small), BirthDateLabel));
}

}  // namespace
