#include "shell/client/ProvocationDriver.h"

#include "measure/core/MeasureWindow.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/MessageSink.h"
#include "platform/framework/WindowMessages.h"
#include "records/ExaminationStore.h"
#include "shell/settings/WorkFiles.h"
#include "special/ProvocationWindow.h"

#include <charconv>
#include <filesystem>
#include <system_error>

namespace {

constexpr int CaptionProgram = 1;
constexpr int CaptionQuestion = 2;
constexpr int CaptionWarning = 145;
constexpr int DoseReasonText = 298;
constexpr int QueueReasonText = 345;
constexpr int NextDoseText = 358;
constexpr int ThirdStageText = 359;
constexpr int LimitText = 360;
constexpr int OfferThirdText = 361;
constexpr int EndedText = 543;
constexpr int NotIncludedText = 554;
constexpr int StoreResultsText = 288;

constexpr int TestTypes = TWorkFiles::TestTypeCount;
constexpr short DiffusionType = 3;

// The order in which a stage set's kinds are brought back and stored.
constexpr std::array<short, TestTypes> StoringOrder{0, 1, 2, 3, 5, 4};

bool Exists(const std::string& file) {
  std::error_code ec;
  return !file.empty() && std::filesystem::exists(file, ec);
}

}  // namespace

TProvocationDriver::TProvocationDriver(TProvocationHost& host, const TMessage& texts, const TWorkFiles& files,
                                       TExaminationStore* store, TNow now)
    : Host(host), Texts(texts), Files(files), Store(store), Now(std::move(now)) {}

std::optional<std::pair<short, short>> TProvocationDriver::ColumnParameter(short code) {
  if (code < 0)
    return std::nullopt;
  const short type = static_cast<short>(code / 100);
  if (type == DiffusionType || type >= TestTypes)
    return std::nullopt;
  return std::pair<short, short>{type, static_cast<short>(code - 100 * type)};
}

bool TProvocationDriver::FallCriterionMet(const std::string& fallValue, float fallLimit) {
  // The fall is a number as the window shows it; what cannot be read is no fall.
  std::string text;
  for (char c : fallValue)
    if (c != ' ')
      text += c == ',' ? '.' : c;
  float fall = 0.0f;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), fall);
  if (ec != std::errc() || end != text.data() + text.size())
    return false;
  return fall != 0.0f && fall <= fallLimit;
}

void TProvocationDriver::MoveWorkFileToStage(short type, const std::string& stageFile) const {
  std::error_code ec;
  if (!stageFile.empty())
    std::filesystem::remove(stageFile, ec);
  if (type < 0 || type >= TestTypes || type == DiffusionType)
    return;
  const std::string& work = Files.WorkFile(type);
  if (Exists(work))
    std::filesystem::rename(work, stageFile, ec);
}

// --- The step command -------------------------------------------------------------

void TProvocationDriver::CmProvocationStep() {
  Host.SetAskToSave(false);
  TProvocationWindow* provocation = Host.ProvocationWindow();
  if (!provocation)
    return;
  if (TMeasureWindow* measure = Host.MeasureWindow(); measure && Host.IsMeasureActive())
    MeasurementStep(*measure, *provocation);
  else if (Host.IsProvocationActive())
    ProvocationStep(*provocation);
}

