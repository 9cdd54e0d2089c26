#include "records/ExaminationLoader.h"

#include "common/ParameterBlocks.h"
#include "patients/MeasureIndex.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "records/RecordTexts.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <sstream>

namespace {

constexpr std::array<short, 6> LoadOrder{MEASURE_FVC, MEASURE_VC,     MEASURE_MVV,
                                         MEASURE_DFC, MEASURE_PLETHY, MEASURE_SHUTTER};
constexpr int Capacity = MeasureLimits::CurveSamples;

std::size_t Index0(short kind) { return static_cast<std::size_t>(kind); }

// A count or index that a row stores as a float: a whole number from 0 to
// `most`, checked before the conversion (a damaged row may hold anything).
std::optional<int> StoredCount(float value, int most) {
  if (!std::isfinite(value) || value < 0.0f || value > static_cast<float>(most) || value != std::floor(value))
    return std::nullopt;
  return static_cast<int>(value);
}

std::string StoredText(float value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

// The stage a provocation examination's flags name: 0 baseline, 1
// provoked, 2 third stage, -1 none.
int StageOf(std::int32_t flags) {
  return (flags & MeetFlag::Baseline) ? 0 : (flags & MeetFlag::Provoked) ? 1 : (flags & MeetFlag::ThirdStage) ? 2 : -1;
}

}  // namespace

TExaminationLoader::TExaminationLoader(TMeasureIndex& index, TMeasureWorkFiles& workFiles, TRecordWindows& windows,
                                       TMessage* texts)
    : Index(index), WorkFiles(workFiles), Windows(windows), Texts(texts) {}

int TExaminationLoader::CaptionText(short kind) {
  constexpr std::array<int, 6> texts{79, 80, 81, 426, 475, 474};
  return kind >= 0 && kind < 6 ? texts[Index0(kind)] : 79;
}

short TExaminationLoader::Damaged(std::string_view table, const std::string& what) {
  if (Texts)
    Texts->MessageBoxText(Texts->Format(RecordText::DamagedFile, {std::string(table), what}), 0, TMessageIcon::Stop);
  return DbResult::DamagedValue;
}

void TExaminationLoader::ReportMissing(const std::vector<short>& kinds, std::string_view date,
                                       std::string_view time) {
  if (kinds.empty() || !Texts)
    return;
  std::string names;
  for (const short kind : kinds) {
    constexpr int RhinoName = 469;
    std::string name = Texts->LoadStringA(kind == MEASURE_RHINO ? RhinoName : CaptionText(kind));
    std::erase(name, '&');  // a menu's accelerator mark
    names += (names.empty() ? "" : ", ") + name;
  }
  Texts->MessageBoxText(Texts->Format(RecordText::TestsNotStored, {std::string(date), std::string(time), names}), 0,
                        TMessageIcon::Warning);
}

short TExaminationLoader::LoadMeasurement(std::string_view date, std::string_view time, short loadKind) {
  MEET_INFORMATION information;
  std::string dateText(date), timeText(time);
  Index.GetMeetInformation(dateText, timeText, &information, MeetStep::KeepTexts);
  const std::int32_t flags = information.Flags;
  const std::string note = FieldText(information.Note);
  const int noteIndex = loadKind == AsComparison ? 2 : 1;
  Notes[static_cast<std::size_t>(noteIndex)] = note;
  if (TMeasureAccess* window = Windows.Measure())
    window->SetNote(noteIndex, note);
  if (loadKind == AsComparison)
    PrePostPending = true;

  short result = 0;
  std::array<bool, 6> loaded{};
  std::vector<short> missing;
  for (std::size_t i = 0; i < LoadOrder.size() && result == 0; ++i) {
    const short kind = LoadOrder[i];
    if (!(flags & MeetFlag::OfKind[Index0(kind)]))
      continue;
    if (TMeasureAccess* window = Windows.Measure())
      WorkFiles.ReadMeasureFile(*window, kind, true);
    else
      Windows.OpenMeasure(kind);
    TMeasureAccess* window = Windows.Measure();
    if (!window)
      continue;
    result = LoadSpiroRecord(kind, ParameterCounts[Index0(kind)], date, time, loadKind);
    if (result == DbResult::NotFound) {
      // The examination names a test whose row is gone: the others load.
      missing.push_back(kind);
      result = 0;
      continue;
    }
    loaded[Index0(kind)] = result == 0;
    if (!loaded[Index0(kind)] || !ProvocationLoad())
      continue;
    if (kind == MEASURE_PLETHY && StageOf(flags) >= 0)
      window->State().RvStage[static_cast<std::size_t>(StageOf(flags))] = window->GetAktBuffer(kind, 0)[2];
    if (kind != MEASURE_SHUTTER || (!Windows.Provocation() && Windows.ProvocationFromDatabase))
      MoveToStageFile(kind, information);
  }

  if ((flags & MeetFlag::Rhino) && result == 0) {
    if (!Windows.Measure())
      Windows.OpenMeasure(MEASURE_RHINO);
    TMeasureAccess* window = Windows.Measure();
    if (!window)
      return 0;
    TMeasureRecordState& state = window->State();
    if (flags & MeetFlag::PosteriorRhino)
      state.RhinoPosterior = true;
    else
      state.RhinoAnterior = true;
    if (flags & MeetFlag::Baseline) {
      state.RhinoBaseline = true;
    } else if (state.RhinoBaselineHeld && (flags & MeetFlag::Provoked)) {
      state.RhinoProvoked = true;
      state.ProvokedAgent = FieldText(information.Agent);
      state.ProvokedConcentration = information.Concentration;
      state.ProvokedDose = information.Dose;
    }
    result = LoadRhinoRecord(date, time, loadKind);
    if (result == DbResult::NotFound) {
      missing.push_back(MEASURE_RHINO);
      result = 0;
    }
    ReportMissing(missing, date, time);
    if (result == 0 && loadKind == AsCurrent) {
      state.RhinoLoadedCurrent = true;
      state.RhinoAlgorithm = information.Algorithm;
      if (state.RhinoBaselineHeld && state.RhinoProvoked) {
        std::swap(Notes[1], Notes[2]);
        Notes[0] = Notes[2];
        window->SetNote(1, Notes[1]);
        window->SetNote(2, Notes[2]);
      }
    } else if (result == 0) {
      state.RhinoLoadedComparison = true;
      state.RhinoComparisonAlgorithm = information.Algorithm;
    }
    return result;
  }

  ReportMissing(missing, date, time);
  TMeasureAccess* window = Windows.Measure();
  if (result != 0 || !window)
    return result;
  const auto firstLoaded = [&](std::initializer_list<short> order) -> short {
    for (short kind : order)
      if (loaded[Index0(kind)])
        return kind;
    return -1;
  };
  if (ProvocationLoad()) {
    if (!Windows.Provocation() && Windows.ProvocationFromDatabase)
      if (const short kind = firstLoaded({MEASURE_FVC, MEASURE_VC, MEASURE_MVV, MEASURE_SHUTTER, MEASURE_PLETHY});
          kind >= 0)
        WorkFiles.ReadStageFiles(*window, kind);
    return result;
  }
  if (loadKind == AsCurrent) {
    const short kind = firstLoaded(
        {MEASURE_FVC, MEASURE_VC, MEASURE_MVV, MEASURE_DFC, MEASURE_PLETHY, MEASURE_SHUTTER});
    if (kind < 0)
      return result;
    if (Texts)
      window->SetCaption(Texts->LoadStringA(CaptionText(kind)));
    WorkFiles.ReadMeasureFile(*window, kind, true);
    window->SetMeasurementOfParameters();
    window->ChangeButtonColor();
    if (PrePostPending)
      window->ShowPrePost();
    else
      window->Repaint();
    PrePostPending = false;
    window->State().LoadedTest = true;
    window->SetPredictedAlgorithm(information.Algorithm, false);
    window->State().Version = FieldText(information.Version);
  } else {
    window->State().ComparisonAlgorithm = information.Algorithm;
    window->State().ComparisonVersion = FieldText(information.Version);
  }
  return result;
}

short TExaminationLoader::ReadSpiroRow(short kind, short n, short slot, std::vector<float>& curve) {
  TEngine* table = Index.Test(kind);
  TMeasureAccess* window = Windows.Measure();
  long bytes = 0;
  short result = table->GetBlobSize(bytes, dbiREADLOCK);
  if (result != 0)
    return result;
  // Sized from the stored row: shutter and plethysmograph rows are longer
  // than a window's curve.
  curve.assign(static_cast<std::size_t>(bytes) / sizeof(float) + 1, 0.0f);
  long length = 0;
  result = table->GetSpiroRec(std::span<float>(window->GetAktBuffer(kind, slot), static_cast<std::size_t>(n)),
                              std::span<float>(window->GetRefBuffer(kind, slot), static_cast<std::size_t>(n)),
                              std::span<float>(window->GetRsdBuffer(kind), static_cast<std::size_t>(n)), n, curve,
                              length, dbiREADLOCK);
  curve.resize(result == 0 ? static_cast<std::size_t>(std::max(length, 0L)) : 0);
  return result;
}

short TExaminationLoader::LoadSpiroRecord(short kind, short n, std::string_view date, std::string_view time,
                                          short loadKind) {
  TMeasureAccess* window = Windows.Measure();
  TEngine* table = Index.Test(kind);
  if (!window || !table)
    return DbResult::NotOpen;
  const short slot = loadKind == AsComparison ? 3 : 0;
  short result = table->Search(SearchEqual, 1, long{Index.CurrentMeetKey});
  if (result != 0)
    return result;
  window->AllocateSpiroBuffer(slot, kind, false);
  window->SetBufferSize(kind, slot, 0);
  window->SetMeasureDate(kind, slot, static_cast<short>(table->GetYear(date)),
                         static_cast<unsigned short>(table->GetMonth(date)),
                         static_cast<unsigned short>(table->GetDay(date)));
  window->SetMeasureTime(kind, slot, static_cast<unsigned short>(table->GetHour(time)),
                         static_cast<unsigned short>(table->GetMinute(time)),
                         static_cast<unsigned short>(table->GetSecond(time)));
  short count = 0;
  if (kind == MEASURE_PLETHY) {
    result = LoadPlethyRecord(slot, count);
  } else {
    std::vector<float> curve;
    result = ReadSpiroRow(kind, n, slot, curve);
    if (result != 0)
      return result;
    const auto length = static_cast<int>(curve.size());
    const int samples = kind == MEASURE_SHUTTER ? length / 2 : 4 * length;
    if (samples > Capacity)
      return Damaged(table->GetTableName(), Texts ? Texts->Format(RecordText::CurveTooLong, {std::to_string(samples)})
                                                  : std::to_string(samples));
    float* flow = window->GetSpiroFlowBuffer(slot);
    if (kind == MEASURE_SHUTTER) {
      float* pressure = window->GetSpiroPressureBuffer(slot);
      if (flow && pressure) {
        std::copy_n(curve.begin(), samples, flow);
        std::copy_n(curve.begin() + samples, samples, pressure);
        count = static_cast<short>(samples);
      }
    } else if (flow && length > 0) {
      int expanded = length;
      curve.resize(static_cast<std::size_t>(4 * length));
      window->DeCompressGrafikon(curve.data(), expanded);
      std::copy_n(curve.begin(), expanded, flow);
      count = static_cast<short>(expanded);
    }
  }
  if (count != 0 && result == 0) {
    window->SetBufferSize(kind, slot, count);
    std::array<std::int16_t, 3>& trials = window->State().ActualTrial;
    if (Windows.ProvocationFromDatabase && !Windows.Provocation())
      trials = {1, 2, static_cast<std::int16_t>(Windows.ThirdStage ? 3 : 0)};
    else
      trials[0] = 1;
    if (!WorkFiles.WriteMeasureFile(*window, kind))
      return DbResult::IoError;
  }
  return result;
}

short TExaminationLoader::LoadPlethyRecord(short slot, short& count) {
  TMeasureAccess* window = Windows.Measure();
  window->SetFirstBoxPressureForResistance(slot, 0.0f);
  window->SetFirstBoxPressureForTGV(slot, 0.0f);
  std::vector<float> row;
  const short result = ReadSpiroRow(MEASURE_PLETHY, 19, slot, row);
  if (result != 0 || row.empty())
    return result;
  TMeasureRecordState& state = window->State();
  (slot == 3 ? state.RvComparison : state.RvCurrent) = window->GetAktBuffer(MEASURE_PLETHY, slot)[2];

  // The row as the store wrote it: four loop bounds, the loops' samples,
  // the decimated flow count and the flow. Each part is checked against
  // the row's length and the window's buffers before it is used.
  const std::string table = Index.Test(MEASURE_PLETHY)->GetTableName();
  if (row.size() < 5)
    return Damaged(table, "a plethysmograph row of " + std::to_string(row.size()) + " values");
  // Every bound is checked as the stored float, before it becomes an index:
  // a loop's first sample lies inside the curve, its end at most one past
  // the curve's last sample (a loop may be empty), both where the expanded
  // curve puts them.
  constexpr int Shift = MeasureLimits::ExpansionShift;
  const std::array<std::optional<int>, 4> bounds{
      StoredCount(row[0], Capacity - 1 - Shift), StoredCount(row[1], Capacity - Shift),
      StoredCount(row[2], Capacity - 1 - Shift), StoredCount(row[3], Capacity - Shift)};
  if (std::any_of(bounds.begin(), bounds.end(), [](const std::optional<int>& bound) { return !bound; }) ||
      *bounds[1] < *bounds[0] || *bounds[2] < *bounds[1] || *bounds[3] < *bounds[2])
    return Damaged(table, "loop bounds " + StoredText(row[0]) + "-" + StoredText(row[1]) + ", " + StoredText(row[2]) +
                              "-" + StoredText(row[3]));
  const int resistanceBegin = *bounds[0], resistanceEnd = *bounds[1], tgvBegin = *bounds[2], tgvEnd = *bounds[3];
  const std::size_t loopValues = 2 * static_cast<std::size_t>(resistanceEnd - resistanceBegin + tgvEnd - tgvBegin);
  if (row.size() < 4 + loopValues + 1)
    return Damaged(table, "a plethysmograph row of " + std::to_string(row.size()) + " values");
  const std::optional<int> stored = StoredCount(row[4 + loopValues], Capacity / 4);
  if (!stored || row.size() < 5 + loopValues + static_cast<std::size_t>(*stored))
    return Damaged(table, "a curve of " + StoredText(row[4 + loopValues]) + " stored samples");
  const int decimated = *stored;

  float* flow = window->GetSpiroFlowBuffer(slot);
  float* box = window->GetSpiroBoxPressureBuffer(slot);
  float* mouth = window->GetSpiroMouthPressureBuffer(slot);
  if (!flow || !box || !mouth)
    return 0;
  // The loops' exact samples go where the expanded flow has their moments.
  std::size_t at = 4;
  for (int i = resistanceBegin; i < tgvEnd; ++i) {
    const auto sample = static_cast<std::size_t>(i + Shift);
    if (i < resistanceEnd)
      ++at;  // the exact flow, put back below
    if (i < resistanceEnd || i >= tgvBegin)
      box[sample] = row[at++];
    if (i >= tgvBegin)
      mouth[sample] = row[at++];
  }
  std::vector<float> curve(row.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                           row.begin() + static_cast<std::ptrdiff_t>(at) + 1 + decimated);
  int expanded = decimated;
  curve.resize(static_cast<std::size_t>(4 * decimated));
  window->DeCompressGrafikon(curve.data(), expanded);
  std::fill_n(flow, Capacity, 0.0f);
  std::copy_n(curve.begin(), expanded, flow);
  count = static_cast<short>(expanded);
  for (int i = resistanceBegin; i < resistanceEnd; ++i)
    flow[i + Shift] = row[4 + 2 * static_cast<std::size_t>(i - resistanceBegin)];
  window->SetBeginResistanceLoop(slot, static_cast<short>(resistanceBegin + Shift));
  window->SetEndResistanceLoop(slot, static_cast<short>(resistanceEnd + Shift));
  window->SetBeginTGVLoop(slot, static_cast<short>(tgvBegin + Shift));
  window->SetEndTGVLoop(slot, static_cast<short>(tgvEnd + Shift));
  window->SetFirstBoxPressureForResistance(slot, box[resistanceBegin + Shift]);
  window->SetFirstBoxPressureForTGV(slot, box[tgvBegin + Shift]);
  return 0;
}

void TExaminationLoader::MoveToStageFile(short kind, const MEET_INFORMATION& information) {
  TMeasureAccess* window = Windows.Measure();
  const int stage = StageOf(information.Flags);
  if (!window || kind == MEASURE_DFC || kind < 0 || kind > MEASURE_SHUTTER || stage < 0)
    return;
  TMeasureRecordState& state = window->State();
  if (stage == 0) {
    state.LoadedTest = true;
    window->SetPredictedAlgorithm(information.Algorithm, false);
  } else if (stage == 1) {
    state.ProvokedAgent = FieldText(information.Agent);
    state.ProvokedConcentration = information.Concentration;
    state.ProvokedDose = information.Dose;
  } else {
    state.ThirdStageAgent = FieldText(information.Agent);
  }
  std::error_code error;
  std::filesystem::rename(WorkFiles.WorkFile(kind), WorkFiles.StageFile(stage, kind), error);
}

short TExaminationLoader::LoadRhinoRecord(std::string_view date, std::string_view time, short loadKind) {
  TMeasureAccess* window = Windows.Measure();
  TEngine* table = Index.Rhino();
  if (!window || !table)
    return DbResult::NotOpen;
  TMeasureRecordState& state = window->State();
  short a = loadKind == AsComparison ? 2 : 0;
  if (state.RhinoBaseline) {
    a = 0;
    state.RhinoBaseline = false;
    state.RhinoBaselineHeld = true;
  } else if (state.RhinoProvoked) {
    a = 2;
  }
  if (loadKind == AsCurrent && state.RhinoBaselineHeld != state.RhinoProvoked) {
    // The single curve pair shown moves aside for the one loaded.
    for (short from = 0; from < 2; ++from) {
      const auto to = static_cast<short>(from + 2);
      unsigned short y = 0, m = 0, d = 0, h = 0, mi = 0, s = 0;
      window->GetMeasureDate(MEASURE_RHINO, from, &y, &m, &d);
      window->GetMeasureTime(MEASURE_RHINO, from, &h, &mi, &s);
      const short samples = std::clamp<short>(window->GetBufferSize(MEASURE_RHINO, from), 0, Capacity);
      window->AllocateSpiroBuffer(to, MEASURE_RHINO, false);
      window->SetMeasureDate(MEASURE_RHINO, to, static_cast<short>(y), m, d);
      window->SetMeasureTime(MEASURE_RHINO, to, h, mi, s);
      for (const auto& [source, target] :
           {std::pair{window->GetSpiroFlowBuffer(from), window->GetSpiroFlowBuffer(to)},
            std::pair{window->GetSpiroPressureBuffer(from), window->GetSpiroPressureBuffer(to)}})
        if (source && target)
          std::copy_n(source, samples, target);
      window->SetBufferSize(MEASURE_RHINO, to, samples);
      state.RhinoCurveIndex = to;
      state.RhinoSide = from;
      window->CalculateRhinoParams();
    }
    a = 0;
  }
  short result = table->Search(SearchEqual, 1, long{Index.CurrentMeetKey});
  if (result != 0)
    return result;
  std::vector<float> data;
  long length = 0;
  result = table->GetRhinoRec(data, length, dbiREADLOCK);
  if (result != 0 || length <= 0)
    return result;
  data.resize(static_cast<std::size_t>(length));
  // Both curves are checked against the row before either reaches the window.
  std::size_t at = 0;
  std::array<int, 2> counts{};
  for (int& count : counts) {
    const std::optional<int> stored = at < data.size() ? StoredCount(data[at], Capacity) : std::nullopt;
    if (!stored || at + 1 + 2 * static_cast<std::size_t>(*stored) > data.size())
      return Damaged(table->GetTableName(), "a rhinomanometry curve of " +
                                                (at < data.size() ? StoredText(data[at]) : std::string("no")) +
                                                " samples");
    count = *stored;
    at += 1 + 2 * static_cast<std::size_t>(count);
  }
  at = 0;
  for (short side = 0; side < 2; ++side) {
    const auto slot = static_cast<short>(a + side);
    const int count = counts[static_cast<std::size_t>(side)];
    window->SetBufferSize(MEASURE_RHINO, slot, 0);
    ++at;
    if (count == 0)
      continue;
    window->SetMeasureDate(MEASURE_RHINO, slot, static_cast<short>(table->GetYear(date)),
                           static_cast<unsigned short>(table->GetMonth(date)),
                           static_cast<unsigned short>(table->GetDay(date)));
    window->SetMeasureTime(MEASURE_RHINO, slot, static_cast<unsigned short>(table->GetHour(time)),
                           static_cast<unsigned short>(table->GetMinute(time)),
                           static_cast<unsigned short>(table->GetSecond(time)));
    window->AllocateSpiroBuffer(slot, MEASURE_RHINO, false);
    for (float* buffer : {window->GetSpiroFlowBuffer(slot), window->GetSpiroPressureBuffer(slot)}) {
      if (buffer)
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(at), count, buffer);
      at += static_cast<std::size_t>(count);
    }
    window->SetBufferSize(MEASURE_RHINO, slot, static_cast<short>(count));
    state.RhinoCurveIndex = slot;
    state.RhinoSide = side;
    window->CalculateRhinoParams();
  }
  window->SetMeasureMode(MEASURE_RHINO);
  return 0;
}

