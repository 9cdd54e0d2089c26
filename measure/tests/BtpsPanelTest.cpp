#include "measure/window/Btps.h"

#include "common/MeasureMode.h"
#include "measure/window/BtpsEdit.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"
#include "testing/Artifacts.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

// The strip of the measurement window that holds the panel.
class THost final : public QWidget {
public:
  std::unique_ptr<TBTPS> Panel;
  short Unit = 0;

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (Panel)
      Panel->PutBTPSText(painter, Unit);
  }
};

class BtpsPanel : public ::testing::Test {
protected:
  BtpsPanel() { Texts.SetSink(&Sink); }

  THost& Host(float xScale, float yScale, short unit = 0) {
    HostWidget.resize(static_cast<int>(720 * xScale), static_cast<int>(36 * yScale));
    HostWidget.Unit = unit;
    HostWidget.Panel = std::make_unique<TBTPS>(xScale, yScale, &HostWidget, &Texts, Ini(), unit);
    return HostWidget;
  }
  std::string Ini() const { return (Folder / "Halvetra.ini").string(); }

  TTemporaryFolder Folder;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TRecordingSink Sink;
  THost HostWidget;
};

TEST_F(BtpsPanel, ControlsStandScaledWithTheirIdsAndLimits) {
  for (const auto& [xs, ys] : {std::pair{1.0f, 1.0f}, std::pair{1.6f, 1.28f}}) {
    TBTPS& panel = *Host(xs, ys).Panel;
    EXPECT_EQ(panel.GetSwitch()->objectName(), "5053");
    EXPECT_EQ(panel.GetSwitch()->geometry(),
              QRect(static_cast<int>(490 * xs), static_cast<int>(12 * ys), static_cast<int>(12 * xs),
                    static_cast<int>(12 * ys)));
    EXPECT_EQ(panel.GetTemperatureField()->objectName(), "5052");
    EXPECT_EQ(panel.GetTemperatureField()->geometry(),
              QRect(static_cast<int>(504 * xs), static_cast<int>(8 * ys), static_cast<int>(33 * xs),
                    static_cast<int>(20 * ys)));
    EXPECT_EQ(panel.GetHumidityField()->objectName(), "5051");
    EXPECT_EQ(panel.GetHumidityField()->geometry().x(), static_cast<int>(558 * xs));
    EXPECT_EQ(panel.GetPressureField()->objectName(), "5050");
    EXPECT_EQ(panel.GetPressureField()->geometry().width(), static_cast<int>(42 * xs));
    EXPECT_EQ(panel.GetTemperatureField()->maxLength(), 3);
    EXPECT_EQ(panel.GetHumidityField()->maxLength(), 3);
    EXPECT_EQ(panel.GetPressureField()->maxLength(), 4);
    EXPECT_TRUE(panel.GetTemperatureField()->font().bold());
  }
}

TEST_F(BtpsPanel, PicturesAtTwoScales) {
  std::filesystem::create_directories(Artifacts);
  const struct {
    float X, Y;
    short Unit;
    const char* Name;
  } shots[] = {{1.0f, 1.0f, 0, "btps-panel-800x600.png"}, {1.6f, 1.333f, 1, "btps-panel-1280x800-imperial.png"}};
  for (const auto& shot : shots) {
    THost& host = Host(shot.X, shot.Y, shot.Unit);
    host.Panel->UpdateBTPSData(1, 22, 45, 1013);
    const QImage picture = host.grab().toImage();
    EXPECT_TRUE(picture.save(QString::fromStdString((Artifacts / shot.Name).string())));
    // "BTPS:" is drawn left of the switch: the strip there is no longer plain.
    const QColor back = host.palette().color(QPalette::Window);
    int inked = 0;
    for (int x = static_cast<int>(450 * shot.X); x < static_cast<int>(488 * shot.X); ++x)
      for (int y = static_cast<int>(11 * shot.Y); y < static_cast<int>(24 * shot.Y); ++y)
        inked += picture.pixelColor(x, y) != back;
    EXPECT_GT(inked, 20) << shot.Name;
  }
}

