#include "measure/results/ParamList.h"

#include "measure/results/ParamsStruct.h"

#include "common/CommandNumbers.h"
#include "common/MeasureMode.h"
#include "platform/framework/Profile.h"
#include "testing/TemporaryFolder.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <sstream>
#include <vector>

namespace {

// The measurement window as the list sees it: it answers whether a test
// runs, and records the commands it receives.
class TFakeWindow : public TEventHandler {
public:
  TResult Running = 0;
  std::vector<unsigned> Commands;

protected:
  TResult DefaultProcessing(unsigned msg, TParam1 wParam, TParam2) override {
    if (msg == WM_GET_IS_START)
      return Running;
    if (msg == WM_COMMAND)
      Commands.push_back(CommandId(wParam));
    return 0;
  }
};

class THelpMode : public TEventHandler {
public:
  TResult On = 0;

protected:
  TResult DefaultProcessing(unsigned msg, TParam1, TParam2) override { return msg == WM_GET_HELP_MODE ? On : 0; }
};

class ParamList : public ::testing::Test {
protected:
  std::string Ini() const { return (Folder / "Halvetra.ini").string(); }
  TTemporaryFolder Folder;
  TFakeWindow Window;
};

// Every FVC parameter in four trials, the pre result in the fourth.
struct TFvcResult {
  std::array<float, 4 * FVC_PARAMETER_COUNT> Actual{};
  std::array<float, FVC_PARAMETER_COUNT> Reference{};
  std::array<float, FVC_PARAMETER_COUNT> Rsd{};
  std::array<unsigned, FVC_PARAMETER_COUNT> Selected{};

