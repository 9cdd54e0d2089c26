#include "trend/Trend.h"
#include "trend/TrendDialogs.h"
#include "trend/TrendExport.h"
#include "trend/tests/TrendFixture.h"

#include "platform/basekit/Message.h"
#include "testing/TemporaryFolder.h"
#include "testing/Artifacts.h"

#include <QComboBox>
#include <QCheckBox>
#include <QListWidget>
#include <QPdfWriter>
#include <QPainter>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

void Save(const QImage& image, const std::string& name) {
  std::filesystem::create_directories(Artifacts);
  EXPECT_TRUE(image.save(QString::fromStdString((Artifacts / name).string())));
}

// The MDI client's side: answers WM_READ_TREND_DATA from a list of
// examinations in time order and records the notices it receives.
class TFakeClient : public TEventHandler {
public:
  TTrend* Window = nullptr;
  std::vector<TExamination> Exams;
  std::vector<std::pair<unsigned, TParam1>> Notices;

  static const TResponseTable& ResponseTable() {
    static constexpr TResponseEntry entries[] = {
      Response::Message<&TFakeClient::EvRead>(WM_READ_TREND_DATA),
      Response::Message<&TFakeClient::EvNotice<WM_NORMREL_CHANGED>>(WM_NORMREL_CHANGED),
      Response::Message<&TFakeClient::EvNotice<WM_PREDICTED_CHANGED>>(WM_PREDICTED_CHANGED),
      Response::Message<&TFakeClient::EvNotice<WM_GRID_CHANGED>>(WM_GRID_CHANGED),
      Response::Message<&TFakeClient::EvNotice<WM_SHOW_CHILD_WINDOW>>(WM_SHOW_CHILD_WINDOW),
      Response::Command<&TFakeClient::CmTrendClosed>(CM_TREND_CLOSED),
    };
    static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
    return table;
  }
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  template <unsigned Id>
  TResult EvNotice(TParam1 w, TParam2) {
    Notices.emplace_back(Id, w);
    return 1;
  }

  void CmTrendClosed() { Notices.emplace_back(WM_COMMAND, CM_TREND_CLOSED); }

  TResult EvRead(TParam1 w, TParam2 l) {
    const auto flags = static_cast<short>(w);
    const TTrendAnswer answer = FindExamination(Exams, flags, reinterpret_cast<const char*>(l));
    if (answer.ReachedEnd)
      ((flags & TrendFlags::Earlier) ? Window->Model().FirstReached : Window->Model().LastReached) = true;
    if (const TExamination* e = answer.Found)
      Window->AddDataToTrendListBox(e->Date.c_str(), e->Time.c_str(), e->Values.data(), e->Predicted.data(),
                                    TrendLine::MarkerOfKind(e->Kind), flags);
    return 1;
  }
};

class TrendWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder.Write("Halvetra.ini", "[Trendanalysis]\nParam1=FVC00\nParam2=FVC02\nParam3=VC00\nParam4=\nParam5=PL04\n");
    patient.SetName("Nagy Eva");
    patient.Age = 52;
    patient.Height = 165;
    patient.Weight = 60;
    Open();
    for (int month = 1; month <= 9; ++month) {
      const float f = 1.0f + 0.04f * static_cast<float>(month % 4);
      client.Exams.push_back({"2024.0" + std::to_string(month) + ".1" + std::to_string(month % 3) + ".", "09:00:00",
                              {3.4f * f, 2.8f / f, 4.1f * f * f, 0, 0.25f / (f * f)}, {3.9f, 3.1f, 4.3f, 0, 0.3f},
                              month == 4 ? 0x10 : month == 6 ? 0x20 : month == 2 ? 0x08 : 0});
    }
  }
  void Open() {
    window = std::make_unique<TTrend>(1.0f, 1.0f, &messages, ini, patient, "YYYY.MM.DD.");
    client.Window = window.get();
    window->SetClient(&client);
    window->show();
  }
  // The browser's first loading of examinations 3 to 7.
  void Load(short filter) {
    for (int i = 2; i < 7; ++i)
      SendMessage(&client, WM_READ_TREND_DATA, static_cast<TParam1>(filter),
                  reinterpret_cast<TParam2>((client.Exams[static_cast<std::size_t>(i)].Date + "@09:00:00").c_str()));
    window->RedrawScreenBmp();
  }
  bool Enabled(unsigned id) {
    TCommandEnabler enabler(id);
    window->DispatchEnable(enabler);
    return enabler.GetEnabled();
  }
  static int CountColour(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 283; y < 456; ++y)
      for (int x = 9; x < 741; ++x)
        n += image.pixelColor(x, y) == colour;
    return n;
  }

  TTemporaryFolder folder;
  std::string ini = (folder / "Halvetra.ini").string();
  TMessage messages{"English", std::filesystem::path(HALVETRA_BINARY_DIR) / "bin" / "lang"};
  PREDICTED_DATA patient;
  TFakeClient client;
  std::unique_ptr<TTrend> window;
};

