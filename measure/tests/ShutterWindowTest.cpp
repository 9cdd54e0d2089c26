// The shutter test on the measurement window, offscreen, with the
// simulated shutter head played by the simulator rig on the event loop:
// the crosses and the volume strip during the test, the final curve after
// it, in both layouts and at two zoom levels; pictures in build/artifacts.

#include "measure/report/MeasurePrintout.h"
#include "measure/report/PainterCurves.h"
#include "measure/screen/MeasurePainter.h"
#include "measure/window/Measure.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/PrintCanvas.h"
#include "platform/basekit/ui/PainterSurface.h"
#include "testing/Pictures.h"
#include "testing/RecordingSink.h"
#include "testing/SimulatorRig.h"
#include "testing/TemporaryFolder.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class TShutterWindowQuietClient final : public TEventHandler {
protected:
  TResult DefaultProcessing(unsigned msg, TParam1, TParam2) override { return msg == WM_GET_HELP_MODE ? 0 : 1; }
};

class ShutterWindow : public ::testing::Test {
protected:
  ShutterWindow() {
    Texts.SetSink(&Sink);
    PREDICTED_DATA patient;
    patient.SetName("Shutter");
    patient.Age = 40;
    patient.Height = 175;
    patient.Weight = 75;
    patient.Sex = 1;
    Window = std::make_unique<TMeasure>(1.6f, 1.3333f, MEASURE_SHUTTER, &Texts, (Folder / "Halvetra.ini").string(),
                                        short{0}, patient, nullptr, 1.0f, false, &Client);
    Window->SetupWindow();
    Window->SetMeasureMode(MEASURE_SHUTTER);
    Window->show();
    Rig.Connect(*Window);
    Window->HasInstrument = true;
    Window->InstrumentType = 0;
    Window->CalibrationInterval = 0;
    TSimulatorOptions options;
    options.Capabilities = InstrumentProtocol::CapabilityShutter;
    options.Manoeuvre = "tidal";
    options.StartOnStream = true;
    options.LeadInS = 0.5;
    options.Patient.TidalL = 1.0;
    options.Patient.BreathS = 4.0;
    options.Patient.RawKpaSpL = 0.3;
    Rig.Attach(options);
  }
  ~ShutterWindow() override {
    Rig.StopPump();
    Window.reset();
    Sink.ExpectAllTaken();
  }

  void Play(long steps) {
    const long until = Rig.Steps() + steps;
    Rig.RunEventLoopWhile([&] { return Rig.Steps() < until; }, 10 * steps);
  }

  void Picture(const std::string& name) {
    Window->GetView().RedrawScreenBmp();
    SavePicture(*Window, name);
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TShutterWindowQuietClient Client;
  TSimulatorRig Rig;
  std::unique_ptr<TMeasure> Window;
};

TEST_F(ShutterWindow, CrossesDuringTheTestAndTheCurveAfterIt) {
  Window->ZeroNeeded = false;
  Window->DispatchCommand(CM_START);
  Rig.RunEventLoopWhile([&] { return !Window->IsRunning(); }, 50);  // the deferred start
  ASSERT_TRUE(Window->IsRunning());
  Play(2050);
  Window->DispatchCommand(CM_SHUTTER);
  Play(20 * 40 + 5);
  EXPECT_GE(Window->Shutter.Fitted.size(), 19u);
  SavePicture(*Window, "shutter-during.png");
  Window->DispatchCommand(CM_STOP);
  ASSERT_FALSE(Window->IsRunning());
  EXPECT_NEAR(Window->AktParams[MEASURE_SHUTTER][0][0], 0.3f, 0.03f) << "Raw";
  for (const short zoom : {short{0}, short{3}}) {
    Window->ZoomLevel = zoom;
    Picture("shutter-after-zoom" + std::to_string(zoom) + ".png");
  }
  EXPECT_LE(Window->width(), 1280);
  EXPECT_LE(Window->height(), 800);

  // The printed block of the test as a PDF: the diagram at the scale that
  // holds the curve, drawn by the same painter.
  const std::filesystem::path artifacts = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
  std::filesystem::create_directories(artifacts);
  const std::filesystem::path pdf = artifacts / "shutter-printed-block.pdf";
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    printer.setFullPage(true);
    QPainter painter(&printer);
    const QRect page = painter.viewport();
    painter.setWindow(0, 0, 800, 800 * page.height() / page.width());
    TPainterSurface surface(painter);
    TPrintCanvas canvas(surface, 1.0f, 1.0f);
    canvas.PrintY = 60;
    // A painter of the printout's own, in the printer's colours.
    const TUtil colours(TMeasurePrintout::PrintColours());
    TMeasurePainter measurePainter(*Window, colours, Texts, nullptr);
    TPainterCurves curves(measurePainter);
    curves.CalculatePrintZoom(MEASURE_SHUTTER, false, false);
    curves.DrawAxes(canvas, MEASURE_SHUTTER, false);
    curves.DrawSlot(canvas, MEASURE_SHUTTER, 0, 0, false, true, false);
  }
  EXPECT_GT(std::filesystem::file_size(pdf), 1000u);
}

}  // namespace
