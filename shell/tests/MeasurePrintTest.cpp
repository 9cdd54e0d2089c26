// The measurement window printed through the program: the options first,
// then the preview or the printer; afterwards the window shows its test as
// before. Printed for real, the page of an FVC from the demonstration file
// carries the patient, the doctor, the institute, every shown value with
// its predicted value and percent, the note and the curves.

#include "shell/tests/MeasureRunFixture.h"

#include "measure/window/MeasureFrameScreen.h"
#include "platform/basekit/CLocaleFormat.h"
#include "platform/basekit/ui/PrintOptionsDialog.h"
#include "records/window/ApxPreviewWin.h"
#include "records/window/OwnPrinter.h"
#include "shell/app/MdiChild.h"
#include "shell/app/MdiClient.h"
#include "testing/PdfText.h"
#include "testing/Pictures.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QElapsedTimer>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <iostream>
#include <sstream>

namespace {

// What must be as before once a run is over.
struct TWindowState {
  short Kind = 0;
  short GlobalMode = 0;
  short Zoom = 0;
  std::array<std::int16_t, 3> Trials{};
  short Samples = 0;
  std::vector<float> Results;
  std::vector<float> Flow;
  float XScale = 0.0f, YScale = 0.0f;
  bool Printing = false;
  int PrintLine = 0;
  short ScreenMode = 0;
  std::vector<TColor> PenColours;
  std::vector<int> PenWidths;
  bool ScreenCopy = false;

  bool operator==(const TWindowState&) const = default;
};

class MeasurePrint : public TMeasureRunFixture {
protected:
  void AddTestPatient() override {
    const auto doctors = OpenTestTable(Folder / "Database", "doctor.db", &App->GetMessages());
    DoctorRecordType doctor;
    SetFieldText(doctor.Name, "Dr. Szabo Peter");
    doctor.Treating = 1;
    EXPECT_EQ(doctors->AddDoctorRecord(doctor, 1), 0);
    PatientRecordType man = ManOfForty();
    man.Doctor = doctor.Key;
    EXPECT_EQ(Names()->AddPatientRecord(man, 1), 0);
  }

  // An FVC of the demonstration file in a window with a note.
  TMeasure& MeasuredFvc() {
    ExtraIni = "[Institute]\nName=Pulmonology Laboratory\nAddress=12 Lung Street\n";
    TMeasure& window = OpenTest(CM_MEASURE_FVC);
    RunTrial(window);
    // Typed into the note edit, as the user does.
    window.GetNoteEdit()->setText("Good cooperation.");
    return window;
  }

  TWindowState StateOf(TMeasure& window) {
    TWindowState s;
    s.Kind = window.GetMeasureMode();
    s.GlobalMode = TMeasureData::MeasureMode;
    s.Zoom = window.ZoomLevel;
    s.Trials = window.TrialOrder;
    s.Samples = window.SampleCount[MEASURE_FVC][0];
    const float* results = window.GetAktBuffer(MEASURE_FVC, 0);
    s.Results.assign(results, results + 19);
    s.Flow.assign(window.Flow[0].begin(), window.Flow[0].begin() + std::min<std::size_t>(window.Flow[0].size(), 600));
    auto& screen = dynamic_cast<TMeasureFrameScreen&>(window.GetScreen());
    const TMeasurePainter* painter = screen.GetPainter();
    if (painter != nullptr) {
      s.XScale = painter->Display.XScale;
      s.YScale = painter->Display.YScale;
      s.Printing = painter->Display.Printing;
      s.PrintLine = painter->Display.PrintLine;
      s.ScreenMode = painter->Display.ScreenMode;
      for (const TPen& pen : painter->Pens()) {
        s.PenColours.push_back(pen.Color);
        s.PenWidths.push_back(pen.Width);
      }
    }
    s.ScreenCopy = screen.HasScreenCopy();
    return s;
  }

