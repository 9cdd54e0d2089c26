// The single-breath diffusion test through the real program on the
// demonstration data: the wash-out, the breath hold and the gas analysis
// with their count-downs on the screen, then the parameters of the
// demonstration patient, on a manual link clock.

#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "measure/window/Measure.h"
#include "platform/portkit/diffusion/DfcParameters.h"
#include "platform/portkit/tests/support/ManualLinkClock.h"
#include "shell/app/ProgramWindows.h"
#include "shell/tests/ManOfForty.h"

#include <QMdiSubWindow>

#include <random>
#include <set>

namespace {

class DfcReplay : public TAppFixture {
protected:
  void SetUp() override { Windows = ProgramWindows(); }

  TMeasure& OpenDfc() {
    Folder.Write("Halvetra.ini", "[Hardware]\nInstall=1\nMode=0\n");
    Start();
    CreateDatabase();
    PatientRecordType man = ManOfForty();
    EXPECT_EQ(Names()->AddPatientRecord(man, 1), 0);
    EXPECT_TRUE(Route(CM_OPEN_PATIENT));
    EXPECT_TRUE(Route(CM_MEASURE_DFC));
    auto* window = dynamic_cast<TMeasure*>(Client().GetMeasure());
    EXPECT_NE(window, nullptr);
    window->TMeasureInterrupt::SetClock(LinkClock);
    window->SeedRandom(Seed);
    return *window;
  }

  // The first factor the window draws for a replayed trial: 0.75 to 1.49.
  float DrawnFactor() const {
    std::mt19937 random(Seed);
    return static_cast<float>((static_cast<int>(random() & 0x7FFFFFFF) % 75 + 75) * 0.01);
  }

  static constexpr unsigned Seed = 12345;
  std::shared_ptr<TManualLinkClock> LinkClock = std::make_shared<TManualLinkClock>();
};

TEST_F(DfcReplay, TheDemonstrationBreathGivesThePatientsTransferFactor) {
  TMeasure& window = OpenDfc();
  ASSERT_FALSE(HasFailure());
  EXPECT_EQ(window.GetMeasureMode(), MEASURE_DFC);
  // The measurement window over the whole work area, as the operator has it.
  for (QWidget* up = window.parentWidget(); up; up = up->parentWidget())
    if (auto* frame = qobject_cast<QMdiSubWindow*>(up)) {
      frame->showMaximized();
      break;
    }
  QApplication::processEvents();
  ASSERT_TRUE(Route(CM_START));
  QApplication::processEvents();
  ASSERT_TRUE(window.IsRunning());

  // The screen the operator reads in each step that counts down.
  const std::map<short, std::string> countDowns{
      {6, "measure-dfc-washout.png"}, {12, "measure-dfc-breath-hold.png"}, {11, "measure-dfc-gas-analysis.png"}};
  std::set<short> pictured;
  std::map<short, int> stepSamples;
  for (int step = 0; step < 40000 && window.IsRunning(); ++step) {
    LinkClock->Advance(10);
    QApplication::processEvents();
    const short mode = TMeasureInterrupt::TestMode;
    // A few seconds into the step, so that the count-down has been drawn.
    if (countDowns.contains(mode) && ++stepSamples[mode] == 150 && pictured.insert(mode).second)
      SavePicture(*window.window(), countDowns.at(mode));
  }
  ASSERT_FALSE(window.IsRunning());
  EXPECT_EQ(pictured.size(), countDowns.size()) << "every count-down was on the screen";
  SavePicture(*window.window(), "measure-dfc-demo.png");

  // The demonstration patient (tools/lungmodel) by hand: VI = ERV 1.5 +
  // TV 0.6 + IRV 2.2 = 4.30 L, scaled by the replay's drawn factor f; the
  // analysers read He 3.58196 % through the absorber, 3.40286 % once the
  // window's 95 % correction is applied, which the model made from
  // 4.8 % x (4.30 - 0.33) / 5.6. So VA = (4.30 f - 0.33) x 4.8 / 3.40286 =
  // 5.6 x (4.30 f - 0.33) / 3.97; CO and the breath-hold time do not move
  // with f, so Tlco = 8.0 x VA / 5.6 and Klco = 8.0 / 5.6 = 1.4286.
  // BHtime by Jones and Meade: 1.26853 s of the 2-s inspiration, the 10-s
  // hold and the middle of the window, half the 4-s expiration:
  // 13.2685 s.
  const float f = DrawnFactor();
  const float va = 5.6f * (4.30f * f - 0.33f) / 3.97f;
  const float* r = window.GetAktBuffer(MEASURE_DFC, 0);
  ASSERT_NE(r, nullptr);
  EXPECT_NEAR(r[diffusion::IVC], 4.30f * f, 0.025f);
  EXPECT_NEAR(r[diffusion::TLC] - 0.33f, va, 0.02f * va) << "VA";
  EXPECT_NEAR(r[diffusion::Tlco], 8.0f * va / 5.6f, 0.03f * 8.0f * va / 5.6f);
  EXPECT_NEAR(r[diffusion::Klco], 1.4286f, 0.03f * 1.4286f);
  EXPECT_NEAR(r[diffusion::BHtime], 13.2685f, 0.1f);
  EXPECT_TRUE(window.HasUnsavedResults());
}

}  // namespace
