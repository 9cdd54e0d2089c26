#include "records/MeasureWorkFiles.h"

#include "common/ParameterBlocks.h"
#include "platform/basekit/Message.h"
#include "platform/framework/AtomicFile.h"
#include "platform/framework/BinaryStream.h"
#include "platform/framework/WholeFile.h"
#include "records/RecordTexts.h"

#include <algorithm>

namespace {

constexpr std::array<const char*, 6> KindSuffix{" (FVC)", " (VC)", " (MVV)", " (DFC)", " (PLETHY)", " (SHUTTER)"};

bool IsSpiroKind(short kind) { return kind >= MEASURE_FVC && kind <= MEASURE_SHUTTER; }

int Count(short kind) { return ParameterCounts[static_cast<std::size_t>(kind)]; }

// Channels a curve block holds besides the flow.
int ExtraChannels(short kind) {
  return kind == MEASURE_SHUTTER ? 1 : kind == MEASURE_PLETHY ? 2 : 0;
}

void CopyOut(const std::vector<float>& values, float* target) {
  if (target)
    std::copy(values.begin(), values.end(), target);
}

void CopyIn(const float* source, int count, std::vector<float>& values) {
  values.assign(static_cast<std::size_t>(count), 0.0f);
  if (source)
    std::copy_n(source, count, values.begin());
}


}  // namespace

std::size_t TWorkFileImage::TrialSectionSize(short kind) {
  return 4 * (24 + 12 * static_cast<std::size_t>(Count(kind)));
}

std::string TWorkFileImage::ToBytes() const {
  TBinaryWriter out;
  for (const TTrial& trial : Trials) {
    for (std::uint32_t value : trial.Date)
      out.WriteUInt32(value);
    for (std::uint32_t value : trial.Time)
      out.WriteUInt32(value);
    for (const auto* values : {&trial.Actual, &trial.Reference, &trial.Rsd})
      for (float value : *values)
        out.WriteFloat32(value);
  }
  for (const TCurve& curve : Curves) {
    out.WriteInt32(curve.Count());
    const std::vector<const std::vector<float>*> channels =
        Kind == MEASURE_SHUTTER  ? std::vector{&curve.Flow, &curve.Pressure}
        : Kind == MEASURE_PLETHY ? std::vector{&curve.Flow, &curve.BoxPressure, &curve.MouthPressure}
                                 : std::vector{&curve.Flow};
    for (const auto* channel : channels)
      for (float value : *channel)
        out.WriteFloat32(value);
  }
  for (std::int16_t value : Selection)
    out.WriteInt16(value);
  if (Kind == MEASURE_PLETHY)
    for (const TLoops& loops : Loops)
      for (std::int32_t value : {loops.ResistanceBegin, loops.ResistanceEnd, loops.TgvBegin, loops.TgvEnd})
        out.WriteInt32(value);
  return out.Take();
}

