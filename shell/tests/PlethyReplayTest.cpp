// The body plethysmograph through the real program on its demonstration
// trial (PlDemo.bin, made by tools/demogen from the box model): the
// evaluation with the artefact search, the loop commands, the screen in
// both layouts and the test saved and read back from its SQLite files.

#include "shell/tests/MeasureRunFixture.h"

#include "measure/report/MeasurePrintout.h"
#include "measure/report/PainterCurves.h"
#include "measure/screen/MeasurePainter.h"
#include "platform/basekit/PrintCanvas.h"
#include "platform/basekit/ui/PrintOptionsDialog.h"
#include "testing/PdfPage.h"
#include "platform/portkit/plethysmography/Trial.h"
#include "records/MeasureAccess.h"
#include "records/window/OwnPrinter.h"
#include "testing/PdfText.h"


#include <QApplication>
#include <QCheckBox>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <cstring>
#include <vector>

namespace {

namespace pl = plethysmography;

class PlethyReplay : public TMeasureRunFixture {
protected:
  PlethyReplay() {
    // The room the demonstration trial was made in (25 °C, 50 %), the IVC
    // after RV completing TLC.
    // The model's mouthpiece adds no resistance of its own.
    ExtraIni = "[Hardware Plethysmograph]\nInstall=1\n[Plethysmograph Parameters]\nEndOfMeasurementWithIVC=1\n"
               "ResistanceOfSensor=0\n"
               "[BTPS]\nBTPS=1\nTEMPERATURE=25\nHUMIDITY=50\nPRESSURE=1013\n";
  }

  TMeasure& RunDemonstration() {
    TMeasure& window = OpenTest(CM_MEASURE_PLETHY);
    EXPECT_EQ(window.GetMeasureMode(), MEASURE_PLETHY);
    // Over the whole work area, as the operator has it.
    for (QWidget* up = window.parentWidget(); up; up = up->parentWidget())
      if (auto* frame = qobject_cast<QMdiSubWindow*>(up)) {
        frame->showMaximized();
        break;
      }
    QApplication::processEvents();
    RunTrial(window);
    return window;
  }

  void Picture(TMeasure& window, const std::string& name) {
    window.GetView().RedrawScreenBmp();
    QApplication::processEvents();
    SavePicture(*window.window(), name);
  }

  // The printed block of the trial as a PDF, drawn by a painter of the
  // printout's own at the zoom step that holds the loops.
  void PrintBlock(TMeasure& window) {
    const std::filesystem::path artifacts = std::filesystem::path(HALVETRA_BIN_DIR) / ".." / "artifacts";
    std::filesystem::create_directories(artifacts);
    const std::filesystem::path pdf = artifacts / "plethy-printed-block.pdf";
    {
      TPdfPage page(pdf);
      TPrintCanvas canvas(page.Surface(), 1.0f, 1.0f);
      canvas.PrintY = 60;
      const TUtil colours(TMeasurePrintout::PrintColours());
      TMeasurePainter measurePainter(window, colours, App->GetMessages(), nullptr);
      TPainterCurves curves(measurePainter);
      curves.CalculatePrintZoom(MEASURE_PLETHY, false, false);
      curves.DrawAxes(canvas, MEASURE_PLETHY, false);
      curves.DrawSlot(canvas, MEASURE_PLETHY, 0, 0, false, true, false);
    }
    const std::string text = PdfText(pdf);
    for (const char* unit : {"[L/s]", "[kPa]", "[Pa]"})
      EXPECT_NE(text.find(unit), std::string::npos) << unit << " in " << text;
    EXPECT_EQ(text.find("[s]"), std::string::npos) << "no volume-time panel on paper";
  }

