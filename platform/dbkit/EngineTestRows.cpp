// TEngine: the test rows, keyed by the meet key: spirometric rows (values
// and a curve), audiograms and rhinomanometry.

#include "platform/dbkit/EngineState.h"
#include "platform/framework/BinaryStream.h"

#include <cmath>
#include <limits>

namespace {

// Curves are kept as little-endian float32, whatever the machine.
std::string CurveBytes(std::span<const float> samples) {
  TBinaryWriter out;
  for (const float sample : samples)
    out.WriteFloat32(sample);
  return out.Take();
}

void ReadCurve(std::string_view bytes, std::span<float> samples) {
  TBinaryReader in(bytes);
  for (float& sample : samples)
    sample = in.ReadFloat32();
}

float FloatOf(const TRowValues& row, const std::string& column) {
  const auto found = row.find(column);
  if (found != row.end()) {
    if (const auto* real = std::get_if<double>(&found->second))
      return static_cast<float>(*real);
    if (const auto* number = std::get_if<std::int64_t>(&found->second))
      return static_cast<float>(*number);
  }
  return std::numeric_limits<float>::quiet_NaN();
}

std::int64_t IntOf(const TRowValues& row, const std::string& column) {
  const auto found = row.find(column);
  if (found == row.end())
    return 0;
  const auto* number = std::get_if<std::int64_t>(&found->second);
  return number ? *number : 0;
}

// The bytes of a BLOB column of float32 values, or nothing when it holds
// something else (a foreign table's damage).
std::optional<std::string> FloatBytesOf(const TRowValues& row, const std::string& column) {
  const auto found = row.find(column);
  if (found == row.end())
    return std::nullopt;
  const auto* blob = std::get_if<TSqlBlob>(&found->second);
  if (!blob || blob->Bytes.size() % sizeof(float) != 0)
    return std::nullopt;
  return blob->Bytes;
}

}  // namespace

short TEngine::NeedSpirometric(short count, std::initializer_list<std::size_t> arraySizes) {
  if (const short code = NeedTable())
    return code;
  if (Schema->ValueCount == 0 || Schema->Memo != "curve")
    return Refuse("A spirometric test row");
  const auto values = static_cast<std::size_t>(Schema->ValueCount);
  bool fits = count == Schema->ValueCount;
  for (const std::size_t size : arraySizes)
    fits = fits && size >= values;
  if (fits)
    return DbResult::Ok;
  return Report({DbResult::InvalidRequest, "The table holds " + std::to_string(Schema->ValueCount) +
                                               " values per array; the call gives " + std::to_string(count) + "."});
}

short TEngine::AddSpiroRecord(std::span<const float> actual, std::span<const float> reference,
                              std::span<const float> rsd, short count, std::span<const float> curve, long curveLength,
                              long meetKey, int insert) {
  if (const short code = NeedSpirometric(count, {actual.size(), reference.size(), rsd.size()}))
    return code;
  if (curveLength < 0 || static_cast<std::size_t>(curveLength) > curve.size() || meetKey <= 0)
    return Report({DbResult::InvalidRequest, "A curve of " + std::to_string(curveLength) + " values in a buffer of " +
                                                 std::to_string(curve.size()) + ", meet key " + std::to_string(meetKey) + "."});
  const auto values = static_cast<std::size_t>(Schema->ValueCount);
  // A test without a curve is no test: nothing is stored.
  if (curveLength == 0)
    return DbResult::Ok;
  TColumnValues row;
  for (std::size_t i = 0; i < values; ++i)
    row.Add(ArrayColumn("actual", i), static_cast<double>(actual[i]));
  for (std::size_t i = 0; i < values; ++i)
    row.Add(ArrayColumn("reference", i), static_cast<double>(reference[i]));
  for (std::size_t i = 0; i < values; ++i)
    row.Add(ArrayColumn("rsd", i), static_cast<double>(rsd[i]));
  row.Add("curve", TSqlBlob{CurveBytes(curve.first(static_cast<std::size_t>(curveLength)))});
  std::int64_t key = meetKey;
  if (!insert)
    row.Add("meet_key", std::int64_t{meetKey});
  return WriteRow(row, insert != 0, key);
}

short TEngine::GetSpiroRec(std::span<float> actual, std::span<float> reference, std::span<float> rsd, short count,
                           std::span<float> curve, long& curveLength, short lockType) {
  if (const short code = NeedSpirometric(count, {actual.size(), reference.size(), rsd.size()}))
    return code;
  const auto values = static_cast<std::size_t>(Schema->ValueCount);
  TRowValues row;
  if (const short code = ReadCurrent(lockType, row))
    return code;
  const auto bytes = FloatBytesOf(row, "curve");
  if (!bytes)
    return Report({DbResult::DamagedValue, "The curve is not an array of float32."});
  const std::size_t samples = bytes->size() / sizeof(float);
  if (samples > curve.size())
    return Report({DbResult::CurveTooLong, "The stored curve holds " + std::to_string(samples) +
                                               " values; the buffer takes " + std::to_string(curve.size()) + "."});
  for (std::size_t i = 0; i < values; ++i) {
    actual[i] = FloatOf(row, ArrayColumn("actual", i));
    reference[i] = FloatOf(row, ArrayColumn("reference", i));
    rsd[i] = FloatOf(row, ArrayColumn("rsd", i));
  }
  ReadCurve(*bytes, curve.first(samples));
  curveLength = static_cast<long>(samples);
  return DbResult::Ok;
}

