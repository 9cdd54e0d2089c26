#include "measure/tests/MeasureCoreFixture.h"

#include <algorithm>
#include <set>

namespace {

using Accessors = MeasureCoreTest;

TEST_F(Accessors, ResultArraysShareSlotsAsStorageExpects) {
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind) {
    EXPECT_EQ(Core.GetAktBuffer(kind, -1), Core.GetAktBuffer(kind, 0));
    std::set<float*> slots;
    for (short slot = 0; slot < 4; ++slot)
      slots.insert(Core.GetAktBuffer(kind, slot));
    EXPECT_EQ(slots.size(), 4u) << "kind " << kind;
    EXPECT_EQ(Core.GetRefBuffer(kind, 0), Core.GetRefBuffer(kind, 1));
    EXPECT_EQ(Core.GetRefBuffer(kind, 0), Core.GetRefBuffer(kind, 2));
    EXPECT_NE(Core.GetRefBuffer(kind, 0), Core.GetRefBuffer(kind, 3));
    EXPECT_NE(Core.GetRsdBuffer(kind), nullptr);
  }
  // The kinds' blocks do not overlap: writing FVC slot 3 leaves VC slot 0 alone.
  std::fill_n(Core.GetAktBuffer(MEASURE_FVC, 3), 19, 7.0f);
  EXPECT_EQ(Core.GetAktBuffer(MEASURE_VC, 0)[0], 0.0f);
  for (short kind : {6, 7, -2, 100}) {
    EXPECT_EQ(Core.GetAktBuffer(kind, 0), nullptr);
    EXPECT_EQ(Core.GetRefBuffer(kind, 0), nullptr);
    EXPECT_EQ(Core.GetRsdBuffer(kind), nullptr);
  }
  EXPECT_EQ(Core.GetAktBuffer(MEASURE_FVC, 4), nullptr);
  EXPECT_EQ(Core.GetAktBuffer(MEASURE_FVC, -2), nullptr);
}

struct TBufferSet {
  short Kind;
  bool WithVolume;
  bool Volume, Pressure, Box, Mouth;
};