// On a window narrower than it is high (the 800 x 600 layout at factors
// 1 x 1.33, or a 5:4 screen's 1.6 x 1.71) the panel's font follows the
// width: the pressure "1070" shows all four digits rather than "070", and
// "BTPS:" ends before the switch.
TEST_F(BtpsPanel, TextsShowWholeWhenTheWindowIsNarrowerThanHigh) {
  for (const auto& [xs, ys] : {std::pair{1.0f, 1.0f}, std::pair{1.0f, 800.0f / 600.0f}, std::pair{1.6f, 1024.0f / 600.0f},
                               std::pair{2.4f, 1.8f}}) {
    SCOPED_TRACE(std::to_string(xs) + " x " + std::to_string(ys));
    THost& host = Host(xs, ys);
    host.Panel->UpdateBTPSData(1, 22, 45, 1070);
    TBTPS& panel = *host.Panel;
    for (QLineEdit* field : {static_cast<QLineEdit*>(panel.GetTemperatureField()),
                             static_cast<QLineEdit*>(panel.GetHumidityField()),
                             static_cast<QLineEdit*>(panel.GetPressureField())}) {
      // The frame and the edit's own margin take some 3 pixels a side.
      EXPECT_LE(QFontMetrics(field->font()).horizontalAdvance(field->text()), field->width() - 6)
          << field->text().toStdString() << " in " << field->width();
    }
    EXPECT_EQ(panel.GetPressureField()->text(), "1070");

    QImage picture(host.size(), QImage::Format_RGB32);
    const QColor back = host.palette().color(QPalette::Window);
    picture.fill(back);
    {
      QPainter painter(&picture);
      panel.PutBTPSText(painter, 0);
    }
    int inked = 0;
    const QRect underSwitch = panel.GetSwitch()->geometry();
    for (int x = underSwitch.left(); x <= underSwitch.right(); ++x)
      for (int y = static_cast<int>(11 * ys); y < std::min(picture.height(), static_cast<int>(26 * ys)); ++y)
        inked += picture.pixelColor(x, y) != back;
    EXPECT_EQ(inked, 0) << "\"BTPS:\" runs under the switch";
  }
}

TEST_F(BtpsPanel, FieldsAndRecordStayEqualBothWays) {
  TBTPS& panel = *Host(1.0f, 1.0f, 1).Panel;
  panel.UpdateBTPSData(1, 37, 50, 1013);  // metric values, imperial panel
  EXPECT_EQ(panel.GetTemperatureField()->text(), "98");
  EXPECT_EQ(panel.GetHumidityField()->text(), "50");
  EXPECT_EQ(panel.GetPressureField()->text(), "14");
  EXPECT_TRUE(panel.GetSwitch()->isChecked());

  panel.SetUnit(0);
  panel.ConvertBTPSData(0);
  EXPECT_EQ(panel.GetTemperatureField()->text(), "36");
  EXPECT_EQ(panel.GetPressureField()->text(), "965");

  // What the user types is in the record at once, and is what gets stored.
  panel.GetHumidityField()->clear();
  QTest::keyClicks(panel.GetHumidityField(), "6012");  // the field takes three characters
  EXPECT_EQ(FieldText(panel.GetRecord().Humidity), "601");
  panel.GetSwitch()->setChecked(false);
  EXPECT_EQ(panel.GetRecord().Btps, 0);
  ASSERT_TRUE(panel.WriteBTPSConstans());
  EXPECT_EQ(TProfile("BTPS", Ini()).GetInt("HUMIDITY"), 601);

  // Someone changed the record (a loaded test): the fields follow.
  SetFieldText(panel.GetRecord().Temperature, "21");
  panel.SetBTPSData();
  EXPECT_EQ(panel.GetTemperatureField()->text(), "21");
}

TEST_F(BtpsPanel, TypedTextThatIsNoNumberFailsTheFactor) {
  TBTPS& panel = *Host(1.0f, 1.0f).Panel;
  panel.UpdateBTPSData(1, 37, 100, 1013);
  float factor = 0.0f;
  ASSERT_TRUE(panel.CalculatedBTPS(factor, MEASURE_FVC));
  EXPECT_NEAR(factor, 0.9711785, 1e-6);  // 0.8973 + 0.06647 + 0.00591 + 0.0014985

  panel.GetTemperatureField()->clear();
  QTest::keyClicks(panel.GetTemperatureField(), "abc");
  EXPECT_FALSE(panel.CalculatedBTPS(factor, MEASURE_FVC));
  EXPECT_NEAR(factor, 0.9711785, 1e-6);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text, Texts.LoadStringA(11));
}

TEST_F(BtpsPanel, DisablingThePanelSwitchesTheChecksOff) {
  TBTPS& panel = *Host(1.0f, 1.0f).Panel;
  panel.UpdateBTPSData(1, 50, 70, 1050);  // 50 degrees: out of range
  panel.EnableBTPSWindow(false);
  EXPECT_FALSE(panel.GetSwitch()->isEnabled());
  EXPECT_FALSE(panel.GetTemperatureField()->isEnabled());
  float factor = 0.0f;
  ASSERT_TRUE(panel.CalculatedBTPS(factor, MEASURE_DFC));
  EXPECT_NEAR(factor, 0.8973 + 0.00391 * 30, 1e-6);
  panel.EnableBTPSWindow(true);
  EXPECT_FALSE(panel.GetSwitch()->isEnabled()) << "the switch stays disabled";
  EXPECT_TRUE(panel.GetPressureField()->isEnabled());
  EXPECT_FALSE(panel.CalculatedBTPS(factor, MEASURE_DFC));
  EXPECT_TRUE(Sink.Messages.size() == 1u && Sink.Messages[0].Text == Texts.LoadStringA(11));
}

TEST_F(BtpsPanel, ClosingThePanelTakesItsControls) {
  THost& host = Host(1.0f, 1.0f);
  EXPECT_EQ(host.findChildren<QWidget*>().size(), 4);
  host.Panel.reset();
  EXPECT_TRUE(host.findChildren<QWidget*>().isEmpty());
}

}  // namespace
