#include "records/ExaminationSaver.h"

#include "common/ParameterBlocks.h"
#include "patients/MeasureIndex.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/DatePicture.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <tuple>
#include <ctime>

namespace {

// The order in which a save stores the kinds.
constexpr std::array<short, 6> StoreOrder{MEASURE_FVC, MEASURE_VC,      MEASURE_MVV,
                                          MEASURE_DFC, MEASURE_SHUTTER, MEASURE_PLETHY};
constexpr short AudiogramFlag = 7;
constexpr const char* Version = "V1.000";

TClockReading SystemClock() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

// One second later, across midnight and month ends.
TClockReading NextSecond(TClockReading when) {
  std::tm moment{};
  moment.tm_year = when.Year - 1900;
  moment.tm_mon = when.Month - 1;
  moment.tm_mday = when.Day;
  moment.tm_hour = when.Hour;
  moment.tm_min = when.Minute;
  moment.tm_sec = when.Second + 1;
  moment.tm_isdst = 0;
  // timegm normalises the fields in UTC, so no daylight-saving hour is
  // skipped or repeated.
  const std::time_t seconds = timegm(&moment);
  std::tm next{};
  gmtime_r(&seconds, &next);
  return {next.tm_year + 1900, next.tm_mon + 1, next.tm_mday, next.tm_hour, next.tm_min, next.tm_sec};
}

std::span<const float> Values(const float* values, short n) {
  return values ? std::span<const float>(values, static_cast<std::size_t>(n)) : std::span<const float>();
}

}  // namespace

TExaminationSaver::TExaminationSaver(TMeasureIndex& index, TMeasureWorkFiles& workFiles, TRecordWindows& windows,
                                     TMessage* texts, TClock clock)
    : Index(index), WorkFiles(workFiles), Windows(windows), Texts(texts),
      Clock(clock ? std::move(clock) : TClock(SystemClock)) {}

std::string TExaminationSaver::DateText(int year, int month, int day, const std::string& picture) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%04d%02d%02d", year, month, day);
  return DatePicture::Recode(text.data(), "YYYYMMDD", picture);
}

std::string TExaminationSaver::TimeText(int hour, int minute, int second, const std::string& picture) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%02d%02d%02d", hour, minute, second);
  return DatePicture::Recode(text.data(), "HHMMSS", picture);
}

std::int32_t TExaminationSaver::NewKindBits(TMeasureAccess& window) const {
  std::int32_t bits = 0;
  for (std::size_t kind = 0; kind < MeetFlag::OfKind.size(); ++kind)
    if (window.State().NewResult[kind])
      bits |= MeetFlag::OfKind[kind];
  return bits;
}

short TExaminationSaver::InTransaction(const std::function<short()>& steps) {
  TEngine* meet = Index.Meet();
  if (!meet)
    return DbResult::NotOpen;
  const TCurrent before = Current;
  const std::int32_t meetKeyBefore = Index.CurrentMeetKey;
  Clear.clear();
  ClearChanged = false;
  short result = meet->BeginTransaction();
  if (result == 0) {
    result = steps();
    if (result == 0)
      result = meet->CommitTransaction();
    if (result != 0)
      meet->RollbackTransaction();
  }
  if (result != 0) {
    Current = before;
    Index.CurrentMeetKey = meetKeyBefore;
    return result;
  }
  TMeasureAccess* window = Windows.Measure();
  for (short kind : Clear) {
    if (kind == AudiogramFlag) {
      if (TAudioAccess* audio = Windows.Audiometer())
        audio->State().NewAudiogram = false;
    } else if (window) {
      window->State().NewResult[static_cast<std::size_t>(kind)] = false;
    }
  }
  if (ClearChanged && window)
    window->State().ChangedData = false;
  // The cleared flags reach the window now: a kind marked new again before
  // the next save (the next provocation stage) must stay new.
  if (window)
    window->State();
  return 0;
}

short TExaminationSaver::SaveMeasurement() {
  TMeasureAccess* window = Windows.Measure();
  if (!window)
    return 0;
  const short mode = window->GetMeasureMode();
  const bool rhino = mode == MEASURE_RHINO;
  // The save takes the chosen trial from the work file: one that cannot be
  // written would store an older result.
  if (!rhino && !WorkFiles.WriteMeasureFile(*window, mode))
    return DbResult::IoError;
  const short result = InTransaction([&] {
    short stored = StoreMeetRecord();
    if (stored == 0 && rhino)
      stored = StoreRhinoRecord(true);
    for (std::size_t i = 0; stored == 0 && !rhino && i < StoreOrder.size(); ++i)
      stored = StoreSpiroRecord(StoreOrder[i], ParameterCounts[static_cast<std::size_t>(StoreOrder[i])], true);
    ClearChanged = stored == 0;
    return stored;
  });
  if (rhino)
    ClearMeetRecordKey();
  else
    WorkFiles.ReadMeasureFile(*window, mode, true);
  return result;
}

