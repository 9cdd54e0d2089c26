#include "shell/app/ProgramWindows.h"

#include "measure/window/Measure.h"
#include "platform/framework/EventHandler.h"
#include "shell/app/AudioMeterFactory.h"
#include "shell/app/ProvocationWindowAccess.h"
#include "shell/app/TrendWindowAccess.h"

TComponentFactories ProgramWindows() {
  TComponentFactories windows;
  windows.Measure = [](const TMeasureWindowArgs& args, QWidget* parent) {
    // The client that opens the window hears of it.
    auto* client = dynamic_cast<TEventHandler*>(parent);
    auto* window = new TMeasure(args.Common.Scale.X, args.Common.Scale.Y, args.MeasureType, args.Common.Texts,
                                args.Common.IniPath, args.Language, args.Common.Patient, parent, args.Correction,
                                args.StageView, client);
    window->SetupWindow();
    window->SetMainWindow(parent ? dynamic_cast<TEventHandler*>(parent->window()) : nullptr);
    window->SetMeasureMode(args.MeasureType);
    return TMadeWindow<TMeasureWindow>{window, window};
  };
  windows.Trend = TrendWindows::Factory();
  windows.Provocation = ProvocationWindows::Factory();
  windows.AudioMeter = MakeAudioMeterWindow;
  return windows;
}