  // The whole page through the print command: the plethysmograph's table
  // and graph chosen in the options dialog, with or without the second
  // graph, into a PDF.
  std::filesystem::path PrintPage(bool secondGraph) {
    const std::filesystem::path artifacts = std::filesystem::path(HALVETRA_BIN_DIR) / ".." / "artifacts";
    std::filesystem::create_directories(artifacts);
    const std::filesystem::path pdf =
        artifacts / (secondGraph ? "plethy-printout-second-graph.pdf" : "plethy-printout.pdf");
    std::filesystem::remove(pdf);
    Client().PrintPrompt = false;
    TOwnPrinter& printer = Client().GetPrinter();
    printer.ShowAbortDialog = false;
    printer.Printer().setOutputFileName(QString::fromStdString(pdf.string()));
    QTimer::singleShot(0, [secondGraph] {
      auto* options = dynamic_cast<TPrintOptionsDialog*>(QApplication::activeModalWidget());
      if (options == nullptr) {
        ADD_FAILURE() << "no options dialog";
        return;
      }
      for (const int entry : {4, 11, 12}) {
        QCheckBox* box = options->Box(entry);
        if (box == nullptr) {
          ADD_FAILURE() << "entry " << entry << " is not offered";
          continue;
        }
        box->setChecked(entry != 12 || secondGraph);
      }
      options->findChild<QPushButton*>("1")->click();
    });
    Route(CM_FILEPRINT);
    return pdf;
  }