short TExaminationLoader::LoadAudioRecord(std::string_view date, std::string_view time, int slot) {
  MEET_INFORMATION information;
  std::string dateText(date), timeText(time);
  Index.GetMeetInformation(dateText, timeText, &information, MeetStep::KeepTexts);
  if (!(information.Flags & MeetFlag::Audiogram))
    return 0;
  if (!Windows.Audiometer())
    Windows.OpenAudiometer();
  TAudioAccess* audio = Windows.Audiometer();
  TEngine* table = Index.Audio();
  if (!audio || !table)
    return 0;
  const short found = table->Search(SearchEqual, 1, long{Index.CurrentMeetKey});
  if (found != 0)
    return found;
  audio->SetAlgorithm(information.Algorithm);
  audio->SetMeasureDate(slot, table->GetYear(date), static_cast<unsigned>(table->GetMonth(date)),
                        static_cast<unsigned>(table->GetDay(date)));
  audio->SetMeasureTime(slot, static_cast<unsigned>(table->GetHour(time)),
                        static_cast<unsigned>(table->GetMinute(time)), static_cast<unsigned>(table->GetSecond(time)));
  constexpr auto entries = static_cast<std::size_t>(TAudioAccess::Entries);
  const short result = table->GetAudioRec(
      std::span<int>(audio->GetTable(1, slot), entries), std::span<int>(audio->GetTable(0, slot), entries),
      std::span<bool>(audio->GetFlagTable(1, slot), entries), std::span<bool>(audio->GetFlagTable(0, slot), entries),
      TAudioAccess::Entries, dbiREADLOCK);
  TAudioAccess::TState& state = audio->State();
  const auto index = static_cast<std::size_t>(slot);
  state.SlotNote[index] = FieldText(information.Note);
  state.SlotLoaded[index] = true;
  state.SlotNoteFlag[index] = !state.SlotNote[index].empty();
  if (slot == 0)
    audio->RedrawScreenBmp();
  return result;
}