TEST_F(Accessors, EachKindAllocatesItsBufferSet) {
  const TBufferSet sets[] = {
      {MEASURE_FVC, false, true, false, false, false},   {MEASURE_VC, true, true, false, false, false},
      {MEASURE_MVV, false, true, false, false, false},   {MEASURE_DFC, false, true, false, false, false},
      {MEASURE_PLETHY, false, true, false, true, true},  {MEASURE_SHUTTER, false, false, true, false, false},
      {MEASURE_SHUTTER, true, true, true, false, false}, {MEASURE_RHINO, false, false, true, false, false},
      {MEASURE_RHINO, true, true, true, false, false},   {MEASURE_CALIBRATION, false, true, false, false, false},
  };
  for (const TBufferSet& set : sets) {
    TMeasureCore core(&Texts, &Client);
    EXPECT_EQ(core.GetSpiroFlowBuffer(1), nullptr);
    ASSERT_TRUE(core.AllocateSpiroBuffer(1, set.Kind, set.WithVolume));
    SCOPED_TRACE(testing::Message() << "kind " << set.Kind << " with volume " << set.WithVolume);
    EXPECT_NE(core.GetSpiroFlowBuffer(1), nullptr);
    EXPECT_EQ(core.GetSpiroVolumeBuffer(1) != nullptr, set.Volume);
    EXPECT_EQ(core.GetSpiroPressureBuffer(1) != nullptr, set.Pressure);
    EXPECT_EQ(core.GetRhinoPressureBuffer(1), core.GetSpiroPressureBuffer(1));
    EXPECT_EQ(core.GetSpiroBoxPressureBuffer(1) != nullptr, set.Box);
    EXPECT_EQ(core.GetSpiroMouthPressureBuffer(1) != nullptr, set.Mouth);
    EXPECT_EQ(core.GetSpiroFlowBuffer(0), nullptr);  // only the slot asked for
  }
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(Accessors, ASecondAllocationKeepsThePointersAndZeroesAllSamples) {
  ASSERT_TRUE(Core.AllocateSpiroBuffer(2, MEASURE_PLETHY, false));
  float* const flow = Core.GetSpiroFlowBuffer(2);
  float* const box = Core.GetSpiroBoxPressureBuffer(2);
  std::fill_n(flow, 6010, 1.5f);
  std::fill_n(box, 6010, -2.0f);
  ASSERT_TRUE(Core.AllocateSpiroBuffer(2, MEASURE_PLETHY, false));
  EXPECT_EQ(Core.GetSpiroFlowBuffer(2), flow);
  EXPECT_EQ(Core.GetSpiroBoxPressureBuffer(2), box);
  EXPECT_TRUE(std::all_of(flow, flow + 6010, [](float v) { return v == 0.0f; }));
  EXPECT_TRUE(std::all_of(box, box + 6010, [](float v) { return v == 0.0f; }));
}

TEST_F(Accessors, CountsLoopBoundsDatesAndTimesReadBackAsStored) {
  Core.SetBufferSize(MEASURE_CALIBRATION, 3, 1234);
  EXPECT_EQ(Core.GetBufferSize(MEASURE_CALIBRATION, 3), 1234);
  EXPECT_EQ(Core.GetBufferSize(MEASURE_CALIBRATION, 2), 0);
  Core.SetBufferSize(9, 0, 5);  // outside the table: ignored
  EXPECT_EQ(Core.GetBufferSize(9, 0), 0);

  Core.SetBeginResistanceLoop(1, 10);
  Core.SetEndResistanceLoop(1, 20);
  Core.SetBeginTGVLoop(1, 30);
  Core.SetEndTGVLoop(1, 40);
  EXPECT_EQ(Core.GetBeginResistanceLoop(1), 10);
  EXPECT_EQ(Core.GetEndResistanceLoop(1), 20);
  EXPECT_EQ(Core.GetBeginTGVLoop(1), 30);
  EXPECT_EQ(Core.GetEndTGVLoop(1), 40);
  EXPECT_EQ(Core.GetBeginResistanceLoop(0), 0);

  Core.SetMeasureDate(MEASURE_RHINO, 2, 1999, 12, 31);
  unsigned short year = 0, month = 0, day = 0;
  Core.GetMeasureDate(MEASURE_RHINO, 2, &year, &month, &day);
  EXPECT_EQ(year, 1999);
  EXPECT_EQ(month, 12);
  EXPECT_EQ(day, 31);

  Core.MeasureTime[MEASURE_FVC][0].Hundredths = 42;
  Core.SetMeasureTime(MEASURE_FVC, 0, 23, 59, 58);
  unsigned short hour = 0, minute = 0, second = 0;
  Core.GetMeasureTime(MEASURE_FVC, 0, &hour, &minute, &second);
  EXPECT_EQ(hour, 23);
  EXPECT_EQ(minute, 59);
  EXPECT_EQ(second, 58);
  EXPECT_EQ(Core.MeasureTime[MEASURE_FVC][0].Hundredths, 42);  // never set by the accessors
}

TEST_F(Accessors, PicturesAreCutToTheirField) {
  Core.SetDateFormatStr("DD/MM/YYYY");
  EXPECT_STREQ(Core.GetDateFormatStr(), "DD/MM/YYYY");
  Core.SetTimeFormatStr("HH:MM:SS and a good deal more");
  EXPECT_STREQ(Core.GetTimeFormatStr(), "HH:MM:SS and a good");  // 19 characters and the terminator
}

TEST_F(Accessors, ParameterTablesByKind) {
  const short counts[] = {19, 5, 2, 13, 19, 5, 2, 2};
  for (short kind = 0; kind < 8; ++kind)
    EXPECT_EQ(TMeasureCore::GetNumberOfParams(kind), counts[kind]);
  EXPECT_EQ(TMeasureCore::GetNumberOfParams(-1), 2);
  EXPECT_EQ(TMeasureCore::GetParamStr(6).data(), TMeasureCore::GetParamStr(MEASURE_FVC).data());
  EXPECT_EQ(TMeasureCore::GetUnitStr(7).data(), TMeasureCore::GetUnitStr(MEASURE_FVC).data());
  EXPECT_EQ(Core.GetParamStruct(6), Core.GetParamStruct(MEASURE_FVC));
  EXPECT_EQ(Core.GetParamStruct(MEASURE_VC), Core.GetParamStruct(MEASURE_FVC) + 19);
  EXPECT_EQ(Core.GetParamStruct(MEASURE_SHUTTER), Core.GetParamStruct(MEASURE_FVC) + 58);

  // A name and its unit travel together.
  struct TPair {
    short Kind;
    std::size_t Index;
    std::string_view Name, Unit;
  };
  const TPair pairs[] = {
      {0, 0, "FVC", "[L]"},          {0, 3, "FEV*0,5/IVC", "[%]"}, {0, 7, "PEF", "[L/s]"},
      {0, 12, "FET", "[s]"},         {0, 18, "FIF*25-75%", "[L/s]"}, {1, 4, "SVC", "[L]"},
      {2, 0, "MVV", "[L/min]"},      {2, 1, "MVV*f", "[1/min]"},   {3, 9, "Tlco", "[mmol/min*kPa]"},
      {3, 10, "Klco", "[mmol/min*kPa*L]"}, {3, 11, "BHtime", "[s]"}, {4, 4, "Raw", "[kPa*s/L]"},
      {4, 8, "sRaw", "[kPa*s]"},     {4, 11, "Gaw", "[L/kPa*s]"}, {4, 14, "sGaw", "[/kPa*s]"},
      {4, 18, "W", "[W]"},           {5, 3, "Gaw", "[L/kPa*s]"},  {5, 4, "Rfreq", "[1/min]"},
  };
  for (const TPair& pair : pairs) {
    EXPECT_EQ(TMeasureCore::GetParamStr(pair.Kind)[pair.Index], pair.Name);
    EXPECT_EQ(TMeasureCore::GetUnitStr(pair.Kind)[pair.Index], pair.Unit) << pair.Name;
  }
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind)
    EXPECT_EQ(TMeasureCore::GetUnitStr(kind).size(), static_cast<std::size_t>(counts[kind]));
}

TEST_F(Accessors, WasAResultLooksOnlyAtTheLeadingValue) {
  for (short slot = 0; slot < 4; ++slot)
    std::fill_n(Core.GetAktBuffer(MEASURE_FVC, slot) + 1, 18, 3.0f);
  EXPECT_FALSE(Core.WasFVC(4));
  Core.GetAktBuffer(MEASURE_FVC, 2)[0] = 0.5f;
  EXPECT_TRUE(Core.WasFVC(3));
  EXPECT_FALSE(Core.WasFVC(2));
  EXPECT_FALSE(Core.WasFVC(0));
  EXPECT_FALSE(Core.WasFVC(-1));
  Core.GetAktBuffer(MEASURE_SHUTTER, 0)[0] = 1.0f;
  EXPECT_TRUE(Core.WasSHUTTER(1));
  EXPECT_FALSE(Core.WasVC(4));

  EXPECT_FALSE(Core.WasRHINO());
  Core.SetBufferSize(MEASURE_RHINO, 3, 1);
  EXPECT_TRUE(Core.WasRHINO());
}

}  // namespace
