#include "measure/screen/MeasureAnimations.h"

#include "common/MeasureMode.h"
#include "platform/basekit/DelayClock.h"
#include "platform/framework/Profile.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

using TOffsets = std::array<TPoint, TCakeAnimation::MaxCandles>;

// Candle k of a cake with n candles, from the cake's corner.
constexpr std::array<TOffsets, TCakeAnimation::MaxCandles> CandleOffsets{{
    {{{199, 20}}},
    {{{141, 27}, {250, 13}}},
    {{{115, 29}, {206, 5}, {263, 28}}},
    {{{122, 11}, {156, 30}, {247, 8}, {275, 28}}},
    {{{109, 24}, {160, 8}, {203, 39}, {255, 8}, {304, 28}}},
    {{{91, 22}, {151, 34}, {171, 7}, {230, 36}, {250, 12}, {299, 19}}},
    {{{97, 26}, {124, 11}, {161, 33}, {192, 5}, {230, 33}, {252, 10}, {302, 20}}},
    {{{95, 13}, {118, 26}, {152, 8}, {175, 33}, {212, 8}, {234, 33}, {260, 10}, {304, 22}}},
    {{{91, 14}, {115, 25}, {139, 8}, {164, 31}, {195, 5}, {223, 34}, {253, 8}, {281, 27}, {304, 15}}},
    {{{83, 18}, {116, 14}, {140, 28}, {168, 9}, {190, 32}, {210, 11}, {230, 31}, {257, 10}, {284, 28}, {311, 22}}},
    {{{87, 21},
      {111, 11},
      {133, 26},
      {151, 7},
      {176, 31},
      {196, 10},
      {224, 11},
      {242, 28},
      {262, 10},
      {283, 26},
      {304, 16}}},
    {{{79, 19},
      {103, 11},
      {125, 28},
      {146, 9},
      {169, 33},
      {190, 4},
      {212, 34},
      {235, 8},
      {253, 31},
      {272, 9},
      {291, 26},
      {313, 20}}},
}};

// Counts one call; every pause + 1 calls one is due, and the count starts again.
bool StepDue(short& ticks, short pause) {
  const bool due = ticks == pause;
  ++ticks;
  if (due)
    ticks = 0;
  return due;
}

short ReadShort(std::string_view section, std::string_view key, short fallback, std::string_view iniFile) {
  if (iniFile.empty())
    return fallback;
  return static_cast<short>(TProfile(section, iniFile).GetInt(key, fallback));
}

bool WriteShort(std::string_view section, std::string_view key, short value, std::string_view iniFile) {
  if (iniFile.empty())
    return false;
  TProfile profile(section, iniFile);
  return profile.WriteInt(key, value) && profile.Flush();
}

}  // namespace

namespace AnimationSettings {

TCakeSettings ReadCake(std::string_view iniFile) {
  TCakeSettings settings;
  settings.State = ReadShort("Cake", "ActualState", 1, iniFile);
  settings.Enable = ReadShort("Cake", "Enable", 1, iniFile);
  // A hand-edited pause below 0 would never flicker, a share of 0 % would
  // put every candle out at the first sample.
  settings.Pause = std::max<short>(0, ReadShort("Cake", "PauseBetweenChangeOfFlame", 12, iniFile));
  settings.Percent = std::max<short>(1, ReadShort("Cake", "PercentOfPredicted", 100, iniFile));
  return settings;
}

bool WriteCakeState(std::string_view iniFile, short state) { return WriteShort("Cake", "ActualState", state, iniFile); }
short ReadGrid(std::string_view iniFile) { return ReadShort("Grid", "Enable", 1, iniFile); }
bool WriteGrid(std::string_view iniFile, short state) { return WriteShort("Grid", "Enable", state, iniFile); }
short ReadCalibEnable(std::string_view iniFile) { return ReadShort("Calib", "Enable", 1, iniFile); }
short ReadStickPause(std::string_view iniFile) {
  return std::max<short>(0, ReadShort("Calib", "PauseBetweenChangeOfStick", 12, iniFile));
}
short ReadZeroEnable(std::string_view iniFile) { return ReadShort("Zero", "Enable", 1, iniFile); }
short ReadZeroDelay(std::string_view iniFile) { return ReadShort("Zero", "DelayBetweenHandMove", 100, iniFile); }

}  // namespace AnimationSettings

// --- The cake ------------------------------------------------------------------

TCakeAnimation::TCakeAnimation(TRandom random) : Random(std::move(random)) {}

TPoint TCakeAnimation::CandleAt(short n, short k) {
  if (n < 1 || n > MaxCandles || k < 1 || k > n)
    return AnimationOrigin;
  const TPoint offset = CandleOffsets[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(k - 1)];
  return {AnimationOrigin.X + offset.X, AnimationOrigin.Y + offset.Y};
}

bool TCakeAnimation::Load(short age, bool rhino, bool anyPredicted, bool picturesPresent,
                          const TCakeSettings& settings) {
  Loaded = false;
  Ticks = 0;
  if (rhino)
    return false;
  // Below one year there is no candle to blow out and no step to take.
  Loaded = settings.Enable != 0 && anyPredicted && age >= 1 && age <= MaxCandles && picturesPresent;
  return Loaded;
}