  static float Value(TMeasure& window, pl::PlethyParameter p) { return window.GetAktBuffer(MEASURE_PLETHY, 0)[p]; }
};

// The model patient: TGV 3.2 L, ERV 1.6 L, IVC 4.4 L, Raw 0.15 kPa·s/L, in a
// 960-L box with a 75-kg patient, 0.08 L between mouth and shutter. The
// man on the sheet weighs 80 kg, so the window's box is 960 - 80/1.07 =
// 885.234 L where the model's was 960 - 75/1.07 = 889.907 L. TGV + 0.08 is
// proportional to the box volume: 3.28 x 885.234 / 889.907 = 3.2628, so
// TGV = 3.1828 L, RV = 3.1828 - 1.6 = 1.5828 L, TLC = 1.5828 + 4.4 =
// 5.9828 L; Raw scales with the box as well: 0.15 x 0.994749 = 0.14921.
TEST_F(PlethyReplay, TheDemonstrationTrialGivesTheModelsVolumesAndResistance) {
  TMeasure& window = RunDemonstration();
  ASSERT_FALSE(HasFailure());
  EXPECT_NEAR(Value(window, pl::TGV), 3.1828f, 0.02f * 3.1828f);
  EXPECT_NEAR(Value(window, pl::RV), 1.5828f, 0.02f * 1.5828f);
  EXPECT_NEAR(Value(window, pl::TLC), 5.9828f, 0.02f * 5.9828f);
  EXPECT_NEAR(Value(window, pl::Raw), 0.14921f, 0.05f * 0.14921f);
  // The best trial by sGaw (= 1 / (Raw x TGV) here, the only trial).
  EXPECT_NEAR(Value(window, pl::sGaw), 1.0f / (Value(window, pl::Raw) * Value(window, pl::TGV)), 0.01f);
  EXPECT_EQ(window.TrialOrder[0], 1);
  // The search ran and left its result in the status line.
  EXPECT_EQ(window.ReadoutGroup, 0);
  EXPECT_EQ(window.PlethyEvaluation.Status.rfind("K:", 0), 0u) << window.PlethyEvaluation.Status;
  // The volume curve reads absolute lung volume: its lowest point after the
  // shutter opened is RV.
  const TPlethySlot* slot = window.GetPlethySlot(0);
  ASSERT_NE(slot, nullptr);
  EXPECT_GT(slot->LoopCount, 1);
  EXPECT_LT(slot->BeginResistanceLoop, slot->EndResistanceLoop);
  EXPECT_LT(slot->BeginTGVLoop, slot->EndTGVLoop);
  // Both layouts at the smallest and the largest zoom step.
  for (const short zoom : {short{0}, short{3}}) {
    window.ZoomLevel = zoom;
    window.GetView().SetCurrentFactor();
    Picture(window, "measure-plethy-demo-normal-zoom" + std::to_string(zoom) + ".png");
  }
  PrintBlock(window);
  window.DispatchCommand(CM_SCREEN);
  QApplication::processEvents();
  for (const short zoom : {short{0}, short{3}}) {
    window.ZoomLevel = zoom;
    window.GetView().SetCurrentFactor();
    Picture(window, "measure-plethy-demo-full-zoom" + std::to_string(zoom) + ".png");
  }
}

// The page printed through the program, with and without the second
// graph: the table holds TGV, RV, TLC and Raw near the hand-worked figures
// of the model (above), the loop titles stand under the table, the second
// graph's title and its flow-volume and volume-time panels only when it is
// chosen, and every word lies on the page.
TEST_F(PlethyReplay, ThePrintedPageHoldsTheResultsAndTheLoopsWithAndWithoutTheSecondGraph) {
  RunDemonstration();
  ASSERT_FALSE(HasFailure());
  // The printed value: the first number after the unit's closing bracket.
  const auto printed = [](const std::string& line) {
    const std::size_t unit = line.find(']');
    return unit == std::string::npos ? -1.0 : std::stod(line.substr(unit + 1));
  };
  struct TFigure {
    const char* Name;
    double Expected, Share;
  };
  for (const bool second : {false, true}) {
    SCOPED_TRACE(second ? "with the second graph" : "without the second graph");
    const std::filesystem::path pdf = PrintPage(second);
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_NE(Poppler("pdfinfo", pdf).find("Pages:           1"), std::string::npos);
    const std::string text = PdfText(pdf);
    // Two decimals on paper: half a hundredth more than the window's share.
    for (const TFigure f : {TFigure{"TGV", 3.1828, 0.02}, TFigure{"RV", 1.5828, 0.02}, TFigure{"TLC", 5.9828, 0.02},
                            TFigure{"Raw", 0.14921, 0.05}}) {
      const std::string line = LineOf(text, f.Name);
      ASSERT_FALSE(line.empty()) << f.Name << "\n" << text;
      EXPECT_NEAR(printed(line), f.Expected, f.Share * f.Expected + 0.005) << line;
    }
    for (const char* title : {"Resistance loops", "Thoracic gas volume"})
      EXPECT_NE(text.find(title), std::string::npos) << title;
    EXPECT_EQ(text.find("Flow-volume and volume-time curves") != std::string::npos, second);

    // Every word inside the page.
    const std::string boxes = Poppler("pdftotext", pdf, {"-bbox"});
    const auto attribute = [&](std::size_t from, const char* name) {
      const std::size_t at = boxes.find(std::string(name) + "=\"", from);
      return at == std::string::npos ? -1.0 : std::stod(boxes.substr(at + std::strlen(name) + 2));
    };
    const std::size_t page = boxes.find("<page ");
    ASSERT_NE(page, std::string::npos);
    const double width = attribute(page, "width");
    const double height = attribute(page, "height");
    int words = 0;
    for (std::size_t w = boxes.find("<word ", page); w != std::string::npos; w = boxes.find("<word ", w + 1)) {
      ++words;
      EXPECT_GE(attribute(w, "xMin"), 0.0);
      EXPECT_GE(attribute(w, "yMin"), 0.0);
      EXPECT_LE(attribute(w, "xMax"), width);
      EXPECT_LE(attribute(w, "yMax"), height);
    }
    EXPECT_GT(words, 100);

    // The second graph under its title: the panels' units, the time axis
    // to 60 s in the right column, the flow axis in the left one.
    const auto wordBox = [&](const std::string& word, std::size_t from) {
      const std::size_t at = boxes.find(">" + word + "<", from);
      return at == std::string::npos ? std::string::npos : boxes.rfind("<word ", at);
    };
    const std::size_t secondTitle = wordBox("Flow-volume", page);
    EXPECT_EQ(secondTitle != std::string::npos, second);
    EXPECT_EQ(wordBox("[s]", page) != std::string::npos, second);
    if (second && secondTitle != std::string::npos) {
      const double titleY = attribute(secondTitle, "yMax");
      for (const char* unit : {"[s]", "60"}) {
        const std::size_t w = wordBox(unit, page);
        ASSERT_NE(w, std::string::npos) << unit;
        EXPECT_GT(attribute(w, "yMin"), titleY) << unit << " under the title";
        EXPECT_GT(attribute(w, "xMin"), width / 2) << unit << " in the right column";
      }
      double lowest = -1.0;
      for (std::size_t at = boxes.find(">[L/s]<", page); at != std::string::npos; at = boxes.find(">[L/s]<", at + 1))
        lowest = std::max(lowest, attribute(boxes.rfind("<word ", at), "yMin"));
      EXPECT_GT(lowest, titleY - 12.0) << "the flow-volume panel's flow axis beside the title's row";
    }

    // The loops are drawn: dark pixels below the loop titles in both
    // columns, and none at the page's foot.
    const std::size_t title = boxes.find(">Resistance<");
    ASSERT_NE(title, std::string::npos);
    const double titleBottom = attribute(boxes.rfind("<word ", title), "yMax");
    const std::filesystem::path png = pdf.parent_path() / pdf.stem();
    QProcess raster;
    raster.start("pdftoppm", {"-png", "-r", "72", "-aa", "no", "-aaVector", "no", "-singlefile",
                              QString::fromStdString(pdf.string()), QString::fromStdString(png.string())});
    ASSERT_TRUE(raster.waitForFinished(20000) && raster.exitCode() == 0);
    const QImage picture(QString::fromStdString(png.string() + ".png"));
    ASSERT_FALSE(picture.isNull());
    const auto dark = [&](int left, int right, int top, int bottom) {
      int found = 0;
      for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
          found += qGray(picture.pixel(x, y)) < 160 ? 1 : 0;
      return found;
    };
    const int below = static_cast<int>(titleBottom) + 12;  // under the unit texts' row
    EXPECT_GT(dark(0, picture.width() / 2, below, picture.height()), 150);
    EXPECT_GT(dark(picture.width() / 2, picture.width(), below, picture.height()), 150);
    // The second graph reaches further down, still short of the page's
    // last twentieth.
    const int free = second ? picture.height() * 19 / 20 : picture.height() * 9 / 10;
    EXPECT_EQ(dark(0, picture.width(), free, picture.height()), 0);
  }
}

// Each loop command steps trial 1, 2 or 3 to its next valid loop and
// measures the resistance on it; the last loop wraps to the first, which
// gives its figures back.
TEST_F(PlethyReplay, TheLoopCommandsStepThroughTheValidLoopsAndWrap) {
  TMeasure& window = RunDemonstration();
  ASSERT_FALSE(HasFailure());
  const TPlethySlot before = *window.GetPlethySlot(0);
  const float raw = Value(window, pl::Raw);
  ASSERT_GT(before.LoopCount, 1);
  EXPECT_TRUE(Enabled(CM_RESISTANCE_LOOP1));
  EXPECT_FALSE(Enabled(CM_RESISTANCE_LOOP2)) << "trial 2 holds no loops";
  ASSERT_TRUE(Route(CM_RESISTANCE_LOOP1));
  const TPlethySlot& after = *window.GetPlethySlot(0);
  const int next = (before.SelectedLoop + 1) % before.LoopCount;
  EXPECT_EQ(after.SelectedLoop, next);
  EXPECT_EQ(after.BeginResistanceLoop, before.Loops[static_cast<std::size_t>(next)].Begin);
  EXPECT_EQ(after.EndResistanceLoop, before.Loops[static_cast<std::size_t>(next)].End);
  EXPECT_NE(after.BeginResistanceLoop, before.BeginResistanceLoop);
  // Another breath of the same airway: its own figure, near the model's.
  EXPECT_NE(Value(window, pl::Raw), raw);
  EXPECT_NEAR(Value(window, pl::Raw), 0.14921f, 0.2f * 0.14921f);
  for (int k = 1; k < before.LoopCount; ++k)
    ASSERT_TRUE(Route(CM_RESISTANCE_LOOP1));
  EXPECT_EQ(window.GetPlethySlot(0)->SelectedLoop, before.SelectedLoop);
  EXPECT_FLOAT_EQ(Value(window, pl::Raw), raw);
}

// The demonstration trial cut short behind a box log's head (the patient
// block, the BTPS block, the stored value and the zero-flow start), in the
// form the settings' log file takes PlDemo.bin's place: one message naming
// the file, no sample and no result in the window, nothing stored.
TEST_F(PlethyReplay, ATrialFileCutShortGivesOneMessageAndTheWindowKeepsNothing) {
  const std::string demo = TTemporaryFolder::Read(std::filesystem::path(HALVETRA_BIN_DIR) / "PlDemo.bin");
  ASSERT_GT(demo.size(), 1000u);
  const std::string head(PREDICTED_DATA::ByteSize + 17 + 4 + 4, '\0');
  ExtraIni += "[Creating Measure Log]\nReadEnable=1\nReadFileName=Bad\\Short.001\n";
  std::filesystem::create_directories(Folder / "Bad");
  // In the constants, in the marks, one byte short of the last sample.
  for (const std::size_t cut : {std::size_t{20}, std::size_t{30}, demo.size() - 1}) {
    SCOPED_TRACE(cut);
    Folder.Write("Bad/Short.001", head + demo.substr(0, cut));
    TMeasure& window = OpenTest(CM_MEASURE_PLETHY);
    ASSERT_TRUE(Enabled(CM_START));
    ASSERT_TRUE(Route(CM_START));
    QApplication::processEvents();
    for (int step = 0; step < 100 && window.IsRunning(); ++step) {
      LinkClock->Advance(100);
      QApplication::processEvents();
    }
    EXPECT_FALSE(window.IsRunning());
    ASSERT_EQ(Sink.Messages.size(), 1u);
    EXPECT_NE(Sink.Messages[0].Text.find("Short.001"), std::string::npos) << Sink.Messages[0].Text;
    Sink.Messages.clear();
    EXPECT_EQ(window.GetBufferSize(MEASURE_PLETHY, 0), 0);
    EXPECT_EQ(window.GetAktBuffer(MEASURE_PLETHY, 0)[pl::TGV], 0.0f);
    EXPECT_FALSE(window.HasUnsavedResults());
    Route(CM_SAVE_MEASUREMENT);
    long rows = 0;
    if (std::filesystem::exists(Folder / "Database/Data/pl.db"))
      OpenTestTable(Folder / "Database/Data", "pl.db", &App->GetMessages())->GetNumberOfRecords(rows);
    EXPECT_EQ(rows, 0) << "nothing stored";
    App.reset();
    std::filesystem::remove_all(Folder / "Database");
  }
}

// Saved as the tool button saves it and read back as the browser asks for
// it: the record, the chosen loops and their samples come back unchanged.
TEST_F(PlethyReplay, AStoredTrialLoadsBackUnchanged) {
  TMeasure& window = RunDemonstration();
  ASSERT_FALSE(HasFailure());
  const std::vector<float> record(window.GetAktBuffer(MEASURE_PLETHY, 0),
                                  window.GetAktBuffer(MEASURE_PLETHY, 0) + PLETHY_PARAMETER_COUNT);
  const TPlethySlot slot = *window.GetPlethySlot(0);
  const auto samples = [&](const float* curve, int begin, int end) { return std::vector<float>(curve + begin, curve + end); };
  const std::vector<float> resistanceBox =
      samples(window.GetSpiroBoxPressureBuffer(0), slot.BeginResistanceLoop, slot.EndResistanceLoop);
  const std::vector<float> resistanceFlow =
      samples(window.GetSpiroFlowBuffer(0), slot.BeginResistanceLoop, slot.EndResistanceLoop);
  const std::vector<float> tgvMouth = samples(window.GetSpiroMouthPressureBuffer(0), slot.BeginTGVLoop, slot.EndTGVLoop);
  EXPECT_TRUE(Route(CM_SAVE_MEASUREMENT));
  long rows = 0;
  OpenTestTable(Folder / "Database/Data", "pl.db", &App->GetMessages())->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 1);
  EXPECT_FALSE(window.HasUnsavedResults());