void TProvocationDriver::MeasurementStep(TMeasureWindow& measure, TProvocationWindow& provocation) {
  TProvocationSteps& steps = provocation.Steps();
  steps.UnsavedCopy = measure.HasUnsavedResults();
  if (steps.UnsavedCopy) {
    // The results go to their work file first; when they cannot, the step
    // is not filed, so the measurement stays as it is to be taken again.
    if (Store && !Store->WriteMeasureFile(measure, measure.GetMeasureMode()))
      return;
    measure.SetUnsavedResults(false);
    std::optional<int> stage;
    if (!steps.BaselineDone)
      stage = 0;
    else if (!steps.End)
      stage = 1;
    else if (!steps.ThirdAgent.empty())
      stage = 2;
    if (stage) {
      TProvocationResults& results = measure.ProvocationResults();
      results.StageKeys[static_cast<std::size_t>(*stage)] = results.Key;
      for (short type = 0; type < TestTypes; ++type)
        MoveWorkFileToStage(type, Files.StageFile(*stage, type));
      steps.Stages[static_cast<std::size_t>(*stage)] = Now ? Now() : TStageTime{};
    }
    if (!steps.End) {
      const short selected = measure.GetTrialSelection();
      const short trial = selected > 0 ? static_cast<short>(selected - 1) : short{0};
      std::array<float, 3> values{};
      for (std::size_t i = 0; i < values.size(); ++i)
        if (const auto parameter = ColumnParameter(steps.Columns[i]))
          values[i] = measure.GetAktValue(parameter->first, trial, parameter->second);
      provocation.AddDataToProvListBox(values);
    }
    Host.DeleteTempFiles();
    measure.ClearAllTrials();
    measure.ClearTrialSelection();
  }
  Host.OpenProvocation();
  if (steps.End)
    Texts.MessageBox(EndedText, CaptionProgram, TMessageIcon::Information);
}

void TProvocationDriver::ProvocationStep(TProvocationWindow& provocation) {
  TProvocationSteps& steps = provocation.Steps();
  // Before a further dose the user hears of every limit crossed so far; a
  // run that just ended gave its dose already.
  if (!steps.NebulizerRunning)
    if (const std::string crossed = provocation.LimitCrossedText(); !crossed.empty())
      Texts.MessageBoxText(crossed, CaptionWarning, TMessageIcon::Warning);
  if (!steps.NebulizerRunning && steps.ProvokedRow) {
    TUserMessage question;
    question.Caption = Texts.LoadStringA(CaptionWarning);
    question.Text = Texts.LoadStringA(NextDoseText);
    question.Icon = TMessageIcon::Warning;
    question.Buttons = TMessageButtons::YesNo;
    question.DefaultButton = 2;
    if (Texts.GetSink().Show(question) == IDNO) {
      if (steps.ThirdAgent.empty()) {
        ThirdStage = false;
        Finish();
        return;
      }
      steps.End = true;
      ThirdStage = true;
      AnnounceThirdStage(provocation.Steps().ThirdAgent);
    }
  }
  const bool fall = FallCriterionMet(steps.FallValue, steps.FallLimit);
  if (steps.End) {
    NextMeasurement(provocation);
    return;
  }
  if (steps.DoseStep != 0) {
    if (!steps.NebulizerRunning && provocation.IsThereEndOfQueue()) {
      LimitReached(provocation, QueueReasonText);
      return;
    }
    if (!steps.NebulizerRunning && fall) {
      LimitReached(provocation, DoseReasonText);
      return;
    }
    if (steps.BaselineDone && !steps.NebulizerRunning) {
      if (steps.NebulizerWord != 0 && steps.DoseStep == 1)
        provocation.StartNebulizer();
      else if (!provocation.GetNextDose())
        return;
      if (steps.NebulizerRunning)
        return;
    } else {
      steps.NebulizerRunning = false;
    }
  } else if (steps.NebulizerRunning) {
    steps.NebulizerRunning = false;
  } else if (fall) {
    LimitReached(provocation, DoseReasonText);
    return;
  } else if (!provocation.GetNextDose() || steps.NebulizerRunning) {
    return;
  }
  NextMeasurement(provocation);
}

void TProvocationDriver::Finish() const { Texts.MessageBox(EndedText, CaptionProgram, TMessageIcon::Information); }

void TProvocationDriver::AnnounceThirdStage(const std::string& agent) const {
  Texts.MessageBoxText(Texts.Format(ThirdStageText, {agent}), CaptionProgram, TMessageIcon::Information);
}

void TProvocationDriver::OfferThird(TProvocationWindow& provocation) {
  if (Texts.MessageBox(OfferThirdText, CaptionWarning, TMessageIcon::Stop, TMessageButtons::YesNo) == IDYES) {
    ThirdStage = true;
    AnnounceThirdStage(provocation.Steps().ThirdAgent);
    NextMeasurement(provocation);
  } else {
    ThirdStage = false;
    Finish();
  }
}

