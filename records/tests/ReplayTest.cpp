#include "records/DemoReplay.h"
#include "common/CommandNumbers.h"
#include "records/tests/FakeMeasure.h"
#include "platform/basekit/Message.h"
#include "platform/framework/BinaryStream.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

class Replay : public ::testing::Test {
protected:
  Replay() { Texts.SetSink(&Sink); }

  int Run(short kind, short slot = 1) {
    return DemoReplay::LoadDemoData(Window, kind, slot, Settings, Folder.Path(), &Texts);
  }

  static std::string LogHead(float a, float b, float c, float d) {
    PREDICTED_DATA patient;
    patient.SetName("Demo Patient");
    patient.Age = 44;
    TBinaryWriter out;
    const std::string block = patient.ToBytes();
    out.WriteBytes(block);
    out.WriteBytes(std::string(17, '\x01'));
    for (float value : {a, b, c, d})
      out.WriteFloat32(value);
    return out.Take();
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TFakeMeasure Window;
  TReplaySettings Settings;
};

TEST_F(Replay, DemonstrationFilesOfEachLayout) {
  TBinaryWriter fvc;
  fvc.WriteUInt32(3);
  for (float value : {0.5f, 2.5f, -1.0f})
    fvc.WriteFloat32(value);
  Folder.Write("FvcDemo.bin", fvc.Data());
  TBinaryWriter dfc(fvc);
  dfc.WriteFloat32(0.21f);
  dfc.WriteFloat32(0.003f);
  Folder.Write("DfcDemo.bin", dfc.Data());
  TBinaryWriter shutter;
  shutter.WriteUInt32(2);
  for (std::int16_t value : {-3, 7, 11, -12})
    shutter.WriteInt16(value);
  Folder.Write("ShDemo.bin", shutter.Data());
  TBinaryWriter rhino;
  rhino.WriteUInt32(2);
  for (float value : {0.1f, 0.2f, 150.0f, 300.0f})
    rhino.WriteFloat32(value);
  Folder.Write("RinoDemo.bin", rhino.Data());

  ASSERT_EQ(Run(MEASURE_FVC), 1);
  EXPECT_EQ(Window.GetBufferSize(MEASURE_FVC, 1), 3);
  EXPECT_EQ(Window.GetSpiroFlowBuffer(1)[2], -1.0f);
  EXPECT_EQ(Window.Log.back(), "DoRandom 1");
  ASSERT_EQ(Run(MEASURE_DFC), 1);
  EXPECT_EQ(Window.State().GasAnalysis[1], 0.003f);
  ASSERT_EQ(Run(MEASURE_SHUTTER, 2), 1);
  EXPECT_EQ(Window.GetSpiroFlowBuffer(2)[0], 0.0f);  // -3 + 3
  EXPECT_EQ(Window.GetSpiroFlowBuffer(2)[1], 10.0f);
  EXPECT_EQ(Window.GetSpiroPressureBuffer(2)[1], -12.0f);
  ASSERT_EQ(Run(MEASURE_RHINO, 3), 1);
  EXPECT_EQ(Window.GetSpiroPressureBuffer(3)[1], 300.0f);
  EXPECT_NE(Window.GetSpiroVolumeBuffer(3), nullptr);
  EXPECT_TRUE(Sink.Messages.empty());
}

// Raw 100 with flow zero 0: 100 x 8.7890625 x 0.001 = 0.87890625 L/s,
// inspiration: / (BTPS 1.1) / 0.9 = 0.8877841; raw -100 expiration:
// -0.87890625 / 1.2 = -0.7324219; raw 0 takes the expiration branch: 0.
TEST_F(Replay, MeasureLogConvertsRawFlowWithItsConstants) {
  Settings.ReadEnable = 1;
  Settings.ReadFileName = "Bad/Fvc.007";
  std::filesystem::create_directory(Folder / "Bad");
  TBinaryWriter log;
  log.WriteBytes(LogHead(1.1f, 0.9f, 1.2f, 0.0f));
  log.WriteUInt32(3);
  for (std::int16_t raw : {100, -100, 0})
    log.WriteInt16(raw);
  Folder.Write("Bad/Fvc.007", log.Data());
  ASSERT_EQ(Run(MEASURE_FVC, 0), 1);
  ASSERT_EQ(Window.GetBufferSize(MEASURE_FVC, 0), 3);
  EXPECT_NEAR(Window.GetSpiroFlowBuffer(0)[0], 0.8877841, 1e-6);
  EXPECT_NEAR(Window.GetSpiroFlowBuffer(0)[1], -0.7324219, 1e-6);
  EXPECT_EQ(Window.GetSpiroFlowBuffer(0)[2], 0.0f);
  EXPECT_EQ(Window.Patient.GetName(), "Demo Patient");
  EXPECT_EQ(Window.Btps.size(), 17u);
  // No random variation of a log; the window's calibration stays while
  // the log settings do not name this kind.
  EXPECT_EQ(std::count(Window.Log.begin(), Window.Log.end(), "DoRandom 0"), 0);
  EXPECT_EQ(Window.State().ExpirationFlowConstant, 1.0f);

  Window.State().LogWriteEnable = 1;
  Window.State().LogMeasureMode = MEASURE_FVC;
  ASSERT_EQ(Run(MEASURE_FVC, 0), 1);
  EXPECT_EQ(Window.State().ExpirationFlowConstant, 1.2f);
  EXPECT_EQ(Window.BtpsFactor, 1.1f);
}

TEST_F(Replay, MissingLogFallsBackToTheDemonstrationFile) {
  Settings.ReadEnable = 1;
  Settings.ReadFileName = "NoSuch.001";
  TBinaryWriter vc;
  vc.WriteUInt32(1);
  vc.WriteFloat32(0.25f);
  Folder.Write("VcDemo.bin", vc.Data());
  ASSERT_EQ(Run(MEASURE_VC), 1);
  EXPECT_EQ(Window.GetSpiroFlowBuffer(1)[0], 0.25f);
}

// Box: raw 1000 x 0.014648437 - 0.5 = 14.148437; mouth: (raw 200 x
// 2.9296875 - 10) x 0.001 = 0.5759375.
TEST_F(Replay, PlethyDemonstrationZeroesTheZeroFlowInterval) {
  TBinaryWriter pl;
  for (float value : {1.0f, 1.0f, 1.0f, 0.0f, 0.5f, 10.0f})
    pl.WriteFloat32(value);
  pl.WriteUInt32(100);  // index 1, the zero-flow start
  pl.WriteUInt32(120);
  pl.WriteUInt32(300);
  pl.WriteUInt32(200);
  for (int channel = 0; channel < 3; ++channel)
    for (int i = 0; i < 200; ++i)
      pl.WriteInt16(static_cast<std::int16_t>(channel == 0 ? 400 : channel == 1 ? 1000 : 200));
  Folder.Write("PlDemo.bin", pl.Data());
  ASSERT_EQ(Run(MEASURE_PLETHY), 1);
  const float* flow = Window.GetSpiroFlowBuffer(1);
  EXPECT_NEAR(flow[99], 3.515625, 1e-6);  // 400 x 8.7890625 x 0.001
  for (int i = 100; i <= 120; ++i)
    EXPECT_EQ(flow[i], 0.0f) << i;
  EXPECT_NEAR(flow[121], 3.515625, 1e-6);
  EXPECT_NEAR(Window.GetSpiroBoxPressureBuffer(1)[0], 14.148437, 1e-5);
  EXPECT_NEAR(Window.GetSpiroMouthPressureBuffer(1)[0], 0.5759375, 1e-6);
  EXPECT_EQ(Window.State().PlethyIndex2, 300u);
  EXPECT_EQ(Window.Log.back(), "DoRandom 1");
}

// A PlDemo.bin cut short, in its constants, in its marks or in its
// samples: one message naming the file, and neither samples nor marks
// reach the window.
TEST_F(Replay, ATruncatedPlethysmographFileReachesNothing) {
  TBinaryWriter pl;
  for (float value : {1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f})
    pl.WriteFloat32(value);
  for (std::uint32_t value : {100u, 120u, 30u, 200u})
    pl.WriteUInt32(value);
  for (int i = 0; i < 3 * 200; ++i)
    pl.WriteInt16(100);
  const std::string whole = pl.Data();
  ASSERT_EQ(whole.size(), 40u + 6u * 200u);
  for (const std::size_t cut : {std::size_t{14}, std::size_t{30}, whole.size() - 7, whole.size() - 1}) {
    SCOPED_TRACE(cut);
    Folder.Write("PlDemo.bin", whole.substr(0, cut));
    Sink.Messages.clear();
    EXPECT_EQ(Run(MEASURE_PLETHY), DemoDataAnswer::Damaged);
    ASSERT_EQ(Sink.Messages.size(), 1u);
    EXPECT_NE(Sink.Messages[0].Text.find("PlDemo.bin"), std::string::npos) << Sink.Messages[0].Text;
    EXPECT_EQ(Window.GetBufferSize(MEASURE_PLETHY, 1), 0);
    EXPECT_EQ(Window.State().PlethyIndex1, 0u);
    EXPECT_EQ(Window.State().PlethyIndex2, 0u);
  }
}

// A ShDemo.bin cut short, in its count, in its flow counts or in its
// pressure counts: one message naming the file, and no sample reaches the
// window (the demonstration link would replay them as a test).
TEST_F(Replay, ATruncatedShutterFileReplaysNothing) {
  TBinaryWriter sh;
  sh.WriteUInt32(100);
  for (int i = 0; i < 2 * 100; ++i)
    sh.WriteInt16(static_cast<std::int16_t>(i < 100 ? 57 : -100));
  const std::string whole = sh.Data();
  ASSERT_EQ(whole.size(), 4u + 4u * 100u);
  for (const std::size_t cut : {std::size_t{3}, std::size_t{4 + 2 * 50}, std::size_t{4 + 2 * 100 + 1},
                                whole.size() - 1}) {
    SCOPED_TRACE(cut);
    Folder.Write("ShDemo.bin", whole.substr(0, cut));
    Sink.Messages.clear();
    Window.Log.clear();
    EXPECT_EQ(Run(MEASURE_SHUTTER), DemoDataAnswer::Damaged);
    ASSERT_EQ(Sink.Messages.size(), 1u);
    EXPECT_NE(Sink.Messages[0].Text.find("ShDemo.bin"), std::string::npos) << Sink.Messages[0].Text;
    EXPECT_EQ(Window.GetBufferSize(MEASURE_SHUTTER, 1), 0);
    EXPECT_TRUE(Window.Log.empty() || Window.Log.back() != "DoRandom 1") << "no trial varied for replay";
  }
  Folder.Write("ShDemo.bin", whole);
  Sink.Messages.clear();
  ASSERT_EQ(Run(MEASURE_SHUTTER), DemoDataAnswer::Replayed) << "the whole file replays";
  EXPECT_EQ(Window.GetBufferSize(MEASURE_SHUTTER, 1), 100);
}

TEST_F(Replay, DamagedFilesReachNothingAndAreNamedOnce) {
  TBinaryWriter tooMany;
  tooMany.WriteUInt32(7000);
  for (int i = 0; i < 7000; ++i)
    tooMany.WriteFloat32(1.0f);
  TBinaryWriter shortFile;
  shortFile.WriteUInt32(10);
  shortFile.WriteFloat32(1.0f);
  TBinaryWriter zeroConstant;
  zeroConstant.WriteBytes(LogHead(1.1f, 0.9f, 0.0f, 0.0f));
  zeroConstant.WriteUInt32(1);
  zeroConstant.WriteInt16(5);
  struct TCase {
    short Kind;
    const char* File;
    std::string Bytes;
    bool Log;
  };
  for (const TCase& c : {TCase{MEASURE_MVV, "MvvDemo.bin", tooMany.Data(), false},
                         TCase{MEASURE_MVV, "MvvDemo.bin", shortFile.Data(), false},
                         TCase{MEASURE_VC, "BadVc.001", zeroConstant.Data(), true},
                         TCase{MEASURE_VC, "BadVc.001", zeroConstant.Data().substr(0, 90), true}}) {
    Settings.ReadEnable = c.Log ? 1 : 0;
    Folder.Write(c.File, c.Bytes);
    Sink.Messages.clear();
    Window.Log.clear();
    EXPECT_EQ(Run(c.Kind), DemoDataAnswer::Damaged) << c.File;
    ASSERT_EQ(Sink.Messages.size(), 1u);
    EXPECT_NE(Sink.Messages[0].Text.find(c.File), std::string::npos) << Sink.Messages[0].Text;
    EXPECT_EQ(Window.GetBufferSize(c.Kind, 1), 0);
    EXPECT_EQ(Window.Patient.GetName(), "");
  }
}

// [Creating Measure Log] ReadFileName is typed by hand: a folder or a
// device is named in one message, never read whole.
TEST_F(Replay, ALogSettingThatNamesNoFileIsRefusedWithAMessage) {
  Settings.ReadEnable = 1;
  std::filesystem::create_directory(Folder / "Bad");
  const struct {
    const char* Named;
    std::string Shown;
  } cases[] = {
      {"Bad", (Folder / "Bad").string() + " was not read: it is a folder, not a file."},
      {"/dev/zero", "/dev/zero was not read: it is not a regular file."},
  };
  for (const auto& setting : cases) {
    SCOPED_TRACE(setting.Named);
    Settings.ReadFileName = setting.Named;
    EXPECT_EQ(Run(MEASURE_FVC), DemoDataAnswer::Damaged);
    ASSERT_EQ(Sink.Messages.size(), 1u);
    EXPECT_TRUE(Sink.Messages[0].Text.ends_with(setting.Shown)) << Sink.Messages[0].Text;
    Sink.Messages.clear();
  }
}

// The settings keep the system's form of a path: "Bad\Fvc.001" is the file
// Fvc.001 in the folder Bad.
TEST_F(Replay, ALogNamedInTheSystemsFormIsTheFileItNames) {
  Settings.ReadEnable = 1;
  Settings.ReadFileName = "Bad\\Fvc.001";
  TBinaryWriter log;
  log.WriteBytes(LogHead(1.0f, 1.0f, 1.0f, 0.0f));
  log.WriteUInt32(1);
  log.WriteInt16(-400);
  std::filesystem::create_directory(Folder / "Bad");
  Folder.Write("Bad/Fvc.001", log.Data());
  ASSERT_EQ(Run(MEASURE_FVC), DemoDataAnswer::Replayed);
  EXPECT_EQ(Window.GetBufferSize(MEASURE_FVC, 1), 1);
  EXPECT_NEAR(Window.GetSpiroFlowBuffer(1)[0], -3.515625, 1e-6);  // -400 x 8.7890625 mL/s
  EXPECT_TRUE(Sink.Messages.empty());
}

// Without its file a kind has no demonstration: the window is told so, and
// the curve the slot holds stays as it was.
TEST_F(Replay, AMissingDemonstrationFileLeavesTheSlotAlone) {
  Window.AllocateSpiroBuffer(1, MEASURE_FVC, false);
  Window.GetSpiroFlowBuffer(1)[0] = 2.5f;
  Window.SetBufferSize(MEASURE_FVC, 1, 300);
  EXPECT_EQ(Run(MEASURE_FVC), DemoDataAnswer::Missing);
  EXPECT_EQ(Window.GetBufferSize(MEASURE_FVC, 1), 300);
  EXPECT_EQ(Window.GetSpiroFlowBuffer(1)[0], 2.5f);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(Replay, FilesOfTheBuildAreWholeFilesOfTheirKinds) {
  const std::filesystem::path bin = std::filesystem::path(HALVETRA_BINARY_DIR) / "bin";
  for (short kind = MEASURE_FVC; kind <= MEASURE_RHINO; ++kind) {
    ASSERT_EQ(DemoReplay::LoadDemoData(Window, kind, 0, Settings, bin, &Texts), 1) << kind;
    EXPECT_GT(Window.GetBufferSize(kind, 0), 100) << kind;
  }
  EXPECT_TRUE(Sink.Messages.empty());
}

}  // namespace
