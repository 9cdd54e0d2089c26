// The printed result table on a printer page (a PDF read back with
// pdftotext), drawn with the page mapping of a printout at the screen
// factors the program runs with: every cell's text stays between its
// column's rules.

#include "measure/report/PrintedTables.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/ui/PainterSurface.h"

#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using ResultCells::TResultRow;
using ResultCells::TResultTable;

// The widest cells a row has: two-decimal values with their predicted
// values, percentages, marks and the signed change.
TResultTable WideRows() {
  TResultTable table;
  table.PreHasResult = true;
  for (const auto& [name, unit] : {std::pair{"FEF*25-75%", "[L/s]"}, std::pair{"PEF", "[L/s]"}}) {
    TResultRow row;
    row.Row = static_cast<short>(table.Rows.size());
    row.Name = name;
    row.Unit = unit;
    row.Slots = {12.68f, 0.0f, 0.0f, 10.16f};
    row.Actual = 12.68f;
    row.HasTrial = {true, false, false};
    row.Predicted = 9.48f;
    row.PredictedPre = 9.47f;
    row.RsdMark = "+++";
    table.Rows.push_back(row);
  }
  return table;
}

// The screens' factors: width / 800 and height / 600. A screen taller
// for its width (the test platform's 800 x 800) has the larger vertical
// factor, which the texts' height follows.
struct TScreen {
  const char* Name;
  float Fx, Fy;
};
constexpr TScreen Screens[] = {{"800x600", 1.0f, 1.0f},
                               {"1024x768", 1.28f, 1.28f},
                               {"1280x1024", 1.6f, 1024.0f / 600.0f},
                               {"800x800", 1.0f, 800.0f / 600.0f}};

// The words pdftotext finds on the page with their left and right edges,
// in points.
struct TWord {
  std::string Text;
  double Left, Right;
};
std::vector<TWord> WordsOf(const std::filesystem::path& pdf) {
  QProcess process;
  process.start("pdftotext", {"-bbox", QString::fromStdString(pdf.string()), "-"});
  process.waitForFinished(20000);
  const QString html = QString::fromUtf8(process.readAllStandardOutput());
  std::vector<TWord> words;
  static const QRegularExpression word(
      R"re(<word xMin="([0-9.]+)" yMin="[0-9.]+" xMax="([0-9.]+)" yMax="[0-9.]+">([^<]*)</word>)re");
  for (auto it = word.globalMatch(html); it.hasNext();) {
    const auto m = it.next();
    words.push_back({m.captured(3).toStdString(), m.captured(1).toDouble(), m.captured(2).toDouble()});
  }
  return words;
}

TEST(PrintedTablesPage, CellsStayInsideTheirRulesOnAPrinterPage) {
  const TMessage texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  const std::filesystem::path artifacts = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
  std::filesystem::create_directories(artifacts);
  for (const TScreen& c : Screens) {
    SCOPED_TRACE(c.Name);
    const std::filesystem::path pdf = artifacts / (std::string("printed-table-") + c.Name + ".pdf");
    double pointsPerUnit = 0.0;
    {
      // A printer page as the program prints it: 800 units times the
      // screen factor across the paper.
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(pdf.string()));
      printer.setFullPage(true);
      QPainter painter(&printer);
      const QRect page = painter.viewport();
      const int width = static_cast<int>(800.0f * c.Fx);
      painter.setWindow(0, 0, width, width * page.height() / page.width());
      pointsPerUnit = printer.pageLayout().fullRect(QPageLayout::Point).width() / 800.0;
      TPainterSurface surface(painter);
      TPrintCanvas canvas(surface, c.Fx, c.Fy);
      canvas.PrintY = 40;
      short rows = 0;
      PrintedTables::DrawPrePostTitle(canvas, texts, {});
      PrintedTables::DrawPrePostTable(canvas, WideRows(), rows);
    }
    const std::vector<TWord> words = WordsOf(pdf);
    const auto inside = [&](const std::string& text, int left, int right) {
      int found = 0;
      for (const TWord& w : words)
        if (w.Text == text) {
          ++found;
          EXPECT_GT(w.Left, left * pointsPerUnit) << text;
          EXPECT_LT(w.Right, right * pointsPerUnit) << text;
        }
      EXPECT_EQ(found, 2) << text;
    };
    // The first column's value and mark, the pre column's value and
    // percent, the change column's difference and change, each between
    // its rules.
    inside("12.68", 251, 446);
    inside("+++", 251, 446);
    inside("10.16", 446, 611);
    inside("107", 446, 611);
    inside("2.52", 611, 741);
    inside("+25", 611, 741);
  }
}

}  // namespace
