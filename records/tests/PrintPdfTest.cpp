// A test printed for real: an evaluated FVC trial with its predicted
// values, a patient, doctor, institute and note, printed without a dialog
// into a PDF that poppler's tools read back, and the same page drawn in a
// picture to find the curves in their graphs.

#include "measure/report/MeasurePrintout.h"
#include "measure/report/TestPrintout.h"
#include "measure/tests/MeasureCoreFixture.h"
#include "platform/basekit/CLocaleFormat.h"
#include "platform/portkit/spirometry/CurveSteps.h"
#include "platform/portkit/spirometry/tests/Waveforms.h"
#include "platform/portkit/spirometry/tests/WindowPipeline.h"
#include "predicted/Predicted.h"
#include "records/window/OwnPrinter.h"
#include "records/window/OwnPrinterAbortDlg.h"
#include "testing/PdfText.h"
#include "testing/Pictures.h"

#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iostream>
#include <numbers>
#include <sstream>

using namespace spirometry::testing;

namespace {

std::filesystem::path Artifacts() {
  const std::filesystem::path folder = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
  std::filesystem::create_directories(folder);
  return folder;
}

std::string Trimmed(std::string text) {
  text.erase(0, text.find_first_not_of(' '));
  return text;
}

class PrintPdfTest : public MeasureCoreTest {
protected:
  PrintPdfTest() : Predicted("", 0, 1.0f), Printed(Core, Texts) {
    std::strcpy(Patient.Name, "Kovacs Anna");
    std::strcpy(Patient.Id, "196512240017");
    Patient.Age = 60;
    Patient.Height = 168;
    Patient.Weight = 64;
    Patient.Sex = 0;
    Core.SetDateFormatStr("YYYY.MM.DD.");
    Core.SetTimeFormatStr("HH:MM:SS");
  }

  // The calibration rows of a diffusion unit: a 3-L syringe, its factors
  // and the two gases.
  void DiffusionUnitCalibrationRows() {
  Core.InstrumentType = 0x70;
  Core.SyringeVolume = 3;
  Core.InspFactor = 0.97f;
  Core.ExpFactor = 1.04f;
  Core.InspGasFactor = 0.9f;
  Core.SyringeStrokeVolumes = {3.03f, 2.97f, 3.03f, 2.97f};
  Core.CoConstans = 0.97f;
  Core.HeConstans = 1.02f;
  Core.MeasuredCo = 0.29f;
  Core.MeasuredHe = 4.9f;
  }

  // Prints the calibration page into `name`.pdf and paints it into
  // CalibrationPageImage (saved as `name`.png; empty unless the page is
  // one); gives the PDF's text.
  std::string PrintCalibrationPage(const std::string& name) {
    TTestPrintout& printout = Printed.Test();
    auto header = std::make_unique<TPrintHeader>(&Texts, 1.25f, 1.25f, Ini.string(), Patient);
    header->PrintDate = [] { return std::string("2026.12.10."); };
    TPrintManager manager(Texts, std::move(header), TPrintManager::TKind::Calibration);
    manager.Test = &printout;
    TApxPrintout apx(manager, "Halvetra");
    TOwnPrinter printer(Texts);
    const std::filesystem::path pdf = Artifacts() / (name + ".pdf");
    if (!printer.PrintToFile(apx, pdf))
      return {};
    const QRect page(0, 0, 1000, 1414);
    QImage image(page.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      const short pages = apx.BeginPrinting(painter, page);
      if (pages == 1)
        apx.PrintPage(painter, page, 1, pages);
      else
        image = QImage();
    }
    if (!image.isNull())
      image.save(QString::fromStdString((Artifacts() / (name + ".png")).string()));
    CalibrationPageImage = image;
    return Poppler("pdftotext", pdf, {"-layout"});
  }

  QImage CalibrationPageImage;