  window.ClearAktBuffer(MEASURE_PLETHY, 0);
  LoadFirstStoredExamination();
  const float* loaded = window.GetAktBuffer(MEASURE_PLETHY, 0);
  for (std::size_t p = 0; p < PLETHY_PARAMETER_COUNT; ++p)
    EXPECT_EQ(loaded[p], record[p]) << PlethyParameterNames[p];
  // A loaded curve lies behind the expansion's leading samples; the loops
  // move with it, so they bound the same samples as before.
  const TPlethySlot& back = *window.GetPlethySlot(0);
  constexpr int shift = MeasureLimits::ExpansionShift;
  EXPECT_EQ(back.BeginResistanceLoop, slot.BeginResistanceLoop + shift);
  EXPECT_EQ(back.EndResistanceLoop, slot.EndResistanceLoop + shift);
  EXPECT_EQ(back.BeginTGVLoop, slot.BeginTGVLoop + shift);
  EXPECT_EQ(back.EndTGVLoop, slot.EndTGVLoop + shift);
  EXPECT_EQ(back.Values, slot.Values);
  EXPECT_EQ(samples(window.GetSpiroBoxPressureBuffer(0), back.BeginResistanceLoop, back.EndResistanceLoop),
            resistanceBox);
  EXPECT_EQ(samples(window.GetSpiroFlowBuffer(0), back.BeginResistanceLoop, back.EndResistanceLoop), resistanceFlow);
  EXPECT_EQ(samples(window.GetSpiroMouthPressureBuffer(0), back.BeginTGVLoop, back.EndTGVLoop), tgvMouth);
}

}  // namespace
