#include "shell/AudioMeterFactory.h"

#include "audiometry/window/AudioMeter.h"

TMadeWindow<TAudioMeterWindow> MakeAudioMeterWindow(const TWindowArgs& args, QWidget* parent) {
  // The parent is the client, which takes the window's notices.
  auto* client = dynamic_cast<TEventHandler*>(parent);
  TAudioMeter* window = MakeAudioMeter(args.Scale.X, args.Scale.Y, args.Texts, args.IniPath, args.Patient, parent, client);
  return {window, window};
}
