#pragma once

// What the program asks of the provocation window, without its widgets.
// The window answers its commands and messages through its response table.

#include "common/ProvocationState.h"
#include "common/PushedSettings.h"
#include "platform/framework/EventHandler.h"

#include <string>

class TProvocationWindow : public TEventHandler {
public:
  // The window's size in the 800 x 600 layout; the scale factors it is
  // made with multiply it.
  static constexpr int DesignWidth = 750;
  static constexpr int DesignHeight = 465;

  virtual bool GetGridStatus() const = 0;
  virtual bool IsNebulizerRunning() const = 0;
  virtual bool IsEnd() const = 0;
  virtual bool HasProvokedRow() const = 0;
  virtual int GetNumberOfListBoxItem() const = 0;
  // True when a step may be taken now.
  virtual bool CheckProvocationOK() = 0;

  virtual void ApplyNebulizerSettings(const TNebulizerSettings& settings) = 0;
  // Whether the nebulizer answered its port check.
  virtual void SetNebulizerReady(bool ready) = 0;
  virtual void Repaint() = 0;

  // --- What the program's provocation driver reads and sets.
  virtual TProvocationSteps& Steps() = 0;
  // Adds a row of the three columns' values to the list of steps.
  virtual void AddDataToProvListBox(const std::array<float, 3>& values) = 0;
  // True when the dose schedule is used up.
  virtual bool IsThereEndOfQueue() const = 0;
  // Gives the next dose; false when no further dose is taken.
  virtual bool GetNextDose() = 0;
  virtual void StartNebulizer() = 0;
  // The warning the program gives before a further dose once a parameter
  // has crossed its limit, naming each and its limit; empty while none has.
  virtual std::string LimitCrossedText() const { return {}; }

  // --- What a stored stage and its printout carry.
  // The last step's concentration and dose (in ml); unchanged without a step.
  virtual void GetConcAndDose(double& /*concentration*/, double& /*dose*/) {}
  // The provocation agent; the second agent is Steps().ThirdAgent.
  virtual std::string GetAgent() const { return {}; }
};