std::optional<TWorkFileImage> TWorkFileImage::FromBytes(short kind, std::string_view bytes, std::string& error) {
  if (!IsSpiroKind(kind)) {
    error = "no test kind of its own";
    return std::nullopt;
  }
  TWorkFileImage image;
  image.Kind = kind;
  const auto n = static_cast<std::size_t>(Count(kind));
  TBinaryReader in(bytes);
  const auto readFloats = [&](std::vector<float>& values, std::size_t count, const char* field) {
    values.resize(count);
    for (float& value : values)
      value = in.ReadFloat32(field);
  };
  for (TTrial& trial : image.Trials) {
    for (std::uint32_t& value : trial.Date)
      value = in.ReadUInt32("date");
    for (std::uint32_t& value : trial.Time)
      value = in.ReadUInt32("time");
    readFloats(trial.Actual, n, "actual values");
    readFloats(trial.Reference, n, "reference values");
    readFloats(trial.Rsd, n, "residual SDs");
  }
  for (TCurve& curve : image.Curves) {
    const std::int32_t count = in.ReadInt32("sample count");
    if (!in.Ok())
      break;
    // A count the window's buffers cannot hold, or more than the file has
    // room for, is damage, not a curve.
    const std::size_t perSample = 4 * static_cast<std::size_t>(1 + ExtraChannels(kind));
    if (count < 0 || count > MeasureLimits::CurveSamples ||
        static_cast<std::size_t>(count) * perSample > in.Remaining()) {
      error = "a curve of " + std::to_string(count) + " samples at byte " + std::to_string(in.Position() - 4);
      return std::nullopt;
    }
    const auto samples = static_cast<std::size_t>(count);
    readFloats(curve.Flow, samples, "flow");
    if (kind == MEASURE_SHUTTER)
      readFloats(curve.Pressure, samples, "pressure");
    if (kind == MEASURE_PLETHY) {
      readFloats(curve.BoxPressure, samples, "box pressure");
      readFloats(curve.MouthPressure, samples, "mouth pressure");
    }
  }
  for (std::int16_t& value : image.Selection)
    value = in.ReadInt16("actual trials");
  if (kind == MEASURE_PLETHY)
    for (TLoops& loops : image.Loops)
      for (std::int32_t* value : {&loops.ResistanceBegin, &loops.ResistanceEnd, &loops.TgvBegin, &loops.TgvEnd})
        *value = in.ReadInt32("loop bounds");
  if (!in.Ok()) {
    error = in.GetError();
    return std::nullopt;
  }
  if (!in.AtEnd()) {
    error = std::to_string(in.Remaining()) + " bytes after its end";
    return std::nullopt;
  }
  for (std::int16_t value : image.Selection)
    if (value < 0 || value > MeasureLimits::Slots) {
      error = "an actual trial " + std::to_string(value);
      return std::nullopt;
    }
  for (std::size_t slot = 0; slot < image.Loops.size(); ++slot) {
    const TLoops& loops = image.Loops[slot];
    for (std::int32_t value : {loops.ResistanceBegin, loops.ResistanceEnd, loops.TgvBegin, loops.TgvEnd})
      if (value < 0 || value > image.Curves[slot].Count()) {
        error = "a loop bound " + std::to_string(value) + " outside the curve of trial " + std::to_string(slot + 1);
        return std::nullopt;
      }
  }
  return image;
}

TMeasureWorkFiles::TMeasureWorkFiles(TWorkName workName, TStageName stageName, TMessage* texts)
    : WorkName(std::move(workName)), StageName(std::move(stageName)), Texts(texts) {}

const std::array<std::int16_t, 3>& TMeasureWorkFiles::GetSelection(short kind) const {
  static const std::array<std::int16_t, 3> none{};
  return IsSpiroKind(kind) ? Selections[static_cast<std::size_t>(kind)] : none;
}

short TMeasureWorkFiles::GetStoredTrial(short kind) const { return GetSelection(kind)[0]; }

bool TMeasureWorkFiles::WriteMeasureFile(TMeasureAccess& window, short kind) {
  if (!IsSpiroKind(kind) || !window.WasKind(kind, MeasureLimits::Slots))
    return true;
  TWorkFileImage image;
  image.Kind = kind;
  const int n = Count(kind);
  for (short slot = 0; slot < MeasureLimits::Slots; ++slot) {
    TWorkFileImage::TTrial& trial = image.Trials[static_cast<std::size_t>(slot)];
    unsigned short a = 0, b = 0, c = 0;
    window.GetMeasureDate(kind, slot, &a, &b, &c);
    trial.Date = {a, b, c};
    window.GetMeasureTime(kind, slot, &a, &b, &c);
    trial.Time = {a, b, c};
    CopyIn(window.GetAktBuffer(kind, slot), n, trial.Actual);
    CopyIn(window.GetRefBuffer(kind, slot), n, trial.Reference);
    CopyIn(window.GetRsdBuffer(kind), n, trial.Rsd);

    // A missing channel is written as zeros, so that the file keeps the
    // layout its readers walk.
    TWorkFileImage::TCurve& curve = image.Curves[static_cast<std::size_t>(slot)];
    const int count = std::clamp<int>(window.GetBufferSize(kind, slot), 0, MeasureLimits::CurveSamples);
    CopyIn(window.GetSpiroFlowBuffer(slot), count, curve.Flow);
    if (kind == MEASURE_SHUTTER)
      CopyIn(window.GetSpiroPressureBuffer(slot), count, curve.Pressure);
    if (kind == MEASURE_PLETHY) {
      CopyIn(window.GetSpiroBoxPressureBuffer(slot), count, curve.BoxPressure);
      CopyIn(window.GetSpiroMouthPressureBuffer(slot), count, curve.MouthPressure);
    }
  }
  image.Selection = window.State().ActualTrial;
  for (short slot = 0; slot < 3; ++slot)
    image.Loops[static_cast<std::size_t>(slot)] = {window.GetBeginResistanceLoop(slot), window.GetEndResistanceLoop(slot),
                                                   window.GetBeginTGVLoop(slot), window.GetEndTGVLoop(slot)};

  std::string error;
  if (!AtomicFile::Write(WorkName(kind), image.ToBytes(), &error)) {
    const std::string text = (Texts ? Texts->LoadStringA(RecordText::WorkFileNotWritten) : std::string("#27")) +
                             KindSuffix[static_cast<std::size_t>(kind)];
    if (Texts)
      Texts->MessageBoxText(text, 0, TMessageIcon::Stop);
    return false;
  }
  Selections[static_cast<std::size_t>(kind)] = image.Selection;
  return true;
}

