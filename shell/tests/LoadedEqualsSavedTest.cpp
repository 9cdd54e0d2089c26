// A test saved and read back shows what it showed: for each spirometric
// kind and the diffusion test, a trial on the demonstration data is
// evaluated, saved as the tool button saves it and loaded back as the
// browser asks for it; every line of the result list must read the same,
// and the curve must come back as the stored format places it. Each case
// starts the whole program and replays a trial on the link clock (2-6 s):
// the round trip is only seen through the real windows and tables.

#include "shell/tests/MeasureRunFixture.h"

#include "common/CommandNumbers.h"
#include "common/MeasureMode.h"
#include "measure/results/ParamList.h"
#include "measure/window/Measure.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/WindowMessages.h"

#include <ostream>
#include <string>
#include <vector>

namespace {

struct TRoundTripCase {
  const char* Name;
  unsigned Command;
  short Kind;
};

// Test listings name the case, not its bytes.
void PrintTo(const TRoundTripCase& c, std::ostream* out) { *out << c.Name; }

class LoadedEqualsSaved : public TMeasureRunFixture, public ::testing::WithParamInterface<TRoundTripCase> {
protected:
  // The key the browser sends for the one stored examination.
  std::string StoredExaminationKey() {
    std::unique_ptr<TEngine> meet = OpenTestTable(Folder / "Database/Data", "meet.db", &App->GetMessages());
    EXPECT_EQ(meet->GoTop(), 0);
    MeetRecordType stored;
    EXPECT_EQ(meet->GetData(stored), 0);
    return FieldText(stored.Date) + "@" + FieldText(stored.Time);
  }
};

TEST_P(LoadedEqualsSaved, EveryShownParameterAndTheCurveComeBackAsTheyWereShown) {
  const TRoundTripCase& c = GetParam();
  {
    TMeasure& window = OpenTest(c.Command);
    ASSERT_FALSE(HasFailure());
    // The diffusion test's wash-out, hold and analysis take longer than a
    // spirometric trial.
    RunTrial(window, 6000);
    ASSERT_FALSE(HasFailure());
    const std::vector<std::string> shown = window.GetParamList()->GetLines();
    const int count = window.GetBufferSize(c.Kind, 0);
    ASSERT_GT(count, 8);
    const std::vector<float> flow(window.GetSpiroFlowBuffer(0), window.GetSpiroFlowBuffer(0) + count);

    ASSERT_TRUE(Route(CM_SAVE_MEASUREMENT));
    ASSERT_FALSE(window.HasUnsavedResults());
    const std::string key = StoredExaminationKey();
    // Read back into a new window, which knows nothing of the trial.
    ASSERT_TRUE(Client().GetMeasureFrame()->close());
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(Client().GetMeasure(), nullptr);
    ASSERT_TRUE(Route(c.Command));
    auto* reopened = dynamic_cast<TMeasure*>(Client().GetMeasure());
    ASSERT_NE(reopened, nullptr);
    SendMessage(&Client(), WM_LOAD_MEASUREMENT, 1, reinterpret_cast<TParam2>(key.c_str()));

    // Every value at the precision the list shows it.
    EXPECT_EQ(reopened->GetParamList()->GetLines(), shown);
    // The stored curve: every fourth sample, each landing four samples on
    // behind the expansion's leading zero.
    const int stored = count / 4;
    ASSERT_EQ(reopened->GetBufferSize(c.Kind, 0), 4 * stored);
    const float* loaded = reopened->GetSpiroFlowBuffer(0);
    EXPECT_EQ(loaded[0], 0.0f);
    for (int j = 0; j + 1 < stored; ++j)
      ASSERT_EQ(loaded[4 * j + 4], flow[static_cast<std::size_t>(4 * j)]) << "stored sample " << j;
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, LoadedEqualsSaved,
                         ::testing::Values(TRoundTripCase{"FVC", CM_MEASURE_FVC, MEASURE_FVC},
                                           TRoundTripCase{"VC", CM_MEASURE_VC, MEASURE_VC},
                                           TRoundTripCase{"MVV", CM_MEASURE_MVV, MEASURE_MVV},
                                           TRoundTripCase{"DFC", CM_MEASURE_DFC, MEASURE_DFC}),
                         [](const ::testing::TestParamInfo<TRoundTripCase>& info) { return std::string(info.param.Name); });

}  // namespace