TEST_F(TrendWindowTest, FilterDecidesWhichExaminationsEnterAndEveryModeIsDrawn) {
  Load(0);
  EXPECT_EQ(window->ListBox()->count(), 3);  // the provoked and lysis ones stay out
  Open();
  Load(TrendFlags::IncludeProvoked | TrendFlags::IncludeLysis);
  ASSERT_EQ(window->ListBox()->count(), 5);
  EXPECT_EQ(window->ListBox()->item(1)->text().toStdString().back(), 'P');
  EXPECT_EQ(window->ListBox()->item(3)->text().toStdString().back(), 'O');

  const QColor firstCurve = window->GetColors().Curves[0];
  Save(window->grab().toImage(), "trend-absolute.png");
  EXPECT_GT(CountColour(window->ScreenBmp(), firstCurve), 100);
  for (const char* name : {"trend-zoom2.png", "trend-zoom5.png"}) {
    window->DispatchCommand(CM_ZOOM);
    Save(window->grab().toImage(), name);
  }
  window->DispatchCommand(CM_ZOOM);
  EXPECT_EQ(window->Model().Zoom, 0);

  window->DispatchCommand(CM_NORMREL);
  Save(window->grab().toImage(), "trend-relative.png");
  EXPECT_EQ(CountColour(window->ScreenBmp(), firstCurve), 0);  // no curves in relative mode
  EXPECT_FALSE(Enabled(CM_GRID));
  window->DispatchCommand(CM_NORMREL);
  window->DispatchCommand(CM_PREDICTED);
  Save(window->grab().toImage(), "trend-predicted.png");
  EXPECT_FALSE(Enabled(CM_NORMREL));
  EXPECT_TRUE(Enabled(CM_ZOOM));
  const std::vector<std::pair<unsigned, TParam1>> notices = {
    {WM_NORMREL_CHANGED, 1}, {WM_NORMREL_CHANGED, 0}, {WM_PREDICTED_CHANGED, 1}};
  EXPECT_EQ(client.Notices, notices);

  // The tool-bar buttons' plain messages toggle without telling the client.
  SendMessage(window.get(), CM_PREDICTED);
  EXPECT_FALSE(window->Model().Predicted());
  EXPECT_EQ(client.Notices.size(), 3u);
}

// The page takes the settings' colour set: the plot background and the
// first curve drawn in the colours configured for them.
TEST_F(TrendWindowTest, CurvesAndBackgroundTakeTheConfiguredColours) {
  folder.Write("Halvetra.ini", "[Trendanalysis]\nParam1=FVC00\n[Colors]\nColor0=250,250,240\nColor4=10,200,30\n");
  Open();
  Load(0);
  EXPECT_EQ(window->GetColors().Curves[0], QColor(10, 200, 30));
  EXPECT_GT(CountColour(window->ScreenBmp(), QColor(10, 200, 30)), 100);
  EXPECT_GT(CountColour(window->ScreenBmp(), QColor(250, 250, 240)), 10000);
}

TEST_F(TrendWindowTest, WalkingAndDeletingThroughTheWindowsCommands) {
  Load(0);
  EXPECT_TRUE(Enabled(CM_LEFT_PRE));
  while (Enabled(CM_LEFT_PRE))
    window->DispatchCommand(CM_LEFT_PRE);
  EXPECT_EQ(window->ListBox()->item(0)->text().left(11), "2024.01.11.");
  while (Enabled(CM_RIGHT_NEXT))
    window->DispatchCommand(CM_RIGHT_NEXT);
  EXPECT_EQ(window->ListBox()->count(), 7);  // months 1, 2, 3, 5, 7, 8, 9

  window->ListBox()->setCurrentRow(2);
  window->ListBox()->setFocus();
  QTest::keyClick(window->ListBox(), Qt::Key_Delete);
  EXPECT_EQ(window->ListBox()->count(), 6);

  window->DispatchCommand(CM_GRID);
  EXPECT_EQ(window->GetGridStatus(), 0);
  EXPECT_EQ(client.Notices.back(), (std::pair<unsigned, TParam1>{WM_GRID_CHANGED, 0}));
  Save(window->grab().toImage(), "trend-walked-no-grid.png");

  EXPECT_TRUE(window->CanClose());
  EXPECT_EQ(client.Notices.back(), (std::pair<unsigned, TParam1>{WM_COMMAND, CM_TREND_CLOSED}));
}

