#pragma once

// What the program asks of the audiometer window, without its widgets.
// The window answers its commands and messages through its response table;
// its link's port checks run when the program pushes the link settings.

#include "common/PushedSettings.h"
#include "platform/framework/EventHandler.h"

class TAudioMeterWindow : public TEventHandler {
public:
  // The window's size in the 800 x 600 layout; the scale factors it is
  // made with multiply it.
  static constexpr int DesignWidth = 750;
  static constexpr int DesignHeight = 510;

  // 0 to 3, the tool bar's algorithm buttons.
  virtual int GetAlgorithm() const = 0;
  // 0 to 2.
  virtual int GetSignalMode() const = 0;
  // 0 to 100, the slider's position.
  virtual int GetMicrophoneVolume() const = 0;
  virtual bool HasUnsavedAudiogram() const = 0;
  // Asked as it closes: the results it holds could not be stored, so it
  // stays open this once.
  virtual void KeepOpen() = 0;
  // False while the link cannot be used (no device, no demonstration).
  virtual bool IsLinkUsable() const = 0;

  // Applies the link settings and checks the device (or sets up the
  // demonstration); messages only with `showMessages`.
  virtual void ApplyLinkSettings(const TAudioLinkSettings& settings, bool demo, bool showMessages) = 0;
  virtual void SetDisplayFormats(const TDisplayFormats& formats) = 0;
  virtual void ReadAutomaticSequence() = 0;
  virtual void Repaint() = 0;
};