short TEngine::GetSpiroRecOnlyData(std::span<float> actual, std::span<float> reference, short count,
                                   short lockType) {
  if (const short code = NeedSpirometric(count, {actual.size(), reference.size()}))
    return code;
  const auto values = static_cast<std::size_t>(Schema->ValueCount);
  TRowValues row;
  if (const short code = ReadCurrent(lockType, row))
    return code;
  for (std::size_t i = 0; i < values; ++i) {
    actual[i] = FloatOf(row, ArrayColumn("actual", i));
    reference[i] = FloatOf(row, ArrayColumn("reference", i));
  }
  return DbResult::Ok;
}

short TEngine::AddAudioRecord(std::span<const int> firstThresholds, std::span<const int> secondThresholds,
                              std::span<const bool> firstFlags, std::span<const bool> secondFlags, short count,
                              long meetKey, int insert) {
  if (const short code = NeedKind(TableKind::Audio, "An audiogram row"))
    return code;
  const auto entries = static_cast<std::size_t>(TestRow::AudioEntries);
  if (count != TestRow::AudioEntries || firstThresholds.size() < entries || secondThresholds.size() < entries ||
      firstFlags.size() < entries || secondFlags.size() < entries || meetKey <= 0)
    return Report({DbResult::InvalidRequest, "An audiogram holds 11 entries per table; given " +
                                                 std::to_string(count) + " and meet key " + std::to_string(meetKey) + "."});
  TColumnValues row;
  for (std::size_t i = 0; i < entries; ++i) {
    row.Add(ArrayColumn("first_threshold", i), std::int64_t{firstThresholds[i]});
    row.Add(ArrayColumn("second_threshold", i), std::int64_t{secondThresholds[i]});
    row.Add(ArrayColumn("first_flag", i), std::int64_t{firstFlags[i] ? 1 : 0});
    row.Add(ArrayColumn("second_flag", i), std::int64_t{secondFlags[i] ? 1 : 0});
  }
  std::int64_t key = meetKey;
  if (!insert)
    row.Add("meet_key", std::int64_t{meetKey});
  return WriteRow(row, insert != 0, key);
}

short TEngine::GetAudioRec(std::span<int> firstThresholds, std::span<int> secondThresholds,
                           std::span<bool> firstFlags, std::span<bool> secondFlags, short count, short lockType) {
  if (const short code = NeedKind(TableKind::Audio, "An audiogram row"))
    return code;
  const auto entries = static_cast<std::size_t>(TestRow::AudioEntries);
  if (count != TestRow::AudioEntries || firstThresholds.size() < entries || secondThresholds.size() < entries ||
      firstFlags.size() < entries || secondFlags.size() < entries)
    return Report({DbResult::InvalidRequest, "An audiogram holds 11 entries per table; asked for " +
                                                 std::to_string(count) + "."});
  TRowValues row;
  if (const short code = ReadCurrent(lockType, row))
    return code;
  for (std::size_t i = 0; i < entries; ++i) {
    firstThresholds[i] = static_cast<int>(IntOf(row, ArrayColumn("first_threshold", i)));
    secondThresholds[i] = static_cast<int>(IntOf(row, ArrayColumn("second_threshold", i)));
    firstFlags[i] = IntOf(row, ArrayColumn("first_flag", i)) != 0;
    secondFlags[i] = IntOf(row, ArrayColumn("second_flag", i)) != 0;
  }
  return DbResult::Ok;
}

short TEngine::AddRhinoRecord(std::span<const float> data, long length, long meetKey, int insert) {
  if (const short code = NeedKind(TableKind::Rhino, "A rhinomanometry row"))
    return code;
  if (length < 0 || static_cast<std::size_t>(length) > data.size() || meetKey <= 0)
    return Report({DbResult::InvalidRequest, "A rhinomanometry of " + std::to_string(length) + " values in a buffer of " +
                                                 std::to_string(data.size()) + ", meet key " + std::to_string(meetKey) + "."});
  if (length == 0)
    return DbResult::Ok;
  TColumnValues row;
  row.Add("data", TSqlBlob{CurveBytes(data.first(static_cast<std::size_t>(length)))});
  std::int64_t key = meetKey;
  if (!insert)
    row.Add("meet_key", std::int64_t{meetKey});
  return WriteRow(row, insert != 0, key);
}

short TEngine::GetRhinoRec(std::vector<float>& data, long& length, short lockType) {
  if (const short code = NeedKind(TableKind::Rhino, "A rhinomanometry row"))
    return code;
  TRowValues row;
  if (const short code = ReadCurrent(lockType, row))
    return code;
  const auto bytes = FloatBytesOf(row, "data");
  if (!bytes)
    return Report({DbResult::DamagedValue, "The rhinomanometry is not an array of float32."});
  std::vector<float> read(bytes->size() / sizeof(float));
  ReadCurve(*bytes, read);
  data = std::move(read);
  length = static_cast<long>(data.size());
  return DbResult::Ok;
}