  // An FVC blast recorded in slot 0 and evaluated by the core.
  void RecordFvc() {
    Waveform w(3.0);
    w.Breathe(3, 0.5, 4.0).GlideTo(5.5, 2.0).Pause(0.4);
    w.Expire({0, 0, 0.08, 9.0, 0.5, 6}).Inspire({0, 0, 0.12, 6.0, 0.7, 4});
    w.Breathe(2, 0.5, 3.8);
    const std::vector<float> flow = StoredSamples(Quantise(w.Sample(0.0)), MEASURE_FVC);
    Core.SetMeasureMode(MEASURE_FVC);
    Core.TrialIndex = 0;
    ASSERT_TRUE(Core.AllocateSpiroBuffer(0, MEASURE_FVC, true));
    std::copy(flow.begin(), flow.end(), Core.Flow[0].begin());
    Core.SampleCount[MEASURE_FVC][0] = static_cast<short>(flow.size());
    spirometry::IntegrateWithExtremes(std::span<const float>(flow.data(), flow.size()),
                                      std::span<float>(Core.Volume[0]).first(flow.size()), Core.Extremes);
    Client.Answers = {0};
    Core.CurveMove();
    Client.Answers.clear();
    Core.TrialOrder = {1, 0, 0};
    Predicted.CalculateFvcPredicted(Patient, Core.GetRefBuffer(MEASURE_FVC, 0), Core.GetRsdBuffer(MEASURE_FVC));
    Core.SetPredicted(&Predicted);
    Core.SetMeasureDate(MEASURE_FVC, 0, 2026, 12, 10);
    Core.SetMeasureTime(MEASURE_FVC, 0, 9, 30, 0);
  }

  std::unique_ptr<TPrintManager> Manager(TTestPrintout& printout) {
    auto header = std::make_unique<TPrintHeader>(&Texts, 1.25f, 1.25f, Ini.string(), Patient);
    header->Author = {"Dr. Szabo Peter", "Pulmonology Laboratory", "12 Lung Street, Budapest"};
    header->Algorithm1 = "ECCS";
    header->PrintDate = [] { return std::string("2026.12.10."); };
    printout.PrintSelection = header->Selection;
    auto manager = std::make_unique<TPrintManager>(Texts, std::move(header), TPrintManager::TKind::Measurement);
    manager->Test = &printout;
    return manager;
  }

  TPredicted Predicted;
  TMeasurePrintout Printed;
  PREDICTED_DATA Patient{};
};

TEST_F(PrintPdfTest, FvcTestOnOnePageWithEveryShownValue) {
  RecordFvc();
  TTestPrintout& printout = Printed.Test();
  printout.Notes.Current = "Good cooperation, repeatable.";
  auto manager = Manager(printout);
  TApxPrintout apx(*manager, "Halvetra");
  TOwnPrinter printer(Texts);
  const std::filesystem::path pdf = Artifacts() / "fvc-printout.pdf";
  std::filesystem::remove(pdf);

  QElapsedTimer timer;
  timer.start();
  ASSERT_TRUE(printer.PrintToFile(apx, pdf));
  const qint64 elapsed = timer.elapsed();
  std::cout << "[ figure ] one FVC printout to PDF: " << elapsed << " ms\n";
  EXPECT_LT(elapsed, 1000);
  EXPECT_FALSE(std::filesystem::exists(pdf.string() + ".part"));

  const std::string info = Poppler("pdfinfo", pdf);
  EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
  const std::string text = Poppler("pdftotext", pdf, {"-layout"});
  for (const char* expected : {"Kovacs Anna", "196512240017", "Pulmonology Laboratory", "Dr. Szabo Peter", "ECCS",
                               "Lung function test", "FVC", "FEV*1,0", "Good cooperation,", "repeatable."})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;

  // Every shown FVC parameter with its value, predicted value and percent
  // as the core holds them, in the formats of the printed table.
  const float* actual = Core.GetAktBuffer(MEASURE_FVC, 0);
  const float* predicted = Core.GetRefBuffer(MEASURE_FVC, 0);
  const unsigned* shown = Core.GetParamStruct(MEASURE_FVC);
  const auto names = TMeasureCore::GetParamStr(MEASURE_FVC);
  int checked = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (shown[i] == 0)
      continue;
    const std::string line = LineOf(text, std::string(names[i]));
    ASSERT_FALSE(line.empty()) << names[i] << "\n" << text;
    const char* format = (i >= 3 && i <= 6) ? "%.0f" : "%.2f";
    EXPECT_NE(line.find(CLocale::Format(format, static_cast<double>(actual[i]))), std::string::npos)
        << names[i] << ": " << line;
    if (predicted[i] != 0.0f) {
      EXPECT_NE(line.find(CLocale::Format(format, static_cast<double>(predicted[i]))), std::string::npos) << line;
      const double percent = static_cast<double>(actual[i]) / static_cast<double>(predicted[i]) * 100.0;
      EXPECT_NE(line.find(" " + Trimmed(CLocale::Format("%3.0f", percent)) + " "), std::string::npos)
          << names[i] << " " << percent << ": " << line;
    }
    ++checked;
  }
  EXPECT_GE(checked, 3);
  EXPECT_NE(LineOf(text, "FEV*1,0"), "");

