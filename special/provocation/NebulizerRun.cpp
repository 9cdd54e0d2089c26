#include "special/provocation/NebulizerRun.h"

#include "special/provocation/ProvocationModel.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace {

int WholePart(float value) { return static_cast<int>(value); }

}  // namespace

bool TNebulizerRun::Start() {
  if (!Link || Model.NebulizerRunning())
    return false;
  Shown = 0.0f;
  Link->Begin();
  Active = true;
  Model.Steps().NebulizerRunning = true;
  if (Link->TakesControlWords())
    Link->SendWord(NebulizerOn);
  Model.TakeCurrentConcentration();
  return true;
}

TNebulizerRun::TReady TNebulizerRun::Ready(unsigned hundredths, long mouthPressurePa) {
  TReady ready;
  // A sample queued before the run stopped must not switch the compressor
  // on again: the next acquisition on the link would spray with it.
  if (!Active || !Model.NebulizerRunning() || !Link)
    return ready;
  ready.Handled = true;
  if (Link->EndOfRun()) {
    ready.Stopped = true;
    ready.StepDone = Stop() == TStopped::Complete;
    return ready;
  }
  // Sprays only while breathing in beyond the threshold.
  Link->SetCompressor(mouthPressurePa < 0 && std::labs(mouthPressurePa) - Model.Nebulizer.MouthPressure > 0);

  const float dose = Model.CountedDose(Link->DoseCounter());
  const float seconds = static_cast<float>(hundredths) * 0.01f;
  const bool timed = Model.Setup().Type == 1;
  std::array<char, 32> text{};
  bool redraw = hundredths == 1;
  if (timed) {
    std::snprintf(text.data(), text.size(), "%3d s", TProvocationModel::TypeRunSeconds - WholePart(seconds));
    Model.StepDose = dose;
    redraw = redraw || WholePart(seconds - Shown) >= 1;
  } else {
    std::snprintf(text.data(), text.size(), "%5.3f", static_cast<double>(Model.StepDose - dose));
    redraw = redraw || WholePart((dose - Shown) * 1000.0f) >= 1;
  }
  if (redraw) {
    ready.Countdown = text.data();
    Shown = timed ? seconds : dose;
  }
  const bool done = timed ? WholePart(seconds) >= TProvocationModel::TypeRunSeconds
                          : WholePart((Model.StepDose - dose) * 1000.0f) <= 0;
  if (done) {
    Link->SetCompressor(false);
    Link->SetEndOfRun();
    Link->Wait(20);
  }
  return ready;
}

TNebulizerRun::TStopped TNebulizerRun::Stop() {
  // A complete run stays "running" in the model until the program takes
  // the next step; stopping it again would add its dose twice.
  if (!Active || !Model.NebulizerRunning() || !Link)
    return TStopped::NotRunning;
  Active = false;
  Link->SetCompressor(false);
  if (Model.Setup().Type != 1) {
    const float dose = Model.CountedDose(Link->DoseCounter());
    if (WholePart((Model.StepDose - dose) * 1000.0f) > 0)
      Model.StepDose = dose;  // stopped before the target: what was given counts
  }
  Model.AccumulateStepDose();
  if (Link->TakesControlWords()) {
    Link->SendWord(NebulizerOff);
    Link->Wait(50);
  }
  // The link forgets its end-of-run word as it stops.
  const bool complete = Link->EndOfRun();
  Link->End();
  if (!complete) {
    Model.Steps().NebulizerRunning = false;
    return TStopped::ByUser;
  }
  return TStopped::Complete;
}