  float& Value(int trial, int i) { return Actual[static_cast<std::size_t>((trial - 1) * FVC_PARAMETER_COUNT + i)]; }
};

TFvcResult ExampleFvc() {
  TFvcResult r;
  r.Value(1, 0) = 4.5f;  // FVC: 90 % of 5.00, within 1.64 RSD
  r.Value(2, 0) = 4.4f;
  r.Reference[0] = 5.0f;
  r.Rsd[0] = 0.5f;
  r.Value(1, 1) = 3.1f;  // FEV0.5 without a predicted value
  r.Value(2, 1) = 2.9f;
  r.Value(1, 6) = 80.0f;  // FEV1/FVC, a whole-number ratio: 80 / 77.6 = 103 %
  r.Value(2, 6) = 79.0f;
  r.Reference[6] = 77.6f;
  r.Value(1, 7) = 6.0f;  // PEF 6.00 <= 9.00 - 2.46 x 1.2 = 6.048: " --"
  r.Value(3, 7) = 5.5f;
  r.Reference[7] = 9.0f;
  r.Rsd[7] = 1.2f;
  for (const int i : {0, 1, 6, 7})
    r.Selected[static_cast<std::size_t>(i)] = 1;
  return r;
}

TEST_F(ParamList, FvcLinesTrialColumnsZeroReferenceAndVext) {
  TParamList list(Ini(), 0, &Window, MEASURE_FVC, 1.0f);
  TFvcResult r = ExampleFvc();
  const std::array<short, 3> trials{1, 2, 3};
  list.FillParamList(r.Actual, r.Reference, r.Rsd, FvcParameterNames, FVC_PARAMETER_COUNT, trials, MEASURE_FVC,
                     r.Selected, true, 0.12f);
  EXPECT_EQ(list.GetLines(),
            (std::vector<std::string>{
                "FVC        " " " " 4.50" " " " 5.00" " " " 90" " " "   " " " " 4.40" " " " 0.00",
                "FEV*0,5    " " " " 3.10" " " "     " " " "   " " " "   " " " " 2.90" " " " 0.00",
                "FEV*1,0/FVC" " " "   80" " " "   78" " " "103" " " "   " " " "   79" " " "    0",
                "PEF        " " " " 6.00" " " " 9.00" " " " 67" " " " --" " " " 0.00" " " " 5.50",
                "Vext       " " " " 0.12",
            }));

  // Trials 1, 0, 0: the second and third columns stay blank (a 0 there
  // would read as a measured trial); no Vext line when it is off.
  const std::array<short, 3> firstOnly{1, 0, 0};
  list.FillParamList(r.Actual, r.Reference, r.Rsd, FvcParameterNames, FVC_PARAMETER_COUNT, firstOnly, MEASURE_FVC,
                     r.Selected, false, 0.12f);
  ASSERT_EQ(list.GetCount(), 4);
  EXPECT_EQ(list.GetLines()[0], "FVC        " " " " 4.50" " " " 5.00" " " " 90" " " "   " " " "     " " " "     ");
  EXPECT_EQ(list.GetLines()[3], "PEF        " " " " 6.00" " " " 9.00" " " " 67" " " " --" " " "     " " " "     ");
}

// Before the first result of a test (as while it runs) every trial column
// and the per cent are blank; the predicted value and the Vext label stand.
TEST_F(ParamList, NoTrialYetLeavesTheValueAndPercentColumnsBlank) {
  TParamList list(Ini(), 0, &Window, MEASURE_FVC, 1.0f);
  TFvcResult r = ExampleFvc();
  r.Actual.fill(0.0f);
  const std::array<short, 3> none{0, 0, 0};
  list.FillParamList(r.Actual, r.Reference, r.Rsd, FvcParameterNames, FVC_PARAMETER_COUNT, none, MEASURE_FVC,
                     r.Selected, true, 0.0f);
  EXPECT_EQ(list.GetLines(),
            (std::vector<std::string>{
                "FVC        " " " "     " " " " 5.00" " " "   " " " "   " " " "     " " " "     ",
                "FEV*0,5    " " " "     " " " "     " " " "   " " " "   " " " "     " " " "     ",
                "FEV*1,0/FVC" " " "     " " " "   78" " " "   " " " "   " " " "     " " " "     ",
                "PEF        " " " "     " " " " 9.00" " " "   " " " "   " " " "     " " " "     ",
                "Vext       ",
            }));

  // The comparison with only the previous test: no actual, per cent or change.
  r.Value(4, 0) = 4.0f;
  const std::array<float, FVC_PARAMETER_COUNT> preReference{5.0f};
  list.FillPrePostParamList(r.Actual, r.Reference, preReference, FvcParameterNames, FVC_PARAMETER_COUNT, none,
                            MEASURE_FVC, r.Selected);
  EXPECT_EQ(list.GetLines()[0], "FVC        " " " "     " " " " 5.00" " " "   " " " " 4.00" " " " 80" " " "     ");
}

TEST_F(ParamList, MvvWithOneDecimalAndNoVextForOtherKinds) {
  TParamList list(Ini(), 0, &Window, MEASURE_MVV, 1.0f);
  const std::array<float, 8> actual{120.44f, 30.0f};
  const std::array<float, 2> reference{150.0f, 0.0f};
  const std::array<float, 2> rsd{};
  const std::array<unsigned, 2> selected{1, 1};
  const std::array<short, 3> trials{1, 0, 0};
  list.FillParamList(actual, reference, rsd, MvvParameterNames, MVV_PARAMETER_COUNT, trials, MEASURE_MVV, selected,
                     true, 1.0f);
  EXPECT_EQ(list.GetLines(), (std::vector<std::string>{
                                 "MVV        " " " "120.4" " " "150.0" " " " 80" " " "   " " " "     " " " "     ",
                                 "MVV*f      " " " " 30.0" " " "     " " " "   " " " "   " " " "     " " " "     ",
                             }));
}

TEST_F(ParamList, LinesStandWhereTheIniFilePutsThem) {
  Folder.Write("Halvetra.ini", "[Index of Parameters]\nFVC00=4\nFVC03=1\n");
  TParamList list(Ini(), 0, &Window, MEASURE_FVC, 1.0f);
  TFvcResult r = ExampleFvc();
  r.Selected.fill(1);
  const std::array<short, 3> trials{1, 0, 0};
  list.FillParamList(r.Actual, r.Reference, r.Rsd, FvcParameterNames, FVC_PARAMETER_COUNT, trials, MEASURE_FVC,
                     r.Selected, false, 0.0f);
  ASSERT_EQ(list.GetCount(), 19);
  EXPECT_EQ(list.GetLines()[0].substr(0, 11), "FEV*0,5/IVC");
  EXPECT_EQ(list.GetLines()[3].substr(0, 11), "FVC        ");
  EXPECT_EQ(list.GetLines()[18].substr(0, 11), "FIF*25-75% ");

  // Arrays shorter than the count read as 0 and show no line: nothing is read past them.
  const std::array<float, 2> shortActual{4.5f, 3.1f};
  const std::array<unsigned, 1> oneSelected{1};
  list.FillParamList(shortActual, {}, {}, FvcParameterNames, FVC_PARAMETER_COUNT, trials, MEASURE_FVC, oneSelected,
                     false, 0.0f);
  EXPECT_EQ(list.GetLines(), (std::vector<std::string>{"FVC        " " " " 4.50" " " "     " " " "   " " " "   "
                                                        " " "     " " " "     "}));
}

TEST_F(ParamList, PrePostComparison) {
  TParamList list(Ini(), 0, &Window, MEASURE_FVC, 1.0f);
  TFvcResult r;
  r.Value(1, 0) = 4.8f;  // 96 % now, 80 % before: +20 %
  r.Value(4, 0) = 4.0f;
  r.Value(1, 1) = 3.0f;  // no predicted value before: no pre per cent, no change
  r.Value(4, 1) = 2.5f;
  r.Value(1, 2) = 3.6f;  // 90 % now, 100 % before: -10 %
  r.Value(4, 2) = 4.0f;
  r.Value(1, 3) = 85.0f;  // a ratio, whole numbers
  r.Value(4, 3) = 80.0f;
  std::array<float, FVC_PARAMETER_COUNT> reference{5.0f, 3.5f, 4.0f, 85.0f};
  std::array<float, FVC_PARAMETER_COUNT> preReference{5.0f, 0.0f, 4.0f, 80.0f};
  r.Selected.fill(0);
  for (const int i : {0, 1, 2, 3})
    r.Selected[static_cast<std::size_t>(i)] = 1;
  const std::array<short, 3> trials{1, 0, 0};
  list.FillPrePostParamList(r.Actual, reference, preReference, FvcParameterNames, FVC_PARAMETER_COUNT, trials,
                            MEASURE_FVC, r.Selected);
  EXPECT_EQ(list.GetLines(),
            (std::vector<std::string>{
                "FVC        " " " " 4.80" " " " 5.00" " " " 96" " " " 4.00" " " " 80" " " " +20%",
                "FEV*0,5    " " " " 3.00" " " " 3.50" " " " 86" " " " 2.50" " " "   " " " "     ",
                "FEV*1,0    " " " " 3.60" " " " 4.00" " " " 90" " " " 4.00" " " "100" " " " -10%",
                "FEV*0,5/IVC" " " "   85" " " "   85" " " "100" " " "   80" " " "100" " " "  +0%",
            }));
}

TEST_F(ParamList, RhinomanometryRoundsFlowsBeforeDividing) {
  TParamList list(Ini(), 0, &Window, MEASURE_RHINO, 1.0f);
  RHINO_PARAMS first;
  RHINO_PARAMS second;
  first.Flows[0] = {250.4f, 0.4f, 500.6f};  // 250, 0, 501
  second.Flows[0] = {2.5f, 100.0f, -0.3f};  // 2 (halves to even), 100, 0
  first.Flows[4] = {600.0f, 300.0f, 900.0f};
  const std::array<unsigned, 5> selected{1, 0, 0, 0, 1};
  list.FillRhinoParamList(first, second, selected);
  EXPECT_EQ(list.GetLines(),
            (std::vector<std::string>{
                "Flow [ 50]" " " "  250" " " "    0" " " "  501" " " "    2" " " "  100" " " "    0",
                "Flow [300]" " " "  600" " " "  300" " " "  900" " " "    0" " " "    0" " " "    0",
                // 50 / 250, 0 for a flow of 0, 50 / 501, 50 / 2, 50 / 100
                "RES  [ 50]" " " " 0.20" " " " 0.00" " " " 0.10" " " "25.00" " " " 0.50" " " " 0.00",
                "RES  [300]" " " " 0.50" " " " 1.00" " " " 0.33" " " " 0.00" " " " 0.00" " " " 0.00",
            }));
}

TEST_F(ParamList, PutStringAndDeleteNullString) {
  TParamList list(Ini(), 0, &Window, MEASURE_FVC, 1.0f);
  for (int i = 0; i < 3; ++i)
    list.AddString(" ");
  list.PutString("b", 1);
  list.PutString("end", -1);
  list.PutString("far", 40);  // past the end: appended
  EXPECT_EQ(list.GetLines(), (std::vector<std::string>{" ", "b", " ", "end", "far"}));
  list.DeleteNullString();
  EXPECT_EQ(list.GetLines(), (std::vector<std::string>{"b", "end", "far"}));
}

TEST_F(ParamList, HoverAndClickAskTheWindowToZoom) {
  TParamList list(Ini(), 0, &Window, MEASURE_FVC, 1.0f);
  list.SetScreenSize(1600, 1200);  // the zoom area doubles: x 200..840, y 0..400
  using C = TParamList::TCursorChange;
  EXPECT_FALSE(list.EvLButtonDown(300, 100)) << "no click before hovering";
  EXPECT_EQ(list.EvMouseMove(300, 100), C::Zoom);
  EXPECT_EQ(list.EvMouseMove(500, 399), C::None);
  EXPECT_TRUE(list.IsHovering());
  EXPECT_TRUE(list.EvLButtonDown(300, 100));
  EXPECT_TRUE(Window.Commands.empty()) << "posted, not sent";
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(Window.Commands, std::vector<unsigned>{CM_ZOOM_TABLE});
  EXPECT_EQ(list.EvMouseMove(150, 100), C::Arrow);
  EXPECT_EQ(list.EvMouseMove(150, 100), C::None);
  EXPECT_EQ(list.EvMouseMove(840, 100), C::None) << "the bounds are outside";

  // A running test, the lock and context-help mode each make the list ignore the pointer.
  EXPECT_EQ(list.EvMouseMove(300, 100), C::Zoom);
  Window.Running = 1;
  EXPECT_EQ(list.EvMouseMove(150, 100), C::None);
  EXPECT_FALSE(list.EvLButtonDown(300, 100));
  Window.Running = 0;
  list.SetLock(1);
  EXPECT_FALSE(list.EvLButtonDown(300, 100));
  list.SetLock(0);
  THelpMode client;
  THelpMode mainWindow;
  list.SetHelpTargets(&client, &mainWindow);
  mainWindow.On = 1;
  EXPECT_TRUE(list.GetHelpContext());
  EXPECT_FALSE(list.EvLButtonDown(300, 100));
  mainWindow.On = 0;
  EXPECT_TRUE(list.EvLButtonDown(300, 100));
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(Window.Commands.size(), 2u);
}

TEST_F(ParamList, FreshIniGainsItsSectionsAndTheChosenSetIsStoredOnClose) {
  {
    TParamList list(Ini(), 0, &Window, MEASURE_FVC, 1.0f);
    list.PredictedAlgorithm = PREDICTED_FINNISH;
  }
  EXPECT_EQ(TProfile("Index of Parameters", Ini()).GetInt("FVC03"), 4);
  EXPECT_EQ(TProfile("Merge Index By Parameter", Ini()).GetString("SH00"), "Raw [kPa*s/L]");
  EXPECT_EQ(TProfile("Predicted Algorithm", Ini()).GetInt("Algorithm", -1), PREDICTED_FINNISH);
  {
    TParamList list(Ini(), 0, &Window, MEASURE_FVC, 1.0f);
    EXPECT_EQ(list.PredictedAlgorithm, PREDICTED_FINNISH);
    list.PredictedAlgorithm = PREDICTED_UNSTORED;
  }
  EXPECT_EQ(TProfile("Predicted Algorithm", Ini()).GetInt("Algorithm", -1), PREDICTED_FINNISH);
}

TEST_F(ParamList, FreshIniHoldsThreeSectionsOfSixtyThreeKeys) {
  {
    const TParamList list(Ini(), 0, &Window, MEASURE_FVC, 1.0f);
    TParamFlags flags{};
    ReadParmsStruct(Ini(), flags);
    ASSERT_TRUE(WriteParmsStruct(Ini(), flags));  // as the window does when it closes
  }
  std::map<std::string, int> keys;
  std::string section;
  std::istringstream text(TTemporaryFolder::Read(Ini()));
  for (std::string line; std::getline(text, line);) {
    if (line.starts_with('['))
      section = line;
    else if (line.find('=') != std::string::npos)
      ++keys[section];
  }
  EXPECT_EQ(keys["[Index of Parameters]"], 63);
  EXPECT_EQ(keys["[Merge Index By Parameter]"], 63);
  EXPECT_EQ(keys["[Params Struct]"], 63);
  const TProfile index("Index of Parameters", Ini());
  EXPECT_EQ(index.GetInt("FVC03"), 4);
  EXPECT_EQ(index.GetInt("SH04"), 5);
  EXPECT_EQ(TProfile("Params Struct", Ini()).GetInt("Rfreq (SH)"), 1);
}

}  // namespace