void TProvocationDriver::LimitReached(TProvocationWindow& provocation, int reasonText) {
  TProvocationSteps& steps = provocation.Steps();
  steps.End = true;
  Texts.MessageBoxText(Texts.Format(LimitText, {Texts.LoadStringA(reasonText)}), CaptionWarning, TMessageIcon::Stop);
  if (!steps.ThirdAgent.empty())
    OfferThird(provocation);
  else
    Finish();
}

void TProvocationDriver::NextMeasurement(TProvocationWindow& provocation) {
  TProvocationSteps& steps = provocation.Steps();
  Host.OpenMeasure(static_cast<unsigned>(static_cast<unsigned short>(steps.TestCommand)));
  TMeasureWindow* measure = Host.MeasureWindow();
  if (!measure)
    return;
  steps.UnsavedCopy = false;
  measure->SetUnsavedResults(false);
  TProvocationResults& results = measure->ProvocationResults();
  results.Key = 0.0f;
  results.KeyBefore = 0.0f;
  results.Further = 0.0f;
  steps.MeasurementLinked = true;
  steps.LinkedMeasure = measure;
}

void TProvocationDriver::CmProvocationMeasure() {
  TProvocationWindow* provocation = Host.ProvocationWindow();
  if (!provocation)
    return;
  provocation->Steps().End = true;
  if (!provocation->Steps().ThirdAgent.empty())
    OfferThird(*provocation);
  else
    Finish();
}

// --- Closing -------------------------------------------------------------------------

void TProvocationDriver::CmProvocationClosed() {
  TMeasureWindow* measure = Host.MeasureWindow();
  TProvocationWindow* provocation = Host.ProvocationWindow();
  if (!measure || !provocation || provocation == Closed)
    return;
  bool anyFiled = false;
  for (short type = 0; type < TestTypes; ++type)
    anyFiled = anyFiled || Exists(Files.StageFile(0, type));
  if (!anyFiled)
    return;
  if (Texts.MessageBox(StoreResultsText, CaptionQuestion, TMessageIcon::Question, TMessageButtons::YesNo) != IDYES)
    return;  // the stage files are left to the clean-up of the temporary files
  Closed = provocation;
  // A step's measurement not yet filed into its stage is not stored; the
  // stages filed before it are.
  if (!Host.GetAskToSave())
    Texts.MessageBox(NotIncludedText, CaptionProgram, TMessageIcon::Information);
  Host.ForgetMeetKey();
  StoreStageSet(0, BaselineFlag);
  StoreStageSet(1, ProvokedFlag);
  StoreStageSet(2, ThirdStageFlag);
  Host.DeleteTempFiles();
  ThirdStage = false;
  Host.ForgetMeetKey();
  Host.EndProvocation();
}

bool TProvocationDriver::StoreStageSet(int stageSet, short stageFlag) {
  TMeasureWindow* measure = Host.MeasureWindow();
  TProvocationWindow* provocation = Host.ProvocationWindow();
  if (!measure || !provocation || stageSet < 0 || stageSet >= TWorkFiles::StageSetCount)
    return false;
  TProvocationSteps& steps = provocation->Steps();
  const auto set = static_cast<std::size_t>(stageSet);
  steps.StageFlag = stageFlag;
  steps.Current = steps.Stages[set];
  steps.CurrentStageValue = measure->ProvocationResults().StageKeys[set];

  bool any = false;
  for (short type = 0; type < TestTypes; ++type)
    if (Exists(Files.StageFile(stageSet, type))) {
      measure->SetChanged(type);
      any = true;
    }
  // A set without files (a stage never measured) makes no examination.
  if (!any || !Store)
    return true;
  const auto prepare = [this, stageSet] {
    for (short type : StoringOrder) {
      const std::string& stage = Files.StageFile(stageSet, type);
      if (!Exists(stage))
        continue;
      const std::string& work = Files.WorkFile(type);
      std::error_code ec;
      std::filesystem::remove(work, ec);
      std::filesystem::rename(stage, work, ec);
    }
  };
  return Store->SaveProvocationStage(*measure, stageFlag, steps.Current, prepare);
}
