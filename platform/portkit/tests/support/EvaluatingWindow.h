#pragma once

// Stands in for the measurement window's evaluation of a trial, over
// TMeasureData's own buffers, counts and extremes table: the samples stored
// as the acquisition stores them, each integrated and fed to LocalMaxMin as
// it arrives; then `Filter`, `DoCurveMove` and the calculation calls of
// `CurveMove` in the window's order, ending with the best-trial choice.

#include "platform/portkit/MeasureData.h"

#include <span>
#include <vector>

class TEvaluatingWindow {
public:
  explicit TEvaluatingWindow(TMeasureData& data) : Data(data) {}

  // The window's settings, at their defaults.
  short FirstPasses = 0;
  short SecondPasses = 5;
  short BackExtrapolation = 0;  // [Hardware] "BackExtrapolation": 0 "ECCS", 1 "ATS"
  short StoredVcTrial = 0;      // the main window's answer for a stored VC trial: 1 to 3, 0 none

  // Makes `slot` the actual trial of test kind `kind` and records it from
  // the link's counts, from the start of the breath on.
  void Record(short kind, short slot, const std::vector<short>& counts);
  // The same with every sample kept, as flows in L/s; at most a buffer's
  // worth of them.
  void RecordFlows(short kind, short slot, std::vector<float> flowLps);

  void Filter(short passes);
  void DoCurveMove();
  // Evaluates the actual trial of the current measure mode (FVC, VC or
  // MVV); answers what the first calculation answered.
  bool CurveMove();

  // The out-indexes of the last FVC pass.
  short Start = 0;
  short Peak = 0;
  short Second = 0;
  short Third = 0;

private:
  std::span<float> Recorded(TMeasureData::TCurve& curve) const;
  void Integrate();
  void SearchTheBest(short kind);

  TMeasureData& Data;
};