  // The same page in a picture: the first curve's pen inside both graphs.
  const QRect page(0, 0, 1000, 1414);
  QImage image(page.size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    const short pages = apx.BeginPrinting(painter, page);
    ASSERT_EQ(pages, 1);
    apx.PrintPage(painter, page, 1, pages);
  }
  image.save(QString::fromStdString((Artifacts() / "fvc-printout.png").string()));
  const int graphTop = printout.TextHeight + TPrintHeader::HeaderHeight + 40;
  const auto penPixels = [&](const TRect& r) {
    int found = 0;
    for (int y = static_cast<int>(r.Top * 1.25f); y < static_cast<int>(r.Bottom * 1.25f); ++y)
      for (int x = static_cast<int>(r.Left * 1.25f); x < static_cast<int>(r.Right * 1.25f); ++x)
        found += image.pixel(x, y) == qRgb(0, 0, 255) ? 1 : 0;
    return found;
  };
  // The FVC block (376 units) holds the flow-volume loop and, beside it,
  // the volume-time curve: the first curve's pen in each half.
  EXPECT_GT(penPixels(TRect{71, graphTop, 376, graphTop + 376}), 50);
  EXPECT_GT(penPixels(TRect{396, graphTop, 741, graphTop + 376}), 50);
}

TEST_F(PrintPdfTest, FourKindsTakeTwoPages) {
  RecordFvc();
  // VC, MVV and diffusion results beside the FVC: their tables and graphs.
  Core.GetAktBuffer(MEASURE_VC, 0)[0] = 4.6f;
  Core.GetAktBuffer(MEASURE_MVV, 0)[0] = 120.0f;
  Core.GetAktBuffer(MEASURE_DFC, 0)[0] = 6.1f;
  TTestPrintout& printout = Printed.Test();
  printout.ExtraTests = 1;  // a diffusion unit is installed
  auto manager = Manager(printout);
  TApxPrintout apx(*manager, "Halvetra");
  TOwnPrinter printer(Texts);
  const std::filesystem::path pdf = Artifacts() / "four-kinds-printout.pdf";
  ASSERT_TRUE(printer.PrintToFile(apx, pdf));
  EXPECT_FALSE(printout.FvcBesideVolume);
  EXPECT_EQ(printout.PageCount, 2);
  // Page 1 holds 1131 units: header 128, title 30, tables 4 x 5 + 39 x 11,
  // 40 above the graphs: the FVC block (336) fits from 647, FVC with all
  // three volume graphs (536) does not, so the diffusion graph goes on.
  EXPECT_EQ(printout.BlockPage[ReportLayout::Fvc], 1);
  EXPECT_EQ(printout.BlockPage[ReportLayout::Dfc], 2);
  EXPECT_EQ(printout.GraphHeight1, 336);
  EXPECT_EQ(printout.GraphHeight2, 140);
  EXPECT_NE(Poppler("pdfinfo", pdf).find("Pages:           2"), std::string::npos);
  const std::string text = Poppler("pdftotext", pdf, {"-layout"});
  for (const char* expected : {"1/2", "2/2", "IVC", "MVV*f", "Tlco", "Flow-volume curve", "Vital capacity",
                               "Maximal voluntary ventilation", "Diffusion capacity"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  // The page break: tables and the first graphs on page 1, the diffusion
  // graph after the small header of page 2.
  const std::size_t pageBreak = text.find('\f');
  ASSERT_NE(pageBreak, std::string::npos);
  EXPECT_LT(text.find("Tlco"), pageBreak);
  EXPECT_LT(text.find("Flow-volume curve"), pageBreak);
  EXPECT_GT(text.find("Diffusion capacity"), pageBreak);
}

TEST_F(PrintPdfTest, AFolderThatCannotBeWrittenGivesAMessageAndNoFile) {
  RecordFvc();
  TTestPrintout& printout = Printed.Test();
  auto manager = Manager(printout);
  TApxPrintout apx(*manager, "Halvetra");
  TOwnPrinter printer(Texts);
  const std::filesystem::path pdf = Folder / "missing" / "out.pdf";
  EXPECT_FALSE(printer.PrintToFile(apx, pdf));
  EXPECT_EQ(printer.LastError(), TOwnPrinter::TError::General);
  EXPECT_TRUE(Sink.Take("Halvetra was not printed completely: " + Texts.LoadStringA(198)));
  EXPECT_FALSE(std::filesystem::exists(pdf));
  // The reasons by the job's error codes.
  EXPECT_EQ(TOwnPrinter::ErrorText(TOwnPrinter::TError::OutOfMemory), 194);
  EXPECT_EQ(TOwnPrinter::ErrorText(TOwnPrinter::TError::OutOfDisk), 195);
  EXPECT_EQ(TOwnPrinter::ErrorText(TOwnPrinter::TError::AppAbort), 196);
  EXPECT_EQ(TOwnPrinter::ErrorText(TOwnPrinter::TError::UserAbort), 197);
  EXPECT_EQ(TOwnPrinter::ErrorText(TOwnPrinter::TError::General), 198);
}

class NotePrintTest : public PrintPdfTest {
protected:
  NotePrintTest() {
    std::string note;
    for (int i = 0; i < 100; ++i)
      note += "Note line " + std::to_string(i) + "\n";
    auto header = std::make_unique<TPrintHeader>(&Texts, 1.25f, 1.25f, Ini.string(), Patient);
    Note = std::make_unique<TPrintManager>(Texts, std::move(header), TPrintManager::TKind::NoteOnly, note);
    Printout = std::make_unique<TApxPrintout>(*Note, "Halvetra");
  }
  std::unique_ptr<TPrintManager> Note;
  std::unique_ptr<TApxPrintout> Printout;
};

TEST_F(NotePrintTest, ANoteAloneOnTwoPages) {
  TOwnPrinter printer(Texts);
  printer.ShowAbortDialog = false;
  const std::filesystem::path pdf = Artifacts() / "note-printout.pdf";
  printer.Printer().setOutputFileName(QString::fromStdString(pdf.string()));
  ASSERT_TRUE(printer.Print(nullptr, *Printout, false));
  EXPECT_NE(Poppler("pdfinfo", pdf).find("Pages:           2"), std::string::npos);
  const std::string text = Poppler("pdftotext", pdf, {"-layout"});
  EXPECT_NE(text.find("Note line 0"), std::string::npos);
  EXPECT_NE(text.find("Note line 99"), std::string::npos);
  EXPECT_NE(text.find("2/2"), std::string::npos);
}

TEST_F(NotePrintTest, AbortDialogCountsPagesAndCancelStopsAfterThePageInHand) {
  TOwnPrinter printer(Texts);
  const std::filesystem::path pdf = Folder / "cancelled.pdf";
  printer.Printer().setOutputFileName(QString::fromStdString(pdf.string()));
  std::vector<short> done;
  printer.PageDone = [&](short page, short last) {
    done.push_back(page);
    TOwnPrinterAbortDlg* dialog = printer.AbortDialog();
    EXPECT_NE(dialog, nullptr);
    if (dialog == nullptr)
      return true;
    EXPECT_EQ(dialog->PageLine()->text().toStdString(), "Page " + std::to_string(page));
    EXPECT_EQ(dialog->LastPageLine()->text().toStdString(), "/ " + std::to_string(last));
    SavePicture(*dialog, "print-abort-dialog.png");
    dialog->CancelButton()->click();
    EXPECT_FALSE(dialog->CancelButton()->isEnabled());
    return true;
  };
  EXPECT_FALSE(printer.Print(nullptr, *Printout, false));
  EXPECT_EQ(done, (std::vector<short>{1}));
  EXPECT_EQ(printer.LastError(), TOwnPrinter::TError::UserAbort);
  EXPECT_TRUE(Sink.Take("Halvetra was not printed completely: " + Texts.LoadStringA(197)));
  EXPECT_FALSE(std::filesystem::exists(pdf));
  EXPECT_EQ(printer.AbortDialog(), nullptr);
}

TEST_F(NotePrintTest, GaugeStepsAndValues) {
  TOwnPrinterAbortDlg dialog(Texts, nullptr, "Halvetra", "", "out.pdf");
  dialog.PrintProgress(0);
  dialog.PrintProgress(0);
  EXPECT_EQ(dialog.Gauge()->value(), 1 + 2 * TOwnPrinterAbortDlg::GaugeStep);
  dialog.PrintProgress(100);
  EXPECT_EQ(dialog.Gauge()->value(), 100);
  dialog.PrintProgress(0);
  EXPECT_EQ(dialog.Gauge()->value(), 100);
  dialog.SetNumber(TOwnPrinterAbortDlg::PageId, 0);
  EXPECT_TRUE(dialog.PageLine()->isHidden()) << "no page yet";
}

TEST_F(PrintPdfTest, CalibrationPageOfADiffusionUnit) {
  DiffusionUnitCalibrationRows();
  Core.FleischPressureLoss = 4;
  Core.BalloonPressureLoss = 7;
  const std::string text = PrintCalibrationPage("calibration-printout");
  // The rows as they stand: 3 L over the constant 0.97 is 3030 ml, +1.0 %.
  for (const char* expected : {"3000 ml", "3030 ml", "1.0 %", "2970 ml", "-1.0 %", "0.29 %", "0.28 %", "5.00 %"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  EXPECT_NE(text.find(Texts.LoadStringA(442)), std::string::npos);
  EXPECT_EQ(CalibrationPageImage.height(), 1414) << "one page";
}

// The diffusion unit's calibration page with what it measured: the
// syringe strokes as a loop and against time, and the two line pressures,
// each graph with its curve and none with the missing-curve line.
TEST_F(PrintPdfTest, CalibrationPageWithItsCurves) {
  DiffusionUnitCalibrationRows();
  // Eight strokes of 3 L, each a half sine of 1 s, in and out in turn.
  Core.CalFlow.assign(TMeasureData::CurveBufferSamples, 0.0f);
  Core.CalVolume.assign(TMeasureData::CurveBufferSamples, 0.0f);
  for (std::size_t n = 0; n < 800; ++n)
    Core.CalFlow[n] = static_cast<float>(((n / 100) % 2 == 0 ? -1.5 : 1.5) * std::numbers::pi *
                                         std::sin(std::numbers::pi * (static_cast<double>(n % 100) + 0.5) / 100.0));
  Core.SampleCount[MEASURE_CALIBRATION][0] = 800;
  // The Fleisch line pumped to 1000 Pa in 2 s, the balloon line to 800 Pa
  // in 1.5 s, each held there.
  Core.PressureA.assign(1510, 1000.0f);
  Core.PressureB.assign(1510, 800.0f);
  for (std::size_t k = 0; k <= 200; ++k)
    Core.PressureA[k] = 5.0f * static_cast<float>(k);
  for (std::size_t k = 0; k <= 150; ++k)
    Core.PressureB[k] = 800.0f / 150.0f * static_cast<float>(k);
  Core.Lines.PressureSamples = {1000, 1000};
  const std::string text = PrintCalibrationPage("calibration-printout-curves");
  EXPECT_EQ(text.find(Texts.LoadStringA(9490)), std::string::npos) << text;
  for (const char* label : {"[L/s]", "[s]", "[Pa]"})
    EXPECT_NE(text.find(label), std::string::npos) << label;

  const QImage& image = CalibrationPageImage;
  ASSERT_EQ(image.height(), 1414) << "one page";
  const QRect page = image.rect();
  // Coloured curve pixels (not the black, grey or white of axes, texts and
  // the page) in the loop's column, and in the right column both in the
  // volume-time diagram and in the pressure chart below it.
  const auto coloured = [&](int left, int right, int top, int bottom) {
    int found = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        const QColor c = image.pixelColor(x, y);
        found += c.red() != c.green() || c.green() != c.blue() ? 1 : 0;
      }
    return found;
  };
  int first = -1, last = -1;  // the right column's coloured rows
  for (int y = 0; y < page.height(); ++y)
    if (coloured(page.width() / 2, page.width(), y, y + 1) > 0) {
      first = first < 0 ? y : first;
      last = y;
    }
  ASSERT_GE(first, 0);
  EXPECT_GT(coloured(0, page.width() / 2, 0, page.height()), 200) << "the loop";
  // The volume-time diagram is 140 units high and the chart starts 48
  // units below it: coloured rows at both ends of more than 188 units.
  EXPECT_GT(last - first, static_cast<int>(188 * 1.25));
}

}  // namespace