std::optional<TWorkFileImage> TMeasureWorkFiles::Load(const std::filesystem::path& file, short kind) const {
  // No work file is an empty trial; one that cannot be read whole is named.
  std::error_code missing;
  if (!std::filesystem::exists(file, missing))
    return std::nullopt;
  constexpr std::size_t LargestWorkFile = 64u << 20;
  std::string error;
  const std::optional<std::string> bytes = WholeFile::Read(file, LargestWorkFile, error);
  if (!bytes) {
    if (Texts)
      Texts->MessageBoxText(Texts->Format(RecordText::FileNotRead, {file.string(), error}), 0, TMessageIcon::Stop);
    return std::nullopt;
  }
  std::optional<TWorkFileImage> image = TWorkFileImage::FromBytes(kind, *bytes, error);
  if (!image && Texts)
    Texts->MessageBoxText(Texts->Format(RecordText::DamagedFile, {file.string(), error}), 0, TMessageIcon::Stop);
  return image;
}

namespace {

void PutTrial(TMeasureAccess& window, short kind, short slot, const TWorkFileImage::TTrial& trial, bool withDate) {
  if (withDate) {
    window.SetMeasureDate(kind, slot, static_cast<short>(trial.Date[0]), static_cast<unsigned short>(trial.Date[1]),
                          static_cast<unsigned short>(trial.Date[2]));
    window.SetMeasureTime(kind, slot, static_cast<unsigned short>(trial.Time[0]),
                          static_cast<unsigned short>(trial.Time[1]), static_cast<unsigned short>(trial.Time[2]));
  }
  CopyOut(trial.Actual, window.GetAktBuffer(kind, slot));
  CopyOut(trial.Reference, window.GetRefBuffer(kind, slot));
  CopyOut(trial.Rsd, window.GetRsdBuffer(kind));
}

// The curve into a slot whose buffers were allocated and cleared; the
// volume is rebuilt on request. Leaves the slot's count set.
void PutCurve(TMeasureAccess& window, short kind, short slot, const TWorkFileImage::TCurve& curve, bool volume) {
  const auto count = static_cast<short>(curve.Count());
  if (count == 0)
    return;
  CopyOut(curve.Flow, window.GetSpiroFlowBuffer(slot));
  if (kind == MEASURE_SHUTTER)
    CopyOut(curve.Pressure, window.GetSpiroPressureBuffer(slot));
  else if (volume)
    window.ReIntegratedVolume(kind, slot, count);
  if (kind == MEASURE_PLETHY) {
    CopyOut(curve.BoxPressure, window.GetSpiroBoxPressureBuffer(slot));
    CopyOut(curve.MouthPressure, window.GetSpiroMouthPressureBuffer(slot));
  }
  window.SetBufferSize(kind, slot, count);
}

bool ClearSlot(TMeasureAccess& window, short kind, short slot) {
  const bool allocated = window.AllocateSpiroBuffer(slot, kind, false);
  window.SetBufferSize(kind, slot, 0);
  return allocated;
}

}  // namespace

void TMeasureWorkFiles::FevPerIvc(TMeasureAccess& window) const {
  const std::int16_t vc = Selections[MEASURE_VC][0];
  if (vc == 0)
    return;
  for (std::int16_t trial : window.State().ActualTrial)
    if (trial != 0)
      window.CalculateFEVperIVC(static_cast<short>(trial - 1), static_cast<short>(vc - 1));
}

