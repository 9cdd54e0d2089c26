#pragma once

// The picture animations of the measurement window as state machines: the
// cake whose candles a child blows out, the hand moving the calibration
// syringe's stick, and the hand rising while the sensors are zeroed. Each
// step answers the pictures to draw (by name, at a reference point, with
// its raster operation); the window draws them into its frame. The random
// pick of the flickering candle and the zero hand's waits are injected, so
// tests run every step at once.

#include "platform/basekit/DrawSurface.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TDelayClock;

struct TPictureDraw {
  std::string Name;
  TPoint At;  // reference pixels
  TRasterOp Op = TRasterOp::SrcCopy;
  friend bool operator==(const TPictureDraw&, const TPictureDraw&) = default;
};
using TPictureDraws = std::vector<TPictureDraw>;

// Where the animations stand: over the parameter list.
inline constexpr TPoint AnimationOrigin{321, 68};

// --- Settings of the ini file ------------------------------------------------

struct TCakeSettings {
  short State = 1;    // "ActualState": the tool-bar button's on/off
  short Enable = 1;   // "Enable": 0 switches the animation off for good
  short Pause = 12;   // "PauseBetweenChangeOfFlame"
  short Percent = 100;  // "PercentOfPredicted"
};
namespace AnimationSettings {
TCakeSettings ReadCake(std::string_view iniFile);
bool WriteCakeState(std::string_view iniFile, short state);
short ReadGrid(std::string_view iniFile);
bool WriteGrid(std::string_view iniFile, short state);
short ReadCalibEnable(std::string_view iniFile);
short ReadStickPause(std::string_view iniFile);
short ReadZeroEnable(std::string_view iniFile);
short ReadZeroDelay(std::string_view iniFile);
}  // namespace AnimationSettings

// --- The cake ------------------------------------------------------------------

class TCakeAnimation {
public:
  static constexpr short MaxCandles = 12;
  static constexpr std::array<std::string_view, 5> Pictures{"CAKE", "CANDLE", "FLAME_ON_1", "FLAME_ON_2",
                                                            "FLAME_OFF"};
  // A number from an even source; the candle is the number modulo the count.
  using TRandom = std::function<unsigned()>;

  explicit TCakeAnimation(TRandom random);

  // Whether a cake can be shown for the patient at all: enabled, some
  // predicted FVC, IVC or MVV, an age of 1 to 12 and every picture there.
  bool Load(short age, bool rhino, bool anyPredicted, bool picturesPresent, const TCakeSettings& settings);
  // Starts the cake for a test of `measureMode` whose predicted value is
  // `predicted`; true when it is shown (the list is then hidden).
  bool Init(short age, short measureMode, float predicted, const TCakeSettings& settings);
  TPictureDraws Draw(short age) const;
  // One data message while the breath has not begun: every pause + 1
  // calls a random burning candle changes its flame.
  TPictureDraws MoveFlame(short age);
  // Puts out every burning candle k whose share k x step the volume has
  // moved away from the reference (the last turning point).
  TPictureDraws FlameOff(short age, float referenceVolumeL, float volumeL);
  void Close();
  void Destroy();

  // Candle k (1 to n) of a cake of n candles, in reference pixels.
  static TPoint CandleAt(short n, short k);

  bool IsLoaded() const { return Loaded; }
  bool IsActive() const { return Active; }
  bool IsShown() const { return Shown; }
  float Step() const { return StepL; }
  // 0 out, 1 and 2 burning with the first or second flame.
  const std::array<short, MaxCandles>& Candles() const { return CandleStates; }

private:
  bool Ready(short age) const { return Active && age >= 1 && age <= MaxCandles; }

  TRandom Random;
  bool Loaded = false;
  bool Active = false;
  bool Shown = false;
  short Pause = 12;
  short Ticks = 0;
  float StepL = 0.0f;
  std::array<short, MaxCandles> CandleStates{};
};

// --- The calibration stick ------------------------------------------------------

class TStickAnimation {
public:
  static constexpr std::array<std::string_view, 8> Pictures{"CALIB",    "CALIHAN1", "CALIHAN2", "CALIHAN3",
                                                            "CALIHAN4", "CALIHAN5", "CALIHAN6", "CALIHAN7"};
  static constexpr TPoint HandAt{AnimationOrigin.X + 301, AnimationOrigin.Y};

  // Loaded when enabled and at least one picture is there.
  bool Load(short enable, bool anyPicture);
  // Frame 7, going down; answers the calibration picture.
  TPictureDraws Init(short pause);
  TPictureDraws Draw() const;
  // One data message: every pause + 1 calls the next hand frame, which
  // runs 7 ... 1, 1 ... 7, 7 ..., each end shown twice.
  TPictureDraws Move();
  // True when it was loaded (the list comes back).
  bool Destroy();

  bool IsLoaded() const { return Loaded; }
  short Frame() const { return CurrentFrame; }

private:
  bool Loaded = false;
  short CurrentFrame = 7;
  bool Up = false;
  short Pause = 12;
  short Ticks = 0;
};

// --- The zero hand ------------------------------------------------------------------

class TZeroAnimation {
public:
  static constexpr std::array<std::string_view, 7> Pictures{"ZEROBG",  "ZEROHD1", "ZEROHD2", "ZEROHD3",
                                                            "ZEROHD4", "ZEROHD5", "ZEROHD6"};
  static constexpr std::array<int, 6> HandRise{176, 146, 116, 86, 66, 46};

  bool Load(short enable, short delayMs, bool anyPicture);
  // The background and the six hand frames, each drawn by `draw` as it
  // comes, with the frame delay waited on `clock` after every hand.
  void Play(const std::function<void(const TPictureDraw&)>& draw, TDelayClock& clock) const;
  // What a repaint shows while zeroing: the background, the hand at its highest.
  TPictureDraws Redraw() const;
  bool Destroy();

  static TPictureDraw Hand(short frame);
  bool IsLoaded() const { return Loaded; }
  short DelayMs() const { return Delay; }

private:
  bool Loaded = false;
  short Enable = 1;
  short Delay = 100;
};
