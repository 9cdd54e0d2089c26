#include "platform/portkit/spirometry/tests/Waveforms.h"
#include "platform/portkit/spirometry/tests/WindowPipeline.h"

#include "common/MeasureMode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace spirometry::testing {
namespace {

template <std::size_t N>
bool AllZero(const std::array<float, N>& record) {
  return std::all_of(record.begin(), record.end(), [](float v) { return v == 0.0f; });
}

struct NoManoeuvre {
  std::string name;
  std::vector<float> flowLps;
};

// Trials that reach the calculations without a manoeuvre in them.
std::vector<NoManoeuvre> Fixtures() {
  std::vector<float> noise;
  for (const short count : Noise(3000, 0.045, 7)) {
    noise.push_back(static_cast<float>(count) * 0.0087890625f);
  }
  noise.front() = -0.07f;  // the spike that started the recording
  return {
      {"no samples", {}},
      {"one sample", {-1.0f}},
      {"only inspiration, 1.0 L/s for 1 s", std::vector<float>(100, 1.0f)},
      {"30 s of flow noise", noise},
  };
}

TEST(NoResult, TrialsWithoutAManoeuvreLeaveEveryKindsRecordZero) {
  for (const NoManoeuvre& fixture : Fixtures()) {
    SCOPED_TRACE(fixture.name);
    {
      RecordedTrial trial = Replay(fixture.flowLps);
      const FvcEvaluation fvc = EvaluateFvc(trial);
      EXPECT_FALSE(fvc.found);
      EXPECT_TRUE(AllZero(fvc.record));
    }
    {
      RecordedTrial trial = Replay(fixture.flowLps);
      std::array<float, VC_PARAMETER_COUNT> vc;
      vc.fill(1.0f);
      EXPECT_FALSE(EvaluateVc(trial, vc));
      EXPECT_TRUE(AllZero(vc));
    }
    {
      RecordedTrial trial = Replay(fixture.flowLps);
      std::array<float, MVV_PARAMETER_COUNT> mvv;
      mvv.fill(1.0f);
      EXPECT_FALSE(EvaluateMvv(trial, mvv));
      EXPECT_TRUE(AllZero(mvv));
    }
  }
}

TEST(NoResult, AShallowPuffIsNoForcedExpiration) {
  // 0.15 L out at 0.4 L/s peak: below both the least capacity and the least peak flow.
  Waveform w(0.0);
  w.Expire({0, 0, 0.1, 0.4, 0.3, 2}).Inspire({0, 0, 0.1, 0.4, 0.3, 2});
  RecordedTrial trial = Acquire(Quantise(w.Sample(0.5)), MEASURE_FVC);
  EXPECT_FALSE(EvaluateFvc(trial).found);
}

}  // namespace
}  // namespace spirometry::testing