short TExaminationSaver::SaveProvocationStage(const TStage& stage, const std::function<void()>& prepare) {
  TMeasureAccess* window = Windows.Measure();
  if (!window)
    return 0;
  prepare();
  Stage = stage;
  const short result = InTransaction([&] {
    short stored = StoreMeetRecord();
    for (std::size_t i = 0; stored == 0 && i < StoreOrder.size(); ++i)
      stored = StoreSpiroRecord(StoreOrder[i], ParameterCounts[static_cast<std::size_t>(StoreOrder[i])], true);
    return stored;
  });
  Stage.reset();
  return result;
}

short TExaminationSaver::SaveAudiogram() {
  return InTransaction([&] { return StoreAudioRecord(); });
}

TClockReading TExaminationSaver::FreeMoment(TClockReading when, const std::string& datePicture,
                                           const std::string& timePicture) {
  TEngine* meet = Index.Meet();
  if (!meet)
    return when;
  // The moment is the examination's key within the patient: a second save
  // within the same second takes the next free second rather than failing
  // on the key or overwriting the earlier examination.
  constexpr int Tries = 3600;
  for (int i = 0; i < Tries; ++i) {
    MeetRecordType probe;
    probe.PatientKey = Index.CurrentPatientKey();
    SetFieldText(probe.Date, DateText(when.Year, when.Month, when.Day, datePicture));
    SetFieldText(probe.Time, TimeText(when.Hour, when.Minute, when.Second, timePicture));
    if (meet->GetMeetRecordWithKey(probe) != 0)
      return when;
    when = NextSecond(when);
  }
  return when;
}

short TExaminationSaver::StoreMeetRecord() {
  TMeasureAccess* window = Windows.Measure();
  TEngine* meet = Index.Meet();
  if (!window || !meet)
    return DbResult::NotOpen;
  TMeasureRecordState& state = window->State();
  const bool rhino = window->GetMeasureMode() == MEASURE_RHINO;
  const std::int32_t newBits = NewKindBits(*window);
  const bool newRow =
      Current.MeetKey == 0 || rhino || (Current.Kinds & MeetFlag::Rhino) || (newBits & Current.Kinds) != 0;

  MeetRecordType record;
  if (!newRow) {
    record.PatientKey = Index.CurrentPatientKey();
    SetFieldText(record.Date, Current.Date);
    SetFieldText(record.Time, Current.Time);
    short result = meet->GetMeetRecordWithKey(record);
    if (result != 0)
      return result;
    record.Flags |= newBits;
    result = meet->AddMeetRecord(record, 0);
    if (result != 0)
      return result;
    Current.Kinds = record.Flags;
    Index.CurrentMeetKey = Current.MeetKey;
    // The FVC row carries FEV/IVC, which the new VC changes.
    if (state.NewResult[MEASURE_VC])
      if (TEngine* fvc = Index.Test(MEASURE_FVC); fvc && fvc->Search(SearchEqual, 1, long{Current.MeetKey}) == 0)
        return StoreSpiroRecord(MEASURE_FVC, ParameterCounts[MEASURE_FVC], false);
    return 0;
  }

  TClockReading when = Clock();
  TProvocationAccess* provocation = Windows.Provocation();
  // A stored stage carries its own flag and filing time; another save
  // while the provocation is open takes the window's.
  std::optional<TProvocationAccess::TState> provoked;
  if (provocation) {
    provoked = provocation->State();
    if (Stage) {
      provoked->Stage = Stage->Flag;
      const TClockReading& f = Stage->Filed;
      std::tie(provoked->Year, provoked->Month, provoked->Day, provoked->Hour, provoked->Minute, provoked->Second) =
          std::tie(f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second);
    }
    // A stage never filed has no moment of its own.
    if (provoked->Year != 0)
      when = {provoked->Year, provoked->Month, provoked->Day, provoked->Hour, provoked->Minute, provoked->Second};
  }
  when = FreeMoment(when, window->GetDatePicture(), window->GetTimePicture());
  SetFieldText(record.Date, DateText(when.Year, when.Month, when.Day, window->GetDatePicture()));
  SetFieldText(record.Time, TimeText(when.Hour, when.Minute, when.Second, window->GetTimePicture()));
  record.Flags = rhino ? (state.NewResult[MEASURE_RHINO] ? MeetFlag::Rhino : 0) : newBits;
  if (provoked) {
    const TProvocationAccess::TState& stage = *provoked;
    record.Flags |= stage.Stage & (MeetFlag::Baseline | MeetFlag::Provoked | MeetFlag::ThirdStage);
    if (stage.Stage == MeetFlag::Provoked) {
      SetFieldText(record.Agent, stage.ProvokedAgent);
      double concentration = 0.0, dose = 0.0;
      provocation->GetConcAndDose(concentration, dose);
      record.Concentration = static_cast<float>(concentration);
      record.Dose = static_cast<float>(dose);
    } else if (stage.Stage == MeetFlag::ThirdStage) {
      SetFieldText(record.Agent, stage.ThirdStageAgent);
    }
  }
  if (rhino) {
    if (state.RhinoPosterior)
      record.Flags |= MeetFlag::PosteriorRhino;
    if (state.RhinoBaseline)
      record.Flags |= MeetFlag::Baseline;
    if (state.RhinoProvoked) {
      record.Flags |= MeetFlag::Provoked;
      SetFieldText(record.Agent, state.ProvokedAgent);
      record.Concentration = state.ProvokedConcentration;
      record.Dose = state.ProvokedDose;
    }
  }
  SetFieldText(record.Note, window->GetNote());
  SetFieldText(record.Version, Version);
  record.PatientKey = Index.CurrentPatientKey();
  record.Algorithm = rhino ? state.RhinoAlgorithm : window->GetPredictedAlgorithm();
  const short result = meet->AddMeetRecord(record, 1);
  if (result == 0) {
    Index.CurrentMeetKey = record.MeetKey;
    Current = {FieldText(record.Date), FieldText(record.Time), record.MeetKey, record.Flags};
  }
  return result;
}