TEST_F(TrendWindowTest, AHeaderClickChoosesTheColumnsParameter) {
  Load(0);
  short offered = 0;
  window->RunParamDialog = [&](short& slot) {
    offered = slot;
    slot = 405;
    return true;
  };
  QTest::mouseMove(window.get(), QPoint(240, 80));
  QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(240, 80));
  EXPECT_EQ(offered, 0);
  EXPECT_EQ(window->Model().Params[0], 405);
  EXPECT_EQ(client.Notices.back(), (std::pair<unsigned, TParam1>{WM_SHOW_CHILD_WINDOW, 3}));
  window.reset();
  EXPECT_NE(TTemporaryFolder::Read(folder / "Halvetra.ini").find("Param1=PL05"), std::string::npos);
}

TEST_F(TrendWindowTest, TheHeaderClickOpensTheParameterDialog) {
  Load(0);
  int offered = -1;
  // The window's own dialog runs; once its loop runs, choose SH00 and press OK.
  window->RunParamDialog = [&offered, run = window->RunParamDialog](short& slot) {
    QTimer::singleShot(0, [&offered] {
      for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = dynamic_cast<TTrendParam*>(widget); dialog && dialog->isVisible()) {
          offered = dialog->ComboBox()->currentIndex();
          dialog->ComboBox()->setCurrentIndex(59);
          dialog->accept();
        }
    });
    return run(slot);
  };
  QTest::mouseMove(window.get(), QPoint(650, 80));
  QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(650, 80));
  EXPECT_EQ(offered, 44);  // PL04 (Raw): items 40 to 58 are PL00 to PL18
  EXPECT_EQ(window->Model().Params[4], 500);
}

TEST_F(TrendWindowTest, AnEmptyTrendHasItsCommandsClosed) {
  window->RedrawScreenBmp();
  for (const unsigned id : {CM_NEW_REF, CM_NORMREL, CM_PREDICTED, CM_LEFT_PRE, CM_RIGHT_NEXT, CM_LEFT_NEXT})
    EXPECT_FALSE(Enabled(id)) << id;
  Save(window->grab().toImage(), "trend-empty.png");
}

