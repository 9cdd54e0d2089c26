#pragma once

// The bronchial provocation alternates between the provocation window,
// which keeps the dose schedule and the list of steps, and the measurement
// window, where each step's lung-function test is made. The driver takes
// the steps: it files each finished measurement into a stage set of work
// files (baseline, provoked, third agent), adds its values to the list,
// gives the next dose or ends the provocation, and, as the provocation
// window closes, stores every stage as an examination of its own.
//
// It asks the client (TProvocationHost) for the windows and the few things
// only the client does; everything the user must see goes through the
// language texts' sink.

#include "common/ProvocationState.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>

class TExaminationStore;
class TMeasureWindow;
class TMessage;
class TProvocationWindow;
class TWorkFiles;

class TProvocationHost {
public:
  virtual ~TProvocationHost() = default;
  // The windows while they are open (null otherwise), and whether each is
  // the active child.
  virtual TMeasureWindow* MeasureWindow() = 0;
  virtual TProvocationWindow* ProvocationWindow() = 0;
  virtual bool IsMeasureActive() const = 0;
  virtual bool IsProvocationActive() const = 0;
  // Opens the provocation window as its command does (an open one is
  // refreshed and brought to the top); this sets the ask-to-save flag.
  virtual void OpenProvocation() = 0;
  // Opens the measurement window for a test command, or switches it.
  virtual void OpenMeasure(unsigned id) = 0;
  virtual bool GetAskToSave() const = 0;
  virtual void SetAskToSave(bool ask) = 0;
  virtual void DeleteTempFiles() = 0;
  // Forgets the examination that the next save would add to.
  virtual void ForgetMeetKey() = 0;
  // The provocation is over: the client leaves its provocation mode and
  // gives the database engine back to the patient sheet.
  virtual void EndProvocation() = 0;
};

class TProvocationDriver {
public:
  using TNow = std::function<TStageTime()>;

  static constexpr short BaselineFlag = 8;
  static constexpr short ProvokedFlag = 16;
  static constexpr short ThirdStageFlag = 32;

  // `store` may be null (nothing is written or stored then).
  TProvocationDriver(TProvocationHost& host, const TMessage& texts, const TWorkFiles& files, TExaminationStore* store,
                     TNow now);

  // CM_PROVOCATION_STEP: from the measurement window, file its results and
  // go back to the provocation; from the provocation window, give the next
  // dose (or end) and open the next measurement.
  void CmProvocationStep();
  // CM_PROVOCATION_MEASURE: the dose steps end; a third stage is offered
  // when a second agent is named.
  void CmProvocationMeasure();
  // CM_PROVOCATION_CLOSED: asks, then stores every filed stage. Runs once
  // per provocation window.
  void CmProvocationClosed();

  // Moves a test type's work file into a stage set; the diffusion test
  // (type 3) is never staged.
  void MoveWorkFileToStage(short type, const std::string& stageFile) const;
  // Stores stage set 0 to 2 under its flag; true when it held nothing or
  // was stored.
  bool StoreStageSet(int stageSet, short stageFlag);

  // A new provocation window opened: its closing runs again.
  void ProvocationOpened() {
    Closed = nullptr;
    ThirdStage = false;
  }
  bool IsThirdStage() const { return ThirdStage; }

  // The test type and parameter index a list column's code selects:
  // 100 x type + index for FVC, VC, MVV, PLETHY and SHUTTER; nothing for
  // an empty column, the diffusion test and codes above 599.
  static std::optional<std::pair<short, short>> ColumnParameter(short code);
  // Whether the fall criterion is met: a fall not 0 and not above the limit.
  static bool FallCriterionMet(const std::string& fallValue, float fallLimit);

private:
  void MeasurementStep(TMeasureWindow& measure, TProvocationWindow& provocation);
  void ProvocationStep(TProvocationWindow& provocation);
  void Finish() const;
  void OfferThird(TProvocationWindow& provocation);
  void LimitReached(TProvocationWindow& provocation, int reasonText);
  void AnnounceThirdStage(const std::string& agent) const;
  void NextMeasurement(TProvocationWindow& provocation);

  TProvocationHost& Host;
  const TMessage& Texts;
  const TWorkFiles& Files;
  TExaminationStore* Store;
  TNow Now;
  bool ThirdStage = false;
  const TProvocationWindow* Closed = nullptr;  // the window whose closing ran
};