bool TCakeAnimation::Init(short age, short measureMode, float predicted, const TCakeSettings& settings) {
  Active = false;
  if (!Loaded || settings.Enable == 0 || settings.State == 0)
    return false;
  const bool spirometry = measureMode == MEASURE_FVC || measureMode == MEASURE_VC || measureMode == MEASURE_MVV;
  Active = spirometry && predicted != 0.0f && std::isfinite(predicted);
  if (!Active || age < 1 || age > MaxCandles) {
    Active = false;
    return false;
  }
  Shown = true;
  for (short k = 0; k < MaxCandles; ++k)
    CandleStates[static_cast<std::size_t>(k)] = k < age ? 1 : 0;
  Pause = settings.Pause;
  Ticks = 0;
  StepL = static_cast<float>(settings.Percent) * 0.01f * predicted / static_cast<float>(age);
  return true;
}

TPictureDraws TCakeAnimation::Draw(short age) const {
  if (!Ready(age))
    return {};
  TPictureDraws draws{{"CAKE", AnimationOrigin, TRasterOp::SrcCopy}};
  for (short k = 1; k <= age; ++k)
    draws.push_back({"CANDLE", CandleAt(age, k), TRasterOp::SrcPaint});
  return draws;
}

TPictureDraws TCakeAnimation::MoveFlame(short age) {
  if (!Ready(age) || !StepDue(Ticks, Pause))
    return {};
  const auto k = static_cast<short>(Random() % static_cast<unsigned>(age));
  short& state = CandleStates[static_cast<std::size_t>(k)];
  if (state == 0)
    return {};
  state = state == 1 ? 2 : 1;
  return {{state == 2 ? "FLAME_ON_2" : "FLAME_ON_1", CandleAt(age, static_cast<short>(k + 1)), TRasterOp::SrcCopy}};
}

TPictureDraws TCakeAnimation::FlameOff(short age, float referenceVolumeL, float volumeL) {
  if (!Ready(age) || !std::isfinite(volumeL))
    return {};
  TPictureDraws draws;
  const float moved = std::fabs(referenceVolumeL - volumeL);
  for (short k = 1; k <= age; ++k) {
    short& state = CandleStates[static_cast<std::size_t>(k - 1)];
    if (state != 0 && moved >= static_cast<float>(k) * StepL) {
      state = 0;
      draws.push_back({"FLAME_OFF", CandleAt(age, k), TRasterOp::SrcCopy});
    }
  }
  return draws;
}

void TCakeAnimation::Close() {
  Ticks = 0;
  Shown = false;
  Active = false;
  CandleStates.fill(0);
}

void TCakeAnimation::Destroy() {
  Shown = false;
  Active = false;
  Loaded = false;
}

// --- The calibration stick ------------------------------------------------------

bool TStickAnimation::Load(short enable, bool anyPicture) {
  Loaded = enable != 0 && anyPicture;
  return Loaded;
}

TPictureDraws TStickAnimation::Init(short pause) {
  if (!Loaded)
    return {};
  CurrentFrame = 7;
  Up = false;
  Pause = pause;
  Ticks = 0;
  return Draw();
}

TPictureDraws TStickAnimation::Draw() const {
  if (!Loaded)
    return {};
  return {{std::string(Pictures[0]), AnimationOrigin, TRasterOp::SrcCopy}};
}

TPictureDraws TStickAnimation::Move() {
  if (!Loaded || !StepDue(Ticks, Pause))
    return {};
  if (CurrentFrame >= 8) {
    Up = false;
    CurrentFrame = 7;
  } else if (CurrentFrame <= 0) {
    Up = true;
    CurrentFrame = 1;
  }
  TPictureDraws draws{{std::string(Pictures[static_cast<std::size_t>(CurrentFrame)]), HandAt, TRasterOp::SrcCopy}};
  CurrentFrame = static_cast<short>(CurrentFrame + (Up ? 1 : -1));
  return draws;
}

bool TStickAnimation::Destroy() {
  const bool was = Loaded;
  Loaded = false;
  return was;
}

// --- The zero hand ------------------------------------------------------------------

bool TZeroAnimation::Load(short enable, short delayMs, bool anyPicture) {
  Enable = enable;
  Delay = delayMs < 0 ? short{0} : delayMs;
  Loaded = enable != 0 && anyPicture;
  return Loaded;
}

TPictureDraw TZeroAnimation::Hand(short frame) {
  const short k = frame < 1 ? short{1} : frame > 6 ? short{6} : frame;
  return {std::string(Pictures[static_cast<std::size_t>(k)]),
          {AnimationOrigin.X, AnimationOrigin.Y + HandRise[static_cast<std::size_t>(k - 1)]},
          TRasterOp::SrcCopy};
}

void TZeroAnimation::Play(const std::function<void(const TPictureDraw&)>& draw, TDelayClock& clock) const {
  if (!Loaded)
    return;
  draw({std::string(Pictures[0]), AnimationOrigin, TRasterOp::SrcCopy});
  for (short k = 1; k <= 6; ++k) {
    draw(Hand(k));
    if (Delay > 0)
      clock.Wait(std::chrono::milliseconds(Delay));
  }
}

TPictureDraws TZeroAnimation::Redraw() const {
  if (!Loaded)
    return {};
  return {{std::string(Pictures[0]), AnimationOrigin, TRasterOp::SrcCopy}, Hand(6)};
}

bool TZeroAnimation::Destroy() {
  const bool was = Loaded;
  Loaded = false;
  Enable = 0;
  return was;
}