std::vector<float> TExaminationSaver::BuildSpiroCurve(TMeasureAccess& window, short kind, int selected) {
  const int count = std::clamp<int>(window.GetBufferSize(kind, 0), 0, MeasureLimits::CurveSamples);
  const float* flow = window.GetSpiroFlowBuffer(0);
  if (count == 0 || !flow)
    return {};
  const auto samples = [count](const float* buffer) {
    return buffer ? std::vector<float>(buffer, buffer + count) : std::vector<float>(static_cast<std::size_t>(count));
  };
  std::vector<float> decimated = samples(flow);
  if (kind == MEASURE_SHUTTER) {
    const std::vector<float> pressure = samples(window.GetSpiroPressureBuffer(0));
    decimated.insert(decimated.end(), pressure.begin(), pressure.end());
    return decimated;
  }
  int length = count;
  window.CompressGrafikon(decimated.data(), length);
  decimated.resize(static_cast<std::size_t>(length));
  if (kind != MEASURE_PLETHY)
    return decimated;

  const auto slot = static_cast<short>(selected);
  const int resistanceBegin = window.GetBeginResistanceLoop(slot), resistanceEnd = window.GetEndResistanceLoop(slot);
  const int tgvBegin = window.GetBeginTGVLoop(slot), tgvEnd = window.GetEndTGVLoop(slot);
  const std::vector<float> box = samples(window.GetSpiroBoxPressureBuffer(0));
  const std::vector<float> mouth = samples(window.GetSpiroMouthPressureBuffer(0));
  std::vector<float> curve{float(resistanceBegin), float(resistanceEnd), float(tgvBegin), float(tgvEnd)};
  // Bounds outside the curve take no samples rather than reading past it.
  for (int i = std::max(resistanceBegin, 0); i < std::min(tgvEnd, count); ++i) {
    const auto at = static_cast<std::size_t>(i);
    if (i < resistanceEnd)
      curve.push_back(flow[at]);
    if (i < resistanceEnd || i >= tgvBegin)
      curve.push_back(box[at]);
    if (i >= tgvBegin)
      curve.push_back(mouth[at]);
  }
  curve.push_back(float(length));
  curve.insert(curve.end(), decimated.begin(), decimated.end());
  return curve;
}