TEST_F(TrendWindowTest, PrintsFortyFiveLinesOverTwoPagesToPdf) {
  for (int i = 0; i < 45; ++i) {
    char date[32];
    std::snprintf(date, sizeof date, "20%02d.%02d.01.", 10 + i / 12, 1 + i % 12);
    const float v[5] = {3.0f + 0.02f * static_cast<float>(i % 7), 2.5f, 4.0f - 0.01f * static_cast<float>(i), 0, 0.3f};
    window->AddDataToTrendListBox(date, "10:00:00", v, v, i % 9 == 0 ? 'P' : ' ', 0);
  }
  const std::filesystem::path pdf = Artifacts / "trend-print.pdf";
  std::filesystem::create_directories(Artifacts);
  QPdfWriter writer(QString::fromStdString(pdf.string()));
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setResolution(96);
  QPainter painter(&writer);
  const double scale = painter.viewport().width() / 800.0;
  const auto pageBottom = static_cast<short>(painter.viewport().height() / scale);
  // Below a report header of 400 the first page holds (bottom − 480) / 18
  // rows; the rest, the legend and the graph go to page 2.
  const int height = window->CalculateTrendHeight(pageBottom, 400, 40, false);
  ASSERT_EQ(window->GetPageCount(), 2);
  EXPECT_EQ(window->GetGraphPage(), 2);
  const int firstPageRows = (pageBottom - 480) / 18;
  ASSERT_LT(firstPageRows, 45);
  EXPECT_EQ(height, pageBottom + 40 + 80 + 18 * (45 - firstPageRows) + TrendPrint::PenDemoHeight(4) + 160);
  for (short page = 1; page <= window->GetPageCount(); ++page) {
    if (page > 1)
      writer.newPage();
    painter.save();
    painter.scale(scale, scale);
    window->PrintTrend(painter, page);
    painter.restore();
  }
  painter.end();
  EXPECT_GT(std::filesystem::file_size(pdf), 5000u);

  // The same pages as pictures.
  for (short page = 1; page <= 2; ++page) {
    QImage image(800, pageBottom, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    window->PrintTrend(p, page);
    p.end();
    Save(image, "trend-print-page" + std::to_string(page) + ".png");
    // Every page's table starts with a shaded row.
    const int firstRowTop = page == 1 ? 480 : 120;
    EXPECT_EQ(image.pixelColor(60, firstRowTop + 2), QColor(0xDF, 0xDF, 0xDF)) << page;
    EXPECT_EQ(image.pixelColor(60, firstRowTop + 18 + 2), QColor(Qt::white)) << page;
  }
}

// On a page of a taller screen's factors (1280 x 1024: 1.6 and 1.71) the
// print-out is scaled like the page header above it: the table, its
// reference line first, starts below the header's 128 units, and nothing
// of the trend lies over the header.
TEST_F(TrendWindowTest, PrintoutStartsBelowThePageHeaderAtTheScreenFactors) {
  const float fx = 1.6f, fy = 1024.0f / 600.0f;
  window = std::make_unique<TTrend>(fx, fy, &messages, ini, patient, "YYYY.MM.DD.");
  client.Window = window.get();
  window->SetClient(&client);
  Load(0);
  ASSERT_TRUE(window->Model().ReferenceTaken());
  constexpr int header = 128;
  constexpr short pageBottom = 1000;
  window->CalculateTrendHeight(pageBottom, header, 64, false);
  ASSERT_EQ(window->GetPageCount(), 1);
  QImage page(static_cast<int>(800 * fx), static_cast<int>(pageBottom * fy), QImage::Format_RGB32);
  page.fill(Qt::white);
  {
    QPainter painter(&page);
    window->PrintTrend(painter, 1);
  }
  Save(page, "trend-print-screen-factors.png");
  const int headerBottom = static_cast<int>(header * fy);
  const auto inked = [&](int top, int bottom, int left, int right) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        n += page.pixelColor(x, y) != QColor(Qt::white);
    return n;
  };
  EXPECT_EQ(inked(0, headerBottom - 1, 0, page.width()), 0) << "the trend prints over the header";
  // The reference line's date in the upper half of the table's header,
  // between the left rule (51) and the first column bound (232).
  EXPECT_GT(inked(headerBottom + 2, static_cast<int>((header + 40) * fy) - 2, static_cast<int>(55 * fx),
                  static_cast<int>(228 * fx)),
            20);
}

TEST(TrendDialogsTest, ParameterDialogSelectsAndWritesTheSlot) {
  const TMessage messages{"English", std::filesystem::path(HALVETRA_BINARY_DIR) / "bin" / "lang"};
  short slot = 502;
  TTrendParam dialog(&messages, &slot);
  EXPECT_EQ(dialog.ComboBox()->count(), 64);
  EXPECT_EQ(dialog.ComboBox()->currentIndex(), 61);
  dialog.show();
  Save(dialog.grab().toImage(), "trend-param-dialog.png");
  dialog.ComboBox()->setCurrentIndex(20);
  dialog.reject();
  EXPECT_EQ(slot, 502);
  dialog.ComboBox()->setCurrentIndex(20);
  dialog.accept();
  EXPECT_EQ(slot, 100);

  short empty = -1;
  TTrendParam second(&messages, &empty);
  EXPECT_EQ(second.ComboBox()->currentIndex(), 0);
  // Units end in one column: 30 characters on an 800-pixel screen.
  EXPECT_EQ(TTrendParam::ItemText("FVC", "[L]", 800), "FVC" + std::string(24, ' ') + "[L]");
  EXPECT_EQ(TTrendParam::ItemText("MVV*f", "[1/min]", 800).size(), 30u);
}

TEST(TrendDialogsTest, FilterDialogGivesBothFlagsOnOkOnly) {
  const TMessage messages{"English", std::filesystem::path(HALVETRA_BINARY_DIR) / "bin" / "lang"};
  bool provoked = true, lysis = true;
  TTrendFilter dialog(&messages, &provoked, &lysis);
  EXPECT_FALSE(dialog.ProvokedBox()->isChecked());
  dialog.show();
  Save(dialog.grab().toImage(), "trend-filter-dialog.png");
  dialog.reject();
  EXPECT_TRUE(provoked && lysis);
  dialog.ProvokedBox()->setChecked(true);
  dialog.accept();
  EXPECT_TRUE(provoked);
  EXPECT_FALSE(lysis);
}

}  // namespace
