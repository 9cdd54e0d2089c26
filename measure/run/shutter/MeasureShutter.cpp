// The shutter test in the measurement window: the operator arms the
// shutter series; every closure of the shutter head arrives as ten points
// and becomes one point of the pressure-flow curve; at the stop the points
// make the final curve and its parameters. The arithmetic is
// platform/portkit/shutter's (docs/shutter.md).

#include "measure/core/MeasureCore.h"
#include "measure/core/SlotIndex.h"

#include "platform/basekit/Message.h"
#include "platform/portkit/Protocol.h"
#include "platform/portkit/shutter/BreathingRate.h"
#include "platform/portkit/shutter/ClosureFit.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <span>

namespace {

constexpr std::size_t Capacity = shutter::PointCapacity;
using InstrumentProtocol::SampleSeconds;


}  // namespace

void TMeasureCore::CmShutter() {
  if (MeasureMode == MEASURE_SHUTTER) {
    if (!ClearPressurePoints())
      return;
    LastSentData = 1;  // the link switches the series on with its next sample
    ShutterRequested = true;
  } else if (MeasureMode == MEASURE_PLETHY) {
    ShutterRequested = true;
  }
}

bool TMeasureCore::ClearPressurePoints() {
  try {
    Shutter.FlowPoints.assign(Capacity, 0);
    Shutter.PressurePoints.assign(Capacity, 0);
    Shutter.Fitted.clear();
    Shutter.Fitted.reserve(Capacity);
  } catch (const std::bad_alloc&) {
    DeletePressurePoints();
    if (Messages)
      Messages->MessageBox(3, 0, TMessageIcon::Stop);
    return false;
  }
  Shutter.PointIndex = -1;
  Shutter.FallingEnd = {};
  Shutter.RisingEnd = {};
  ShutterRunning = false;
  ShutterCount = 0;
  ShutterStep = 1;
  return true;
}

void TMeasureCore::DeletePressurePoints() {
  std::vector<std::int16_t>().swap(Shutter.FlowPoints);
  std::vector<std::int16_t>().swap(Shutter.PressurePoints);
}

bool TMeasureCore::StartShutterTest() {
  // A demonstration's closures are in its file already, and nobody can arm
  // a series that was recorded: its points are taken from the start.
  ShutterRequested = !HasInstrument;
  ShutterBreathingRate = 0;
  DisarmSeries();
  CreateMetronomTimer();
  return ClearPressurePoints();
}

void TMeasureCore::ShutterSample(std::size_t i, std::int16_t flowCounts, std::int16_t pressureCounts) {
  FollowBreathingPhase(i);
  if (i % 10 == 0)
    WriteBreathingRate();
  if (pressureCounts == shutter::NoPointPressure || !Shutter.Allocated())
    return;
  if (Shutter.PointIndex >= static_cast<short>(Capacity - 1)) {
    StopRequest = 1;  // the point buffers are full: the test ends
    return;
  }
  const auto n = static_cast<std::size_t>(++Shutter.PointIndex);
  Shutter.FlowPoints[n] = flowCounts;
  Shutter.PressurePoints[n] = pressureCounts;
  if (n > 0 && n % shutter::GroupSize == shutter::GroupSize - 1)
    ChangeShutterStateIfNeed(static_cast<short>(n));
}

void TMeasureCore::ChangeShutterStateIfNeed(short index) {
  if (!FlagBegin || !ShutterRequested || index < static_cast<short>(shutter::GroupSize - 1) ||
      static_cast<std::size_t>(index) >= Shutter.FlowPoints.size())
    return;
  if (Shutter.Fitted.size() >= Capacity) {
    StopRequest = 1;
    return;
  }
  const std::size_t first = static_cast<std::size_t>(index) + 1 - shutter::GroupSize;
  const std::span<const std::int16_t, shutter::GroupSize> flows(Shutter.FlowPoints.data() + first,
                                                                shutter::GroupSize);
  const std::span<const std::int16_t, shutter::GroupSize> pressures(Shutter.PressurePoints.data() + first,
                                                                    shutter::GroupSize);
  shutter::Calibration calibration;
  calibration.flowZeroMlps = FlowZero;
  calibration.pressureZeroPa = MouthZero;
  calibration.btpsFactor = ConstansOfBTPS[0];
  calibration.inspirationFactor = InspFactor;
  calibration.expirationFactor = ExpFactor;
  const std::optional<shutter::Point> point = shutter::ClosurePoint(flows, pressures, calibration);
  if (!point)
    return;
  const std::size_t count = Shutter.Fitted.size();
  Shutter.Fitted.push_back(*point);
  if (ValidSlot(TrialIndex)) {
    const auto t = static_cast<std::size_t>(TrialIndex);
    if (count < Flow[t].size() && count < Third[t].size()) {
      Flow[t][count] = static_cast<float>(point->flowLps);
      Third[t][count] = static_cast<float>(point->pressureKpa);
    }
  }
  View->DrawShutterPoint(static_cast<short>(count));
}

