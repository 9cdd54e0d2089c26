// A whole box test without the window: the simulator's box answers the
// words that the program's manoeuvre decides, the samples are kept and
// zeroed as the window keeps them, and the evaluation gives the model
// patient back.

#include "tools/lungsim/PlethysmographHead.h"

#include "platform/portkit/MeasureData.h"
#include "platform/portkit/Protocol.h"
#include "platform/portkit/plethysmography/BoxEvaluation.h"
#include "platform/portkit/plethysmography/ControlWords.h"
#include "platform/portkit/plethysmography/Manoeuvre.h"
#include "platform/portkit/plethysmography/Smoothing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

using namespace plethysmography;
namespace P = InstrumentProtocol;

TEST(BoxManoeuvre, AWholeTestGivesThePatientBack) {
  // The default model patient: FRC (TGV) 3.2 L, RV 1.6 L, FIVC 4.4 L,
  // Raw 0.15 kPa·s/L, breathing 0.6 L every 2 s in a 960 L box, 75 kg.
  const LungModel::TPatient patient;
  TBoxHeadOptions options;
  options.Box.Ivc = true;
  std::vector<std::string> log;
  TPlethysmographHead box(patient, options, false, [&log](const std::string& line) { log.push_back(line); });
  std::vector<std::uint16_t> sent;
  const auto send = [&](std::uint16_t word) {
    sent.push_back(word);
    box.ApplyWord(word);
  };
  send(words::Breathing);
  box.StartPatient();

  BreathStart start;
  Manoeuvre manoeuvre({4, 4, 40}, words::Breathing);
  manoeuvre.RequestShutter();
  LungModel::TFlowQuantizer quantizer;
  // What the window keeps, and the flow as measured, which the manoeuvre
  // reads (the kept flow is 0 from the loops' end until after the shutter).
  std::vector<float> flow, volume, boxPa, mouth, measured;
  for (int k = 0; k < 6000; ++k) {
    const TPlethysmographHead::TSample s = box.Tick(k * 0.01, false);
    const double flowMlS = quantizer.Next(s.FlowLps) * P::FlowMlpsPerCount;
    if (!start.Feed(flowMlS))
      continue;
    const std::size_t i = flow.size();
    measured.push_back(static_cast<float>(flowMlS * 0.001));
    const bool held = manoeuvre.ResistanceEndMark() != 0 &&
                      (manoeuvre.EndMark() == 0 || i <= static_cast<std::size_t>(manoeuvre.EndMark()) + 10);
    flow.push_back(held ? 0.0f : measured.back());
    volume.push_back((i == 0 ? 0.0f : volume.back()) + flow.back() * 0.01f);
    boxPa.push_back(static_cast<float>(P::Counts(s.BoxPa, P::BoxPaPerCount) * P::BoxPaPerCount));
    mouth.push_back(static_cast<float>(P::Counts(s.MouthPa, P::PlethysmographMouthPaPerCount) *
                                       P::PlethysmographMouthPaPerCount * 0.001));
    if (i > 1)
      for (const std::uint16_t word : manoeuvre.Feed({static_cast<std::uint16_t>(i), measured[i - 1], measured[i],
                                                      mouth[i - 1], mouth[i], boxPa[i], volume[i]}))
        send(word);
    if (manoeuvre.Ended() && i > static_cast<std::size_t>(manoeuvre.EndMark()) + 1300)
      break;  // out to RV, in to TLC
  }
  ASSERT_TRUE(manoeuvre.Ended());
  // Start, the loops' toggle, their end, the toggle back, the shutter
  // closed, opened.
  EXPECT_EQ(sent, (std::vector<std::uint16_t>{0xEF7D, 0xEF6D, 0xEF7D, 0xEF6D, 0xEF6C, 0xEF6D}));
  EXPECT_EQ(std::count(log.begin(), log.end(), "shutter closed"), 1);

  const Marks marks{manoeuvre.ResistanceStartMark(), manoeuvre.ResistanceEndMark(), manoeuvre.TgvStartMark(),
                    manoeuvre.EndMark()};
  const TrialSignals signals{flow, volume, boxPa, mouth};
  spirometry::Extremes extremes;
  IntegrateVolume(signals, extremes);
  EvaluationSettings s;
  s.cabinL = 960.0;
  s.weightKg = 75.0;
  s.tgvOffsetL = 0.08;
  s.filterPasses = 3;
  s.volumes.ivcAfterEnd = true;
  const BoxAir air{1013.0, 25.0, 50.0, static_cast<double>(TMeasureData::GetWaterVaporPartialPressure(37)),
                   static_cast<double>(TMeasureData::GetWaterVaporPartialPressure(25))};
  std::array<float, PLETHY_PARAMETER_COUNT> record{};
  const TrialEvaluation ev = EvaluateTrial(signals, marks, air, s, extremes, record);
  ASSERT_EQ(ev.refusal, EvaluationRefusal::None);
  EXPECT_EQ(ev.loops.valid.size(), 4u);
  // TGV at the closure, a sample or two into an inspiration of 0.94 L/s
  // at most: 3.2 L and a few mL; sGaw = 1 / (0.15 × 3.2) = 2.083.
  EXPECT_NEAR(record[TGV], 3.2, 0.064);
  EXPECT_NEAR(record[RV], 1.6, 0.032);
  EXPECT_NEAR(record[TLC], 6.0, 0.12);
  EXPECT_NEAR(record[Raw], 0.15, 0.0075);
  EXPECT_NEAR(record[sGaw], 2.083, 0.104);
  for (std::size_t j = 0; j < ev.loops.valid.size(); ++j)
    EXPECT_NEAR(ev.adaptive[j].factor, 0.4, 0.05) << "loop " << j;
}

}  // namespace
