#pragma once

// The tool bars of the component windows and the main bar's test buttons,
// as pure layouts: which gadgets, in which order, of which kind and state.
// The window turns a layout into a dockable bar; tests read it without a
// display. A layout is computed from a snapshot of what decides it (the
// measurement window's view, the install flags, the screen width, the
// breathing rates of the settings file).

#include "shell/settings/AppSettings.h"

#include <optional>
#include <string>
#include <vector>

struct TBarGadget {
  enum class TKind { Button, Separator, Spacer, Text, Slider };
  // The framework's button types: a command, one of an exclusive group, a
  // non-exclusive switch, a toggle.
  enum TButtonType { Command = 0, Exclusive = 1, NonExclusive = 2, Toggle = 3 };

  TKind Kind = TKind::Separator;
  unsigned Id = 0;         // the button's command; the slider's control id
  int Type = Command;
  std::string Bitmap;      // the picture's name: the id in decimal unless named
  bool Down = false;
  bool CreatedEnabled = false;  // buttons start disabled until the enablers run
  int Size = 0;            // separator or spacer width; the text gadget's characters
  int TextNumber = -1;     // a text gadget's language text, -1 when Text is shown
  std::string Text;
  int Position = 0;        // the slider's

  static TBarGadget Button(unsigned id, int type = Command, bool down = false, std::string bitmap = {});
  static TBarGadget Separator(int size);
  static TBarGadget Spacer(int width);
  static TBarGadget TextGadget(int characters, std::string text, int textNumber = -1);
  static TBarGadget Slider(unsigned id, int position);

  bool operator==(const TBarGadget&) const = default;
};

struct TBarLayout {
  enum class TDock { Top, Bottom };
  int CaptionText = 0;
  TDock Dock = TDock::Bottom;
  std::vector<TBarGadget> Gadgets;

  // The button of a command, null when the bar has none.
  const TBarGadget* Find(unsigned id) const;
  std::vector<unsigned> ButtonIds() const;
};

// The normal and high breathing rates of "Plethysmograph Parameters";
// nothing when the settings file cannot be read.
struct TBreathingRates {
  int Normal = 40;
  int High = 0;
};

namespace BarLayouts {

// What the measurement bar depends on.
struct TMeasureBarView {
  bool StageView = false;
  short MeasureType = 0;      // 6 rhinomanometry, 4 plethysmography
  bool ProvocationOpen = false;
  bool CakeDown = false;
  bool GridDown = false;
  bool PrePostDown = false;
  int ScreenWidth = 1024;
  std::optional<TBreathingRates> Rates;  // nothing: the settings file could not be read
};

inline constexpr int MeasurementCaption = 43;
inline constexpr int PatientBar1Caption = 6231;
inline constexpr int PatientBar2Caption = 6232;
inline constexpr int TrendCaption = 250;
inline constexpr int ProvocationCaption = 337;
inline constexpr int AudiometerCaption = 315;
inline constexpr int BreathingRateText = 477;

TBarLayout PatientBar1();
TBarLayout PatientBar2(bool ecgAvailable);
TBarLayout Measurement(const TMeasureBarView& view);
TBarLayout Trend(bool gridDown);
TBarLayout Provocation(bool gridDown);
TBarLayout Audiometer(int algorithm, int signalMode, int microphoneVolume);

// The test buttons the main bar gains while the patient sheet is open, each
// followed by a separator of 3, inserted before Exit.
std::vector<TBarGadget> MainBarTestButtons(const TInstallFlags& install);
// The buttons removed again, of those present, in the order of removal.
std::vector<unsigned> MainBarRemovals(const std::vector<unsigned>& present);

// Reads the two rates; nothing when the file cannot be read.
std::optional<TBreathingRates> ReadBreathingRates(const std::string& iniPath);

// One button out of the measurement bar, with the gadget after it when
// `alsoNext`; nothing happens when the bar has no such button.
void RemoveMeasurementButton(TBarLayout& bar, unsigned id, bool alsoNext);
// A button into the measurement bar before `beforeId` (at the end when
// that is missing), with a separator after it when `separatorSize` > 0;
// nothing when the bar holds it already.
void InsertMeasurementButton(TBarLayout& bar, unsigned id, unsigned beforeId, int separatorSize,
                             const TMeasureBarView& view);
// The bar adapted to the test shown, as the window opens or switches.
void AdaptMeasurementBar(TBarLayout& bar, short measureType, const TMeasureBarView& view);
// The window replaced one of its command buttons by another; the new one
// takes the place its start button gives it. False when the old one is
// not on the bar.
bool ChangeCommandButton(TBarLayout& bar, unsigned oldId, unsigned newId, const TMeasureBarView& view);

}  // namespace BarLayouts