void TMeasureCore::CalculateShutterCurve() {
  const std::optional<shutter::Curve> curve = shutter::BuildCurve(Shutter.Fitted, FlowCorrection, PressureCorrection);
  if (!curve || !ValidSlot(TrialIndex)) {
    Shutter.Fitted.clear();
    return;
  }
  const auto t = static_cast<std::size_t>(TrialIndex);
  const std::size_t room = std::min({curve->points.size(), Flow[t].size(), Third[t].size()});
  for (std::size_t k = 0; k < room; ++k) {
    Flow[t][k] = static_cast<float>(curve->points[k].flowLps);
    Third[t][k] = static_cast<float>(curve->points[k].pressureKpa);
  }
  Shutter.Fitted.assign(room, {});
  Shutter.FallingEnd = curve->fallingEnd;
  Shutter.RisingEnd = curve->risingEnd;
}

void TMeasureCore::DisarmSeries() {
  // An arming left over from the last test would switch the next series on
  // before the operator asks for it.
  if (LastSentData == 1)
    LastSentData = InstrumentProtocol::WordIdle;
}

void TMeasureCore::StopShutterTest() {
  DisarmSeries();
  KillMetronomTimer();
  CalculateShutterCurve();
  DeletePressurePoints();
  if (!ValidSlot(TrialIndex))
    return;
  const auto t = static_cast<std::size_t>(TrialIndex);
  SampleCount[MEASURE_SHUTTER][t] = static_cast<short>(Shutter.Fitted.size());
  if (SampleCount[MEASURE_SHUTTER][t] > 0)
    CalculateShParams();
  SearchTheBest(MEASURE_SHUTTER);
  // A curve is a result the user must save or be asked about.
  SetDirtyFlag();
}

void TMeasureCore::FollowBreathingPhase(std::size_t i) {
  if (!ValidSlot(TrialIndex))
    return;
  const auto t = static_cast<std::size_t>(TrialIndex);
  if (i >= Flow[t].size())
    return;
  // Each sample goes into the running phase's entry; a change of the
  // flow's sign beyond the noise, once the phase has lasted long enough,
  // opens the next entry. The closed shutter's samples carry no flow.
  const float flowMlps = Flow[t][i] * 1000.0f;
  const float timeS = static_cast<float>(i) * SampleSeconds;
  const short sign = flowMlps > 0.0f ? 1 : flowMlps < 0.0f ? -1 : 0;
  if (sign == 0)
    return;
  if (PhaseState != 0 && sign != PhaseState) {
    if (!LocalTressholdCompare(flowMlps, timeS))
      return;
    IncrementLocalBufferIndex();
  }
  if (PhaseState == 0 && !LocalTressholdCompare(flowMlps, timeS))
    return;
  PhaseState = sign;
  PhaseTable[static_cast<std::size_t>(PhaseTableIndex)] = {timeS, flowMlps, static_cast<std::uint16_t>(i)};
}

void TMeasureCore::WriteBreathingRate() {
  std::vector<double> reversals;
  for (short k = 0; k <= PhaseTableIndex && PhaseState != 0; ++k)
    reversals.push_back(PhaseTable[static_cast<std::size_t>(k)].Time);
  if (const std::optional<int> rate = shutter::BreathingRate(reversals))
    ShutterBreathingRate = static_cast<short>(std::clamp(*rate, 0, 999));
  const bool plethysmograph = MeasureMode == MEASURE_PLETHY;
  View->WriteBreathingRate(plethysmograph ? 618 : 12, plethysmograph ? 330 : 285, BreathingRateText());
}

std::string TMeasureCore::BreathingRateText() const {
  const std::string unit = Messages ? Messages->LoadStringA(478) : "/min";
  char text[96];
  if (MeasureMode == MEASURE_PLETHY) {
    std::snprintf(text, sizeof text, "%2d %s", ShutterBreathingRate, unit.c_str());
  } else {
    const std::string label = Messages ? Messages->LoadStringA(477) : "";
    std::snprintf(text, sizeof text, "%s: %4d %s", label.c_str(), ShutterBreathingRate, unit.c_str());
  }
  return text;
}
