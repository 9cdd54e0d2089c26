#include "measure/core/CommandEnablers.h"

#include "common/CommandNumbers.h"
#include "common/MeasureMode.h"
#include "platform/basekit/Message.h"

namespace {

TEnableAnswer Plain(bool enabled) { return {enabled, std::nullopt, std::nullopt}; }
TEnableAnswer Checked(bool enabled, bool checked) { return {enabled, checked ? 1 : 0, std::nullopt}; }

TEnableAnswer Start(const TEnablerState& s, unsigned id, const TMessage* texts) {
  bool base = !s.BigTable && !s.ZeroDue && !s.Running && !s.LinkLent && !s.GasAnalysis;
  if (s.MeasureType == MEASURE_RHINO) {
    TEnableAnswer answer;
    const auto text = [&](int number) { return texts ? texts->LoadStringA(number) : std::to_string(number); };
    if (id == CM_START)
      answer.Text = text(312) + " - Anterior";
    else if (id == CM_START2)
      answer.Text = text(313) + " - Anterior";
    else
      answer.Text = "Posterior";
    if (s.PosteriorStarted)
      base = base && id == CM_START3;
    else if (s.AnteriorStarted)
      base = base && id != CM_START3;
    answer.Enabled = base;
    return answer;
  }
  if (s.InstrumentAttached && s.InstrumentType != 0)
    base = base && s.CalibrationValid;
  if (s.MeasureType == MEASURE_PLETHY)
    base = base && (s.ReferenceIvc != 0.0f || s.StatusWord != 0);
  return Plain(base);
}

TEnableAnswer Table(const TEnablerState& s, short k) {
  const bool inOrder = s.TrialOrder[0] == k || s.TrialOrder[1] == k || s.TrialOrder[2] == k;
  const bool enabled = s.MeasureType != MEASURE_RHINO && s.ScreenMode == 1 && !s.Running && !s.LinkLent &&
                       (!s.PrePost || s.BigTable) && inOrder;
  return Checked(enabled, s.TrialOrder[0] == k);
}

TEnableAnswer Shutter(const TEnablerState& s) {
  bool enabled = s.Running && s.FlagBegin && s.InstrumentAttached;
  if (s.MeasureMode == MEASURE_SHUTTER)
    enabled = enabled && !s.ShutterClosed && s.ProgressCounter > 4;
  else if (s.MeasureMode == MEASURE_PLETHY)
    enabled = enabled && !s.ShutterClosed;
  return Plain(enabled);
}

}  // namespace

std::optional<TEnableAnswer> CommandEnable(const TEnablerState& s, unsigned id, const TMessage* texts) {
  const bool idle = !s.Running && !s.LinkLent;
  switch (id) {
  case CM_START:
  case CM_START2:
  case CM_START3: return Start(s, id, texts);
  case CM_STOP: return Plain(s.Running);
  case CM_DDE: return Plain(idle);
  case CM_ZOOM: return Plain(!s.BigTable && idle);
  case CM_ZERO: {
    bool enabled = s.ZeroCommand && !s.BigTable && idle;
    if (s.MeasureType == MEASURE_RHINO && s.InstrumentAttached)
      enabled = enabled && s.RhinoZero;
    return Plain(enabled);
  }
  case CM_CALIBRATION:
    return Plain(!s.BigTable && s.ScreenMode == 1 && !s.ZeroDue && idle && !s.PrePost && s.InstrumentAttached);
  case CM_PREPOST:
    return Checked(s.MeasureType != MEASURE_RHINO && !s.BigTable && s.ScreenMode == 1 && s.ResultKind == 1 && idle,
                   s.PrePost);
  case CM_CAKE:
    // Children up to twelve blow at the animation; the comparison is the
    // unsigned one, so a broken negative age never counts as a child.
    return Checked(s.AnimationSwitch && idle && static_cast<std::uint32_t>(s.PatientAge) <= 12u &&
                       s.MeasureType != MEASURE_DFC && s.MeasureType != MEASURE_PLETHY &&
                       s.MeasureType != MEASURE_RHINO,
                   s.AnimationOn);
  case CM_TABLE1: return Table(s, 1);
  case CM_TABLE2: return Table(s, 2);
  case CM_TABLE3: return Table(s, 3);
  case CM_CANCEL_PROV: return Plain(true);
  case CM_GRID: return Checked(idle && !s.BigTable, s.Grid);
  case CM_RHINO_PROVOCATION: return Plain(!s.ZeroDue && idle && (s.Dirty || s.RhinoResults));
  case CM_GAS:
    return Plain(s.MeasureMode != MEASURE_CALIBRATION && s.Running && s.WashingOutDone && s.FlagBegin &&
                 s.MeasureType == MEASURE_DFC && !s.GasCommandGiven && s.InstrumentAttached && s.TestMode == 0);
  case CM_SHUTTER: return Shutter(s);
  case CM_RESISTANCE_LOOP1:
  case CM_RESISTANCE_LOOP2:
  case CM_RESISTANCE_LOOP3:
    return Plain(idle && s.MeasureType == MEASURE_PLETHY && s.ResistanceLoop[id - CM_RESISTANCE_LOOP1]);
  default: return std::nullopt;
  }
}

void Apply(const TEnableAnswer& answer, TCommandEnabler& enabler) {
  if (answer.Text)
    enabler.SetText(*answer.Text);
  enabler.Enable(answer.Enabled);
  if (answer.Check)
    enabler.SetCheck(*answer.Check);
}
