#include "measure/window/ParamListView.h"

#include "common/CommandNumbers.h"
#include "common/MeasureMode.h"
#include "measure/results/ParamList.h"
#include "testing/TemporaryFolder.h"
#include "testing/Artifacts.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

namespace {

class TFakeWindow : public TEventHandler {
public:
  std::vector<unsigned> Commands;

protected:
  TResult DefaultProcessing(unsigned msg, TParam1 wParam, TParam2) override {
    if (msg == WM_COMMAND)
      Commands.push_back(CommandId(wParam));
    return 0;
  }
};

void Send(QWidget* target, QEvent::Type type, QPoint at) {
  QMouseEvent event(type, at, target->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                    type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

class ParamListView : public ::testing::Test {
protected:
  ParamListView() : List((Folder / "Halvetra.ini").string(), 0, &Window, MEASURE_FVC, 1.0f), View(List, nullptr) {
    View.resize(560, 260);
  }

  // An FVC result: FVC, FEV1, FEV1/FVC and PEF in three trials, the pre result in the fourth.
  void FillFvc(bool prePost) {
    std::array<float, 4 * FVC_PARAMETER_COUNT> actual{};
    const auto set = [&actual](int trial, int i, float v) {
      actual[static_cast<std::size_t>((trial - 1) * FVC_PARAMETER_COUNT + i)] = v;
    };
    const float values[3][4] = {{4.52f, 3.71f, 82.0f, 8.9f}, {4.48f, 3.66f, 81.7f, 8.6f}, {4.31f, 3.52f, 81.6f, 8.1f}};
    const int params[4] = {0, 2, 6, 7};
    for (int t = 0; t < 3; ++t)
      for (int p = 0; p < 4; ++p)
        set(t + 1, params[p], values[t][p]);
    const float pre[4] = {4.02f, 3.01f, 74.9f, 7.2f};
    for (int p = 0; p < 4; ++p)
      set(4, params[p], pre[p]);
    std::array<float, FVC_PARAMETER_COUNT> reference{};
    std::array<float, FVC_PARAMETER_COUNT> rsd{};
    reference[0] = 4.86f, reference[2] = 3.95f, reference[6] = 80.6f, reference[7] = 8.9f;
    rsd[0] = 0.61f, rsd[2] = 0.51f, rsd[6] = 7.2f, rsd[7] = 1.21f;
    std::array<unsigned, FVC_PARAMETER_COUNT> selected{};
    for (const int p : params)
      selected[static_cast<std::size_t>(p)] = 1;
    const std::array<short, 3> trials{1, 2, 3};
    if (prePost)
      List.FillPrePostParamList(actual, reference, reference, FvcParameterNames, FVC_PARAMETER_COUNT, trials,
                                MEASURE_FVC, selected);
    else
      List.FillParamList(actual, reference, rsd, FvcParameterNames, FVC_PARAMETER_COUNT, trials, MEASURE_FVC,
                         selected, true, 0.11f);
  }

  TTemporaryFolder Folder;
  TFakeWindow Window;
  TParamList List;
  TParamListView View;
};

TEST_F(ParamListView, ShowsTheLinesInBoldLiberationMono) {
  FillFvc(false);
  ASSERT_EQ(View.count(), 5);
  EXPECT_EQ(View.item(0)->text().toStdString(), List.GetLines()[0]);
  EXPECT_EQ(View.item(4)->text().left(4), "Vext");
  EXPECT_EQ(View.objectName(), "5060");
  EXPECT_EQ(View.font().family(), "Liberation Mono");
  EXPECT_TRUE(View.font().bold());
  EXPECT_EQ(View.font().pointSize(), 11);
  std::filesystem::create_directories(Artifacts);
  EXPECT_TRUE(View.grab().save(QString::fromStdString((Artifacts / "param-list-fvc.png").string())));

  FillFvc(true);
  ASSERT_EQ(View.count(), 4);
  // FVC: 4.52 / 4.86 = 93.0 % now, 4.02 / 4.86 = 82.7 % before: (93.0 - 82.7) / 82.7 = +12 %
  EXPECT_TRUE(View.item(0)->text().endsWith(" +12%")) << View.item(0)->text().toStdString();
  EXPECT_TRUE(View.grab().save(QString::fromStdString((Artifacts / "param-list-prepost.png").string())));

  List.ChangeFont(MEASURE_CALIBRATION);
  EXPECT_EQ(View.font().pointSize(), 10);
}

TEST_F(ParamListView, ZoomCursorWhileHoveringAndAClickZooms) {
  FillFvc(false);
  View.show();
  QWidget* area = View.viewport();
  Send(area, QEvent::MouseMove, QPoint(200, 100));
  EXPECT_EQ(area->cursor().shape(), Qt::BitmapCursor);
  Send(area, QEvent::MouseButtonPress, QPoint(200, 100));
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(Window.Commands, std::vector<unsigned>{CM_ZOOM_TABLE});
  Send(area, QEvent::MouseMove, QPoint(450, 100));
  EXPECT_EQ(area->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