void TMeasureWorkFiles::ReadMeasureFile(TMeasureAccess& window, short kind, bool full) {
  if (IsSpiroKind(kind))
    if (const std::optional<TWorkFileImage> image = Load(WorkName(kind), kind)) {
      for (short slot = 0; slot < MeasureLimits::Slots; ++slot)
        PutTrial(window, kind, slot, image->Trials[static_cast<std::size_t>(slot)], true);
      for (short slot = 0; slot < MeasureLimits::Slots; ++slot)
        if (ClearSlot(window, kind, slot))
          PutCurve(window, kind, slot, image->Curves[static_cast<std::size_t>(slot)], true);
      if (full)
        window.State().ActualTrial = image->Selection;
    }
  if (!full)
    return;
  if (kind == MEASURE_FVC)
    FevPerIvc(window);
  window.SetMeasureMode(kind);
}

void TMeasureWorkFiles::ReadMeasureFileForMode(TMeasureAccess& window, short kind, short part) {
  if (IsSpiroKind(kind) && (part == 0 || part == 1))
    if (const std::optional<TWorkFileImage> image = Load(WorkName(kind), kind)) {
      window.State().ActualTrial = image->Selection;
      if (part == 0) {
        for (short slot = 0; slot < MeasureLimits::Slots; ++slot)
          PutTrial(window, kind, slot, image->Trials[static_cast<std::size_t>(slot)], true);
        if (kind == MEASURE_FVC)
          FevPerIvc(window);
      } else {
        const int selected = image->SelectedSlot();
        for (short slot = 0; slot < MeasureLimits::Slots; ++slot)
          if (ClearSlot(window, kind, slot) && (slot == selected || slot == 3))
            PutCurve(window, kind, slot, image->Curves[static_cast<std::size_t>(slot)], false);
      }
    }
  window.SetMeasureMode(kind);
}

void TMeasureWorkFiles::ReadSelectedTrial(TMeasureAccess& window, short kind) {
  if (!IsSpiroKind(kind))
    return;
  const std::optional<TWorkFileImage> image = Load(WorkName(kind), kind);
  if (!image)
    return;
  window.State().ActualTrial = image->Selection;
  const auto selected = static_cast<std::size_t>(image->SelectedSlot());
  PutTrial(window, kind, 0, image->Trials[selected], false);
  if (ClearSlot(window, kind, 0))
    PutCurve(window, kind, 0, image->Curves[selected], false);
}

void TMeasureWorkFiles::ReadStageFiles(TMeasureAccess& window, short kind) {
  if (IsSpiroKind(kind) && kind != MEASURE_DFC)
    for (short stage = 0; stage < 3; ++stage) {
      const std::optional<TWorkFileImage> image = Load(StageName(stage, kind), kind);
      if (!image)
        continue;
      window.State().ActualTrial = image->Selection;
      const auto selected = static_cast<std::size_t>(image->SelectedSlot());
      // The loop section has entries for the three trials only.
      const TWorkFileImage::TLoops loops = selected < 3 ? image->Loops[selected] : TWorkFileImage::TLoops{};
      if (kind == MEASURE_PLETHY) {
        window.SetBeginResistanceLoop(stage, static_cast<short>(loops.ResistanceBegin));
        window.SetEndResistanceLoop(stage, static_cast<short>(loops.ResistanceEnd));
        window.SetBeginTGVLoop(stage, static_cast<short>(loops.TgvBegin));
        window.SetEndTGVLoop(stage, static_cast<short>(loops.TgvEnd));
      }
      PutTrial(window, kind, stage, image->Trials[selected], true);
      if (!ClearSlot(window, kind, stage))
        continue;
      const TWorkFileImage::TCurve& curve = image->Curves[selected];
      PutCurve(window, kind, stage, curve, true);
      if (kind == MEASURE_PLETHY) {
        // Bounds were checked against the count; a bound at the very end
        // of the curve has no sample of its own.
        const auto at = [&](std::int32_t index) {
          return index < curve.Count() ? curve.BoxPressure[static_cast<std::size_t>(index)] : 0.0f;
        };
        window.SetFirstBoxPressureForResistance(stage, at(loops.ResistanceBegin));
        window.SetFirstBoxPressureForTGV(stage, at(loops.TgvBegin));
      }
    }
  window.SetMeasureMode(kind);
}
