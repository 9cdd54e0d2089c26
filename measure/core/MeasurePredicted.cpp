// The predicted values of the window's patient: the warning when the
// patient lies outside the chosen equation set's limits, and the predicted
// values and residual standard deviations of every test kind.

#include "measure/core/MeasureCore.h"

#include "platform/basekit/Message.h"
#include "predicted/Predicted.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// A limit as the operator reads it: to a tenth, without a trailing ".0".
std::string Number(double value) {
  char text[32];
  const double tenths = std::round(value * 10.0) / 10.0;
  if (tenths == std::floor(tenths))
    std::snprintf(text, sizeof text, "%.0f", tenths);
  else
    std::snprintf(text, sizeof text, "%.1f", tenths);
  return text;
}

std::string Whole(long value) { return std::to_string(value); }

}  // namespace

void TMeasureCore::VerifyPredictedData() {
  if (MeasureType == MEASURE_RHINO || !Predicted || !Messages)
    return;
  if (Predicted->VerifyPredictedLimits(PredictedData))
    return;
  const TPredictedLimits limits =
      Predicted->GetPredictedLimits(static_cast<short>(PredictedData.Sex), static_cast<short>(PredictedData.Age));
  std::string values;
  if (PredictedData.Unit == 0) {
    values = Messages->Format(25, {Whole(limits.MinAge), Whole(limits.MaxAge), Whole(limits.MinWeight),
                                   Whole(limits.MaxWeight), Number(limits.MinHeight * 100.0),
                                   Number(limits.MaxHeight * 100.0)});
  } else {
    const auto pounds = [](short kg) { return Whole(static_cast<long>(WeightConvert(kg, 1))); };
    float minFeet = 0.0f, minInches = 0.0f, maxFeet = 0.0f, maxInches = 0.0f;
    HeightConvert(limits.MinHeight * 100.0f, minFeet, minInches, 1);
    HeightConvert(limits.MaxHeight * 100.0f, maxFeet, maxInches, 1);
    values = Messages->Format(26, {Whole(limits.MinAge), Whole(limits.MaxAge), pounds(limits.MinWeight),
                                   pounds(limits.MaxWeight), Number(minFeet), Number(minInches), Number(maxFeet),
                                   Number(maxInches)});
  }
  Messages->MessageBoxText(Messages->LoadStringA(24) + "\n\t" + values, 1, TMessageIcon::Information);
}

void TMeasureCore::CalculatePredictedRSD() {
  if (MeasureType == MEASURE_RHINO || !Predicted)
    return;
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind)
    FillPredictedRSD(RefParams[static_cast<std::size_t>(kind)].data(), RsdParams[static_cast<std::size_t>(kind)].data(),
                     kind);
}
