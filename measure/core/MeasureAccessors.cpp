// The members through which the storage subsystem, the tables, the prints
// and the exports reach a window's trials. None of them redraws or
// recalculates; a kind or slot outside the tables gives null or is ignored.

#include "measure/core/MeasureCore.h"
#include "measure/core/SlotIndex.h"

#include "platform/basekit/Message.h"
#include "platform/framework/Utf8.h"

#include <algorithm>
#include <new>

namespace {

bool ValidDatedKind(short kind) { return kind >= 0 && kind < DatedKinds; }

float* BufferOf(std::array<TMeasureData::TCurve, 4>& buffers, short slot) {
  if (!ValidSlot(slot) || buffers[Index(slot)].empty())
    return nullptr;
  return buffers[Index(slot)].data();
}

void CopyPicture(std::array<char, TMeasureCore::PictureSize>& field, std::string_view picture) {
  const std::string_view cut = Utf8::Truncate(picture, field.size() - 1);
  field.fill('\0');
  std::copy(cut.begin(), cut.end(), field.begin());
}

}  // namespace

bool TMeasureCore::AllocateCurve(TCurve& curve, std::size_t samples) {
  try {
    if (curve.empty())
      curve.resize(samples);
    std::fill(curve.begin(), curve.end(), 0.0f);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool TMeasureCore::AllocateSpiroBuffer(short slot, short kind, bool withVolume) {
  if (!ValidSlot(slot))
    return false;
  const std::size_t s = Index(slot);
  std::vector<TCurve*> set{&Flow[s]};
  if (kind == MEASURE_SHUTTER || kind == MEASURE_RHINO) {
    set.push_back(&Third[s]);
    if (withVolume)
      set.push_back(&Volume[s]);
  } else if (kind == MEASURE_PLETHY) {
    set.insert(set.end(), {&Volume[s], &BoxPressure[s], &MouthPressure[s]});
  } else {
    set.push_back(&Volume[s]);
  }
  bool allocated = true;
  for (TCurve* buffer : set)
    allocated = AllocateCurve(*buffer, CurveBufferSamples) && allocated;
  if (!allocated && Messages)
    Messages->MessageBox(3, 0, TMessageIcon::Stop);
  return allocated;
}

float* TMeasureCore::GetSpiroFlowBuffer(short slot) { return BufferOf(Flow, slot); }
float* TMeasureCore::GetSpiroVolumeBuffer(short slot) { return BufferOf(Volume, slot); }
float* TMeasureCore::GetSpiroPressureBuffer(short slot) { return BufferOf(Third, slot); }
float* TMeasureCore::GetSpiroBoxPressureBuffer(short slot) { return BufferOf(BoxPressure, slot); }
float* TMeasureCore::GetSpiroMouthPressureBuffer(short slot) { return BufferOf(MouthPressure, slot); }

short TMeasureCore::GetBufferSize(short kind, short slot) const {
  return ValidDatedKind(kind) && ValidSlot(slot) ? SampleCount[Index(kind)][Index(slot)] : short{0};
}

void TMeasureCore::SetBufferSize(short kind, short slot, short count) {
  if (ValidDatedKind(kind) && ValidSlot(slot))
    SampleCount[Index(kind)][Index(slot)] = count;
}

TPlethySlot* TMeasureCore::GetPlethySlot(short slot) {
  return ValidSlot(slot) ? &PlethySlots[Index(slot)] : nullptr;
}

short TMeasureCore::GetBeginResistanceLoop(short slot) const {
  return ValidSlot(slot) ? PlethySlots[Index(slot)].BeginResistanceLoop : short{0};
}
short TMeasureCore::GetEndResistanceLoop(short slot) const {
  return ValidSlot(slot) ? PlethySlots[Index(slot)].EndResistanceLoop : short{0};
}
short TMeasureCore::GetBeginTGVLoop(short slot) const {
  return ValidSlot(slot) ? PlethySlots[Index(slot)].BeginTGVLoop : short{0};
}
short TMeasureCore::GetEndTGVLoop(short slot) const {
  return ValidSlot(slot) ? PlethySlots[Index(slot)].EndTGVLoop : short{0};
}
void TMeasureCore::SetBeginResistanceLoop(short slot, short index) {
  if (TPlethySlot* p = GetPlethySlot(slot))
    p->BeginResistanceLoop = index;
}
void TMeasureCore::SetEndResistanceLoop(short slot, short index) {
  if (TPlethySlot* p = GetPlethySlot(slot))
    p->EndResistanceLoop = index;
}
void TMeasureCore::SetBeginTGVLoop(short slot, short index) {
  if (TPlethySlot* p = GetPlethySlot(slot))
    p->BeginTGVLoop = index;
}
void TMeasureCore::SetEndTGVLoop(short slot, short index) {
  if (TPlethySlot* p = GetPlethySlot(slot))
    p->EndTGVLoop = index;
}

float* TMeasureCore::GetAktBuffer(short kind, short slot) {
  if (slot == -1)
    slot = 0;
  if (!ValidKind(kind) || !ValidSlot(slot))
    return nullptr;
  return AktParams[Index(kind)][Index(slot)].data();
}

float* TMeasureCore::GetRefBuffer(short kind, short slot) {
  if (!ValidKind(kind))
    return nullptr;
  return slot == 3 ? PreRefParams[Index(kind)].data() : RefParams[Index(kind)].data();
}

float* TMeasureCore::GetRsdBuffer(short kind) {
  return ValidKind(kind) ? RsdParams[Index(kind)].data() : nullptr;
}

void TMeasureCore::GetMeasureDate(short kind, short slot, unsigned short* year, unsigned short* month,
                                  unsigned short* day) const {
  if (!ValidDatedKind(kind) || !ValidSlot(slot))
    return;
  const TMeasureDate& date = MeasureDate[Index(kind)][Index(slot)];
  *year = static_cast<unsigned short>(date.Year);
  *month = date.Month;
  *day = date.Day;
}

void TMeasureCore::SetMeasureDate(short kind, short slot, short year, unsigned short month, unsigned short day) {
  if (!ValidDatedKind(kind) || !ValidSlot(slot))
    return;
  TMeasureDate& date = MeasureDate[Index(kind)][Index(slot)];
  date.Year = year;
  date.Month = static_cast<std::uint8_t>(month);
  date.Day = static_cast<std::uint8_t>(day);
}

void TMeasureCore::GetMeasureTime(short kind, short slot, unsigned short* hour, unsigned short* minute,
                                  unsigned short* second) const {
  if (!ValidDatedKind(kind) || !ValidSlot(slot))
    return;
  const TMeasureTime& time = MeasureTime[Index(kind)][Index(slot)];
  *hour = time.Hour;
  *minute = time.Minute;
  *second = time.Second;
}

void TMeasureCore::SetMeasureTime(short kind, short slot, unsigned short hour, unsigned short minute,
                                  unsigned short second) {
  if (!ValidDatedKind(kind) || !ValidSlot(slot))
    return;
  TMeasureTime& time = MeasureTime[Index(kind)][Index(slot)];
  time.Hour = static_cast<std::uint8_t>(hour);
  time.Minute = static_cast<std::uint8_t>(minute);
  time.Second = static_cast<std::uint8_t>(second);
}

void TMeasureCore::SetDateFormatStr(std::string_view picture) { CopyPicture(DatePictureText, picture); }
void TMeasureCore::SetTimeFormatStr(std::string_view picture) { CopyPicture(TimePictureText, picture); }

short TMeasureCore::GetNumberOfParams(short kind) { return ValidKind(kind) ? ParameterCount(kind) : short{2}; }

unsigned* TMeasureCore::GetParamStruct(short kind) {
  return ParamsStruct.data() + ParameterOffset(ValidKind(kind) ? kind : MEASURE_FVC);
}

std::span<const std::string_view> TMeasureCore::GetParamStr(short kind) {
  return ParameterNames(ValidKind(kind) ? kind : MEASURE_FVC);
}

std::span<const std::string_view> TMeasureCore::GetUnitStr(short kind) {
  return ParameterUnits(ValidKind(kind) ? kind : MEASURE_FVC);
}

bool TMeasureCore::WasKind(short kind, short n) const {
  const auto& slots = AktParams[Index(kind)];
  for (short slot = 0; slot < std::min<short>(n, SlotCount); ++slot)
    if (slots[Index(slot)][0] != 0.0f)
      return true;
  return false;
}

bool TMeasureCore::WasRHINO() const {
  const auto& counts = SampleCount[Index(MEASURE_RHINO)];
  return std::any_of(counts.begin(), counts.end(), [](short count) { return count != 0; });
}
