#include "special/rhinomanometry/RhinoState.h"

#include "common/CommandNumbers.h"

#include <gtest/gtest.h>

namespace {

TEST(RhinoState, EachStartFillsItsSlotAndSide) {
  struct Case {
    unsigned id;
    bool provoked;
    short slot;
    short side;
    bool posterior;
  };
  for (const Case& c : {Case{CM_START, false, 0, 0, false}, Case{CM_START2, false, 1, 1, false},
                        Case{CM_START3, false, 1, 1, true}, Case{CM_START, true, 2, 0, false},
                        Case{CM_START2, true, 3, 1, false}, Case{CM_START3, true, 3, 1, true}}) {
    SCOPED_TRACE(std::to_string(c.id) + (c.provoked ? " provoked" : ""));
    const auto start = RhinoStartOf(c.id, c.provoked);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->Slot, c.slot);
    EXPECT_EQ(start->Side, c.side);
    EXPECT_EQ(start->Posterior, c.posterior);
  }
  EXPECT_FALSE(RhinoStartOf(CM_START3 + 1, false));
}

TEST(RhinoState, AlgorithmNamesAndShownRows) {
  EXPECT_EQ(RhinoAlgorithmText(0), 405);
  EXPECT_EQ(RhinoAlgorithmText(1), 406);
  EXPECT_EQ(RhinoAlgorithmText(2), 407);
  EXPECT_EQ(RhinoAlgorithmText(-1), 0);
  EXPECT_EQ(RhinoAlgorithmText(3), 0);

  TRhinoState state;
  EXPECT_EQ(state.ShownRows(), DefaultAnteriorRows);
  state.Posterior = true;
  EXPECT_EQ(state.ShownRows(), DefaultPosteriorRows);
  EXPECT_EQ(&state.ParamsOfSlot(1), &state.ParamsAkt);
  EXPECT_EQ(&state.ParamsOfSlot(3), &state.ParamsPre);
}

}  // namespace
