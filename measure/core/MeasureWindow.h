#pragma once

// What the program asks of the measurement window, without its widgets:
// the program opens, switches, fills and closes it through this contract,
// and the window answers its commands and messages through the response
// table of its TEventHandler. Link() is the window's instrument link; the
// program's settings push fills it and runs its port checks.

#include "common/ProvocationState.h"
#include "common/PushedSettings.h"
#include "platform/framework/EventHandler.h"

#include <string>
#include <string_view>

class TMeasureInterrupt;

class TMeasureWindow : public TEventHandler {
public:
  // The instrument kind: 0 not chosen, 1 spirometer, 2 rhinomanometer,
  // 3 diffusion unit, 4 plethysmograph.
  enum : short { NoInstrument = 0, Spirometer = 1, Rhinomanometer = 2, DiffusionUnit = 3, Plethysmograph = 4 };

  // The window's size in the 800 x 600 layout; the scale factors it is
  // made with multiply it.
  static constexpr int DesignWidth = 753;
  static constexpr int DesignHeight = 485;

  virtual TMeasureInterrupt& Link() = 0;

  // The test it was made for (0 FVC to 6 rhinomanometry) and the one shown.
  virtual short GetMeasureType() const = 0;
  virtual short GetMeasureMode() const = 0;
  virtual void SetMeasureMode(short mode) = 0;
  virtual bool IsStageView() const = 0;
  virtual short GetInstrumentKind() const = 0;
  virtual void SetInstrumentKind(short kind) = 0;

  // The states the tool bar mirrors.
  virtual bool GetCakeStatus() const = 0;
  virtual bool GetGridStatus() const = 0;
  // The trial chosen for the tables: 1 to 3, 0 none.
  virtual short GetTrialSelection() const = 0;
  virtual void ClearTrialSelection() = 0;

  virtual bool HasUnsavedResults() const = 0;
  virtual void SetUnsavedResults(bool unsaved) = 0;
  // Asked as it closes: the results it holds could not be stored, so it
  // stays open this once.
  virtual void KeepOpen() = 0;

  // Notes 1 and 2 of the printout.
  virtual void SetNote(short index, std::string_view note) = 0;
  virtual void SetMeasurementOfParameters() = 0;
  virtual void ChangeButtonColor() = 0;
  // The start commands wait until the next zero.
  virtual void SetZeroPending() = 0;
  // What the technician does next, for the status line: the zero that
  // Start waits for, that the zero was read, or that the trial waits for
  // the breath. Empty when there is nothing to say.
  virtual std::string NextStepText() const { return {}; }
  virtual void SetProvocationMode(bool on) = 0;
  // Idle: no test runs and no other window drives the instrument link. The
  // provocation window's nebulizer takes the link from the start of a run
  // to its end, and the window starts nothing and answers busy meanwhile.
  virtual bool IsIdle() const { return true; }
  virtual void SetIdle(bool /*idle*/) {}
  // 0 the normal breathing rate, 1 the high one.
  virtual void SetBRate(short rate) = 0;

  // After the program has read the working file into a window it opened:
  // the comparison shown last comes back when both results are there.
  virtual void RestorePrePost() {}

  virtual void ApplySettings(const TMeasureSettings& settings) = 0;
  virtual void SetDisplayFormats(const TDisplayFormats& formats) = 0;
  virtual void Repaint() = 0;

  // --- What the program's provocation driver reads and sets.
  virtual TProvocationResults& ProvocationResults() = 0;
  // The actual value of parameter `index` of a test type's (0 to 5) trial
  // (0 to 2); 0 when there is none.
  virtual float GetAktValue(short type, short trial, short index) const = 0;
  // Clears the parameters, sample counts and samples of every test type's
  // trials 0 to 3.
  virtual void ClearAllTrials() = 0;
  // Marks a test type's results as new, so that storing includes them.
  virtual void SetChanged(short type) = 0;
};
