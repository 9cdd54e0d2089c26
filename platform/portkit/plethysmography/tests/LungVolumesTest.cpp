#include "platform/portkit/plethysmography/LungVolumes.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace plethysmography {
namespace {

// A composed volume curve (L above its lowest point): 2.0 at the shutter
// closure (sample 10), breathing out to 0.8 after the shutter opened
// (sample 20), in to 4.8, and out again to 1.0.
std::vector<float> Composed() {
  std::vector<float> v(40, 2.0f);
  const float tail[] = {1.6f, 1.2f, 0.8f, 1.5f, 3.0f, 4.8f, 3.0f, 1.0f};
  std::copy(std::begin(tail), std::end(tail), v.begin() + 22);
  std::fill(v.begin() + 30, v.end(), 1.0f);
  return v;
}

TEST(LungVolumes, RvTlcAndTheirRatio) {
  // TGV 3.0, ERV = 2.0 - 0.8 = 1.2, RV = 1.8. With the IVC after RV:
  // 4.8 - 0.8 = 4.0, TLC 5.8, RV/TLC 31.03 %. With a reference IVC of 4.5:
  // TLC 6.3, 28.57 %. Neither: TLC and the ratio are not written.
  struct Case {
    const char* name;
    VolumeSettings settings;
    float tlc;
    float ratio;
  };
  const Case cases[] = {
      {"IVC after RV", {true, 4.5}, 5.8f, 31.034f},
      {"reference IVC", {false, 4.5}, 6.3f, 28.571f},
      {"no IVC", {false, 0.0}, 0.0f, 0.0f},
  };
  const std::vector<float> volume = Composed();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::array<float, PLETHY_PARAMETER_COUNT> record{};
    record[TGV] = 3.0f;
    ASSERT_TRUE(CalculatePlethyParams(volume, {5, 8, 10, 20}, c.settings, record));
    EXPECT_NEAR(record[RV], 1.8f, 1e-5);
    EXPECT_NEAR(record[TLC], c.tlc, 1e-5);
    EXPECT_NEAR(record[RV_TLC], c.ratio, 1e-3);
  }
}

TEST(LungVolumes, NothingWithoutTgvOrMarks) {
  const std::vector<float> volume = Composed();
  std::array<float, PLETHY_PARAMETER_COUNT> record{};
  EXPECT_FALSE(CalculatePlethyParams(volume, {5, 8, 10, 20}, {}, record));
  record[TGV] = 3.0f;
  EXPECT_FALSE(CalculatePlethyParams(volume, {5, 8, 10, 40}, {}, record));
  EXPECT_FALSE(CalculatePlethyParams(volume, {5, 8, 0, 20}, {}, record));
  EXPECT_EQ(record[RV], 0.0f);
}

TEST(LungVolumes, RvBelowZeroIsWrittenForTheCallerToRefuse) {
  // TGV 1.0 with ERV 1.2: RV = -0.2.
  std::array<float, PLETHY_PARAMETER_COUNT> record{};
  record[TGV] = 1.0f;
  ASSERT_TRUE(CalculatePlethyParams(Composed(), {5, 8, 10, 20}, {}, record));
  EXPECT_NEAR(record[RV], -0.2f, 1e-5);
}

}  // namespace
}  // namespace plethysmography