short TExaminationSaver::StoreSpiroRecord(short kind, short n, bool onlyIfNew) {
  TMeasureAccess* window = Windows.Measure();
  TEngine* table = Index.Test(kind);
  if (!window || !table)
    return DbResult::NotOpen;
  if (onlyIfNew && !window->State().NewResult[static_cast<std::size_t>(kind)])
    return 0;
  WorkFiles.ReadSelectedTrial(*window, kind);
  const short count = window->GetBufferSize(kind, 0);
  const std::int16_t vc = WorkFiles.GetSelection(MEASURE_VC)[0];
  if (kind == MEASURE_FVC && count != 0 && vc != 0)
    window->CalculateFEVperIVC(0, static_cast<short>(vc - 1));
  if (count == 0)
    return 0;
  const std::int16_t trial = window->State().ActualTrial[0];
  const std::vector<float> curve = BuildSpiroCurve(*window, kind, trial > 0 ? trial - 1 : 0);
  const int insert = kind == MEASURE_PLETHY || onlyIfNew ? 1 : 0;
  const short result = table->AddSpiroRecord(Values(window->GetAktBuffer(kind, 0), n),
                                             Values(window->GetRefBuffer(kind, 0), n),
                                             Values(window->GetRsdBuffer(kind), n), n, curve,
                                             static_cast<long>(curve.size()), long{Index.CurrentMeetKey}, insert);
  if (result == 0)
    Clear.push_back(kind);
  return result;
}

std::vector<float> TExaminationSaver::BuildRhinoCurve(TMeasureAccess& window, short first, short second) {
  std::vector<float> data;
  for (short slot : {first, second}) {
    const int count = std::clamp<int>(window.GetBufferSize(MEASURE_RHINO, slot), 0, MeasureLimits::CurveSamples);
    data.push_back(float(count));
    for (const float* buffer : {window.GetSpiroFlowBuffer(slot), window.GetSpiroPressureBuffer(slot)})
      for (int i = 0; i < count; ++i)
        data.push_back(buffer ? buffer[i] : 0.0f);
  }
  return data;
}

short TExaminationSaver::StoreRhinoRecord(bool onlyIfNew) {
  TMeasureAccess* window = Windows.Measure();
  TEngine* table = Index.Rhino();
  if (!window || !table)
    return DbResult::NotOpen;
  TMeasureRecordState& state = window->State();
  if (onlyIfNew && !state.NewResult[MEASURE_RHINO])
    return 0;
  const short first = state.RhinoProvoked ? 2 : 0;
  const std::vector<float> data = BuildRhinoCurve(*window, first, static_cast<short>(first + 1));
  const short result =
      table->AddRhinoRecord(data, static_cast<long>(data.size()), long{Index.CurrentMeetKey}, onlyIfNew ? 1 : 0);
  if (result == 0) {
    Clear.push_back(MEASURE_RHINO);
    ClearChanged = true;
  }
  return result;
}

short TExaminationSaver::StoreAudioRecord() {
  TAudioAccess* audio = Windows.Audiometer();
  TEngine* meet = Index.Meet();
  TEngine* table = Index.Audio();
  if (!audio || !meet || !table)
    return DbResult::NotOpen;
  TAudioAccess::TState& state = audio->State();
  if (!state.NewAudiogram)
    return 0;
  const TClockReading now = FreeMoment(Clock(), state.DatePicture, state.TimePicture);
  MeetRecordType record;
  SetFieldText(record.Date, DateText(now.Year, now.Month, now.Day, state.DatePicture));
  SetFieldText(record.Time, TimeText(now.Hour, now.Minute, now.Second, state.TimePicture));
  record.Flags = MeetFlag::Audiogram;
  SetFieldText(record.Note, state.Note);
  SetFieldText(record.Version, Version);
  record.PatientKey = Index.CurrentPatientKey();
  record.Algorithm = audio->GetAlgorithm();
  short result = meet->AddMeetRecord(record, 1);
  if (result != 0)
    return result;
  Index.CurrentMeetKey = record.MeetKey;
  // An audiogram is never extended and ends the current examination.
  ClearMeetRecordKey();
  constexpr auto entries = static_cast<std::size_t>(TAudioAccess::Entries);
  result = table->AddAudioRecord(std::span<const int>(audio->GetTable(1, 0), entries),
                                 std::span<const int>(audio->GetTable(0, 0), entries),
                                 std::span<const bool>(audio->GetFlagTable(1, 0), entries),
                                 std::span<const bool>(audio->GetFlagTable(0, 0), entries), TAudioAccess::Entries,
                                 long{record.MeetKey}, 1);
  if (result == 0)
    Clear.push_back(AudiogramFlag);
  return result;
}
