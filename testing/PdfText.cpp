#include "testing/PdfText.h"

#include <QProcess>

#include <sstream>
#include <string_view>

std::string Poppler(const char* program, const std::filesystem::path& pdf, const QStringList& options) {
  QProcess process;
  QStringList arguments = QStringList(options) << QString::fromStdString(pdf.string());
  if (std::string_view(program) == "pdftotext")
    arguments << "-";
  process.start(program, arguments);
  if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
    return "<" + std::string(program) + " failed>";
  return process.readAllStandardOutput().toStdString();
}

std::string LineOf(const std::string& text, const std::string& name) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const auto start = line.find_first_not_of(' ');
    if (start != std::string::npos && line.compare(start, name.size() + 1, name + " ") == 0)
      return line.substr(start);
  }
  return {};
}

bool PdfPageToPng(const std::filesystem::path& pdf, int dpi) {
  std::filesystem::path stem = pdf;
  stem.replace_extension();
  QProcess process;
  process.start("pdftoppm", {"-png", "-r", QString::number(dpi), "-singlefile", QString::fromStdString(pdf.string()),
                             QString::fromStdString(stem.string())});
  return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit &&
         process.exitCode() == 0 && std::filesystem::exists(stem.string() + ".png");
}