  // Answers the options dialog once it is up: OK or Cancel.
  void AnswerOptions(bool accept, short& dialog) {
    QTimer::singleShot(0, [this, accept, &dialog] {
      auto* options = dynamic_cast<TPrintOptionsDialog*>(QApplication::activeModalWidget());
      if (options == nullptr) {
        ADD_FAILURE() << "no options dialog";
        return;
      }
      dialog = options->Box(7) != nullptr ? 1 : 0;
      SavePicture(*options, "measure-print-options.png");
      options->findChild<QPushButton*>(accept ? "1" : "2")->click();
    });
  }
};

TEST_F(MeasurePrint, PreviewAndARefusedDialogLeaveTheWindowAsItWas) {
  TMeasure& window = MeasuredFvc();
  ASSERT_FALSE(HasFailure());
  EXPECT_TRUE(Enabled(CM_FILEPRINT));
  EXPECT_TRUE(Enabled(CM_FILEPRINTPREVIEW));
  const TWindowState before = StateOf(window);
  ASSERT_FALSE(before.PenColours.empty());

  // The preview of the report, closed from its tool bar.
  short offered = -1;
  AnswerOptions(true, offered);
  bool previewSeen = false;
  int depth = 0;
  QTimer::singleShot(0, [&] {
    QTimer::singleShot(0, [&] {
      auto* preview = dynamic_cast<TApxPreviewWin*>(QApplication::activeModalWidget());
      if (preview == nullptr) {
        ADD_FAILURE() << "no preview";
        return;
      }
      previewSeen = true;
      depth = Client().GetPrintingDepth();
      EXPECT_EQ(preview->PageCount(), 1);
      SavePicture(*preview, "measure-print-preview.png");
      preview->done(2);
    });
  });
  Route(CM_FILEPRINTPREVIEW);
  EXPECT_EQ(offered, 1) << "the graphs and tables are offered";
  EXPECT_TRUE(previewSeen);
  EXPECT_EQ(depth, 1);
  EXPECT_EQ(Client().GetPrintingDepth(), 0);
  EXPECT_TRUE(StateOf(window) == before) << "after the preview";

  // Cancel in the options dialog: nothing printed, the window as before.
  AnswerOptions(false, offered);
  Route(CM_FILEPRINT);
  EXPECT_TRUE(StateOf(window) == before) << "after a refused dialog";
  EXPECT_EQ(Client().GetPrintingDepth(), 0);
}

TEST_F(MeasurePrint, AnFvcFromTheDemonstrationFilePrintedToAPdf) {
  TMeasure& window = MeasuredFvc();
  ASSERT_FALSE(HasFailure());
  // The room's conditions as the user typed them into the panel, not the
  // settings file's (which the panel writes only when the window closes):
  // the printout shows what the results were corrected with.
  window.GetBtps()->GetTemperatureField()->setText("21");
  window.GetBtps()->GetHumidityField()->setText("63");
  window.GetBtps()->GetPressureField()->setText("998");
  const TWindowState before = StateOf(window);
  const std::filesystem::path artifacts = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
  std::filesystem::create_directories(artifacts);
  const std::filesystem::path pdf = artifacts / "program-fvc-printout.pdf";
  std::filesystem::remove(pdf);
  Client().PrintPrompt = false;
  TOwnPrinter& printer = Client().GetPrinter();
  printer.ShowAbortDialog = false;
  printer.Printer().setOutputFileName(QString::fromStdString(pdf.string()));
  short offered = -1;
  AnswerOptions(true, offered);
  QElapsedTimer timer;
  timer.start();
  Route(CM_FILEPRINT);
  std::cout << "[ figure ] the program's FVC printout to PDF (options dialog included): " << timer.elapsed()
            << " ms\n";
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_TRUE(StateOf(window) == before) << "after printing";

  EXPECT_NE(Poppler("pdfinfo", pdf).find("Pages:           1"), std::string::npos);
  const std::string text = Poppler("pdftotext", pdf, {"-layout"});
  for (const char* expected : {"Test Man", "M-40", "Pulmonology Laboratory", "Dr. Szabo Peter", "ECCS", "FVC",
                               "FEV*1,0", "Good cooperation.", "BTPS 21°C 63% 998hPa"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
  // Each shown FVC parameter: its value, predicted value and percent as
  // the window holds them, in the printed table's formats.
  const float* actual = window.GetAktBuffer(MEASURE_FVC, 0);
  const float* predicted = window.GetRefBuffer(MEASURE_FVC, 0);
  const unsigned* shown = window.GetParamStruct(MEASURE_FVC);
  const auto names = TMeasureCore::GetParamStr(MEASURE_FVC);
  int withPredicted = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (shown[i] == 0)
      continue;
    const std::string line = LineOf(text, std::string(names[i]));
    ASSERT_FALSE(line.empty()) << names[i] << "\n" << text;
    const char* format = (i >= 3 && i <= 6) ? "%.0f" : "%.2f";
    EXPECT_NE(line.find(CLocale::Format(format, static_cast<double>(actual[i]))), std::string::npos)
        << names[i] << ": " << line;
    if (predicted[i] == 0.0f)
      continue;
    ++withPredicted;
    EXPECT_NE(line.find(CLocale::Format(format, static_cast<double>(predicted[i]))), std::string::npos) << line;
    const double percent = static_cast<double>(actual[i]) / static_cast<double>(predicted[i]) * 100.0;
    std::string pct = CLocale::Format("%3.0f", percent);
    pct.erase(0, pct.find_first_not_of(' '));
    // The per cent stands alone; without a pre test it ends the line.
    EXPECT_TRUE(line.find(" " + pct + " ") != std::string::npos || line.ends_with(" " + pct))
        << names[i] << " " << percent << ": " << line;
  }
  EXPECT_GE(withPredicted, 3) << "the ECCS set predicts FVC, FEV1 and more";
  // The hand-worked ECCS FVC of a man of 40 and 1.80 m: 4.99 L.
  EXPECT_NE(LineOf(text, "FVC").find("4.99"), std::string::npos) << LineOf(text, "FVC");

  // The page in a picture: the first curve's light blue below the graph
  // titles, in the flow-volume and in the volume-time half of the block.
  const std::string boxes = Poppler("pdftotext", pdf, {"-bbox"});
  const std::size_t title = boxes.find(">Flow-volume<");
  ASSERT_NE(title, std::string::npos) << boxes;
  const std::size_t yMax = boxes.rfind("yMax=\"", title);
  const double titleBottom = std::stod(boxes.substr(yMax + 6));
  const std::filesystem::path png = artifacts / "program-fvc-printout";
  QProcess raster;
  raster.start("pdftoppm", {"-png", "-r", "144", "-aa", "no", "-aaVector", "no", "-singlefile",
                            QString::fromStdString(pdf.string()), QString::fromStdString(png.string())});
  ASSERT_TRUE(raster.waitForFinished(20000) && raster.exitCode() == 0);
  const QImage page(QString::fromStdString(png.string() + ".png"));
  ASSERT_FALSE(page.isNull());
  const int top = static_cast<int>(titleBottom * 2.0);  // points at 144 dpi
  const auto bluePixels = [&](int left, int right) {
    int found = 0;
    for (int y = top; y < page.height(); ++y)
      for (int x = left; x < right; ++x)
        found += page.pixel(x, y) == qRgb(0, 0, 255) ? 1 : 0;
    return found;
  };
  EXPECT_GT(bluePixels(0, page.width() / 2), 50);
  EXPECT_GT(bluePixels(page.width() / 2, page.width()), 50);
}

// A diffusion unit's calibration as the window holds it once it was
// stored, printed with no options dialog to a real PDF.
TEST_F(MeasurePrint, TheCalibrationPageOfTheDiffusionUnit) {
  ExtraIni = "[Institute]\nName=Pulmonology Laboratory\nAddress=12 Lung Street\n";
  TMeasure& window = OpenTest(CM_MEASURE_FVC);
  ASSERT_FALSE(HasFailure());
  EXPECT_FALSE(Enabled(CM_FILEPRINT)) << "nothing measured yet";
  TMeasureData::MeasureMode = MEASURE_CALIBRATION;
  EXPECT_FALSE(Enabled(CM_FILEPRINT)) << "calibration mode, nothing stored";
  window.InstrumentType = 0x70;
  window.SyringeVolume = 3;
  window.InspFactor = 0.95f;
  window.ExpFactor = 1.04f;
  window.InspGasFactor = 0.92f;
  window.SyringeStrokeVolumes = {3.021f, 2.988f, 3.021f, 2.988f};
  window.GasPathStrokeVolumes = {2.760f, 2.760f};
  window.MeasuredCo = 0.288f;
  window.MeasuredHe = 4.944f;
  window.CoConstans = 0.96f;
  window.HeConstans = 1.03f;
  window.FleischPressureLoss = 4;
  window.BalloonPressureLoss = 17;
  window.Calibrated = true;
  ASSERT_TRUE(Enabled(CM_FILEPRINT));

  const std::filesystem::path artifacts = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
  std::filesystem::create_directories(artifacts);
  const std::filesystem::path pdf = artifacts / "program-calibration-printout.pdf";
  std::filesystem::remove(pdf);
  Client().PrintPrompt = false;
  TOwnPrinter& printer = Client().GetPrinter();
  printer.ShowAbortDialog = false;
  printer.Printer().setOutputFileName(QString::fromStdString(pdf.string()));
  bool dialogSeen = false;
  QTimer::singleShot(0, [&] {
    if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr) {
      dialogSeen = true;
      modal->close();
    }
  });
  Route(CM_FILEPRINT);
  EXPECT_FALSE(dialogSeen) << "the calibration page asks for no options";
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_EQ(TMeasureData::MeasureMode, MEASURE_CALIBRATION) << "the window stays in its calibration";

  const std::string text = Poppler("pdftotext", pdf, {"-layout"});
  // Syringe 3000 ml; 3021 ml read is 0.7 % over it, 2988 ml 0.4 % under;
  // the gas path's 2760 ml over its constant 0.92 is 3000 ml, 0.0 % off.
  // The gas rows: each reading, its constant and their product
  // (0.288 × 0.96 = 0.28, 4.944 × 1.03 = 5.09).
  for (const char* expected : {"Pulmonology Laboratory", "3000 ml", "0.95", "1.04", "0.92", "3021 ml", "0.7 %",
                               "2988 ml", "-0.4 %", "0.0 %", "0.29 %", "0.96", "0.28 %", "4.94 %", "1.03", "5.09 %"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
  std::istringstream lines(text);
  int losses = 0;
  for (std::string line; std::getline(lines, line);)
    if (line.find("Loss of the Fleisch line:") != std::string::npos)
      losses += line.find(" 4 %") != std::string::npos ? 1 : 100;
    else if (line.find("Loss of the balloon line:") != std::string::npos)
      losses += line.find(" 17 %") != std::string::npos ? 1 : 100;
  EXPECT_EQ(losses, 2) << text;
  // The pressure chart's axes: its unit and its top label, 1400 Pa.
  for (const char* label : {"[Pa]", "1400"})
    EXPECT_NE(text.find(label), std::string::npos) << label << "\n" << text;
  EXPECT_EQ(text.find("Dr. Szabo Peter"), std::string::npos) << "an instrument's page names no doctor";

  // The page as a picture beside the PDF, for the reviewer.
  const std::filesystem::path png = artifacts / "program-calibration-printout";
  QProcess raster;
  raster.start("pdftoppm", {"-png", "-r", "72", "-singlefile", QString::fromStdString(pdf.string()),
                            QString::fromStdString(png.string())});
  ASSERT_TRUE(raster.waitForFinished(20000) && raster.exitCode() == 0);
  EXPECT_FALSE(QImage(QString::fromStdString(png.string() + ".png")).isNull());
}

// The browser's print button: the stored tests chosen in the list are
// loaded, printed and their window closed again.
class BrowserPrint : public MeasurePrint {
protected:
  // Prints the chosen lines of the browser into `pdf`.
  void PrintFromBrowser(int lines, int chosen, const std::filesystem::path& pdf) {
    Client().PrintPrompt = false;
    TOwnPrinter& printer = Client().GetPrinter();
    printer.ShowAbortDialog = false;
    printer.Printer().setOutputFileName(QString::fromStdString(pdf.string()));
    bool printed = false;
    QTimer::singleShot(0, [&] {
      QWidget* browser = QApplication::activeModalWidget();
      auto* list = browser != nullptr ? browser->findChild<QListWidget*>() : nullptr;
      if (list == nullptr) {
        ADD_FAILURE() << "no browser";
        return;
      }
      EXPECT_EQ(list->count(), lines);
      list->clearSelection();
      for (int row = 0; row < chosen; ++row)
        list->item(row)->setSelected(true);
      auto* print = browser->findChild<QPushButton*>("5729");
      EXPECT_TRUE(print != nullptr && print->isEnabled());
      short offered = -1;
      AnswerOptions(true, offered);
      print->click();
      printed = true;
      const THalvetraMDIChild* frame = Client().GetMeasureFrame();
      EXPECT_TRUE(frame == nullptr || !frame->isVisible()) << "the window loaded for the printout is closed";
      SavePicture(*browser, "browser-after-print.png");
      browser->close();
    });
    Route(CM_BROWSE_MEASUREMENTS);
    EXPECT_TRUE(printed);
  }
};

TEST_F(BrowserPrint, AStoredTestAndAPrePostPair) {
  // Two examinations of one window: a trial saved, another trial saved.
  TMeasure& window = MeasuredFvc();
  ASSERT_FALSE(HasFailure());
  const float first = window.GetAktBuffer(MEASURE_FVC, 0)[0];
  ASSERT_TRUE(Route(CM_SAVE_MEASUREMENT));
  RunTrial(window);
  ASSERT_FALSE(HasFailure());
  ASSERT_TRUE(Route(CM_SAVE_MEASUREMENT));
  const std::filesystem::path artifacts = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
  std::filesystem::create_directories(artifacts);

  // One of them alone: no pre test, so no previous column, no change and
  // no date picture in its place.
  const std::filesystem::path single = artifacts / "browser-fvc-printout.pdf";
  std::filesystem::remove(single);
  PrintFromBrowser(2, 1, single);
  ASSERT_TRUE(std::filesystem::exists(single));
  std::string text = Poppler("pdftotext", single, {"-layout"});
  EXPECT_EQ(text.find("YYYY.MM.DD."), std::string::npos) << text;
  EXPECT_EQ(text.find(App->GetMessages().LoadStringA(73)), std::string::npos) << text;
  EXPECT_EQ(text.find("Pre."), std::string::npos) << "no previous curve in the legend\n" << text;
  EXPECT_TRUE(PdfPageToPng(single));

  // Both: a pre/post pair, the earlier one as the pre test.
  const std::filesystem::path pair = artifacts / "browser-prepost-printout.pdf";
  std::filesystem::remove(pair);
  PrintFromBrowser(2, 2, pair);
  ASSERT_TRUE(std::filesystem::exists(pair));
  text = Poppler("pdftotext", pair, {"-layout"});
  EXPECT_EQ(text.find("YYYY.MM.DD."), std::string::npos) << "the pre test's date\n" << text;
  EXPECT_NE(text.find(App->GetMessages().LoadStringA(73)), std::string::npos) << "the change column\n" << text;
  EXPECT_NE(text.find("Pre."), std::string::npos) << "the previous curve in the legend\n" << text;
  EXPECT_TRUE(PdfPageToPng(pair));
  EXPECT_NE(LineOf(text, "FVC").find(CLocale::Format("%.2f", static_cast<double>(first))), std::string::npos)
      << LineOf(text, "FVC");
}

// A provocation's baseline and provoked stages stored in the database
// print together as the provocation report.
TEST_F(BrowserPrint, AProvocationSeries) {
  Folder.Write("Halvetra.ini", "[Hardware]\nInstall=1\nMode=0\n");
  Start();
  CreateDatabase();
  PatientRecordType man = ManOfForty();
  ASSERT_EQ(Names()->AddPatientRecord(man, 1), 0);
  const std::filesystem::path data = Folder / "Database/Data";
  auto meet = OpenTestTable(data, "meet.db", &App->GetMessages());
  auto fvc = OpenTestTable(data, "fvc.db", &App->GetMessages());
  std::vector<float> curve(400);
  for (std::size_t i = 0; i < curve.size(); ++i)
    curve[i] = i < 100 ? 4.0f : i < 300 ? -2.0f : 0.0f;
  const struct {
    const char* Time;
    std::int32_t Flags;
    float Fvc;
  } stages[] = {{"09:00:00", MeetFlag::Fvc | MeetFlag::Baseline, 4.80f},
                {"09:20:00", MeetFlag::Fvc | MeetFlag::Provoked, 3.60f}};
  for (const auto& stage : stages) {
    MeetRecordType record;
    record.PatientKey = man.Key;
    SetFieldText(record.Date, "2026.12.01.");
    SetFieldText(record.Time, stage.Time);
    record.Flags = stage.Flags;
    SetFieldText(record.Agent, "Metacholin");
    record.Concentration = 2.5f;
    record.Dose = 1.0f;
    ASSERT_EQ(meet->AddMeetRecord(record, 1), 0);
    std::vector<float> actual(19, 1.0f), reference(19, 4.0f), rsd(19, 0.5f);
    actual[0] = stage.Fvc;
    ASSERT_EQ(fvc->AddSpiroRecord(actual, reference, rsd, 19, curve, static_cast<short>(curve.size()),
                                  record.MeetKey, 1), 0);
  }
  meet.reset();
  fvc.reset();
  ASSERT_TRUE(Route(CM_OPEN_PATIENT));

  const std::filesystem::path artifacts = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
  std::filesystem::create_directories(artifacts);
  const std::filesystem::path pdf = artifacts / "browser-provocation-printout.pdf";
  std::filesystem::remove(pdf);
  PrintFromBrowser(2, 2, pdf);
  ASSERT_TRUE(std::filesystem::exists(pdf));
  const std::string text = Poppler("pdftotext", pdf, {"-layout"});
  // The provocation title, and FVC: the base 4.80 L, the provoked 3.60 L
  // at 75 % of it (3.60 / 4.80), the fall of 1.20 L at -25 %.
  EXPECT_NE(text.find(App->GetMessages().LoadStringA(295)), std::string::npos) << text;
  const std::string line = LineOf(text, "FVC");
  for (const char* expected : {"4.80", "3.60", " 75", "-1.20", "-25"})
    EXPECT_NE(line.find(expected), std::string::npos) << expected << ": " << line;
}

}  // namespace
