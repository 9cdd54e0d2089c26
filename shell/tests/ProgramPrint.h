#pragma once

// A print through the program's File > Print into a PDF in build/artifacts,
// as the operator gives it: no prompt, no abort dialog, the print options
// answered with their first button. Answers the PDF's text; a test fails
// when the options were not asked or no file came.

#include "common/CommandNumbers.h"
#include "platform/basekit/ui/PrintOptionsDialog.h"
#include "records/window/OwnPrinter.h"
#include "shell/app/MdiClient.h"
#include "testing/PdfText.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

inline std::string PrintThroughTheProgram(THalvetraMDIClient& client, const std::function<bool(unsigned)>& route,
                                          const std::string& pdfName) {
  const std::filesystem::path artifacts = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
  std::filesystem::create_directories(artifacts);
  const std::filesystem::path pdf = artifacts / pdfName;
  std::filesystem::remove(pdf);
  client.PrintPrompt = false;
  TOwnPrinter& printer = client.GetPrinter();
  printer.ShowAbortDialog = false;
  printer.Printer().setOutputFileName(QString::fromStdString(pdf.string()));
  bool answered = false;
  QTimer::singleShot(0, [&answered] {
    auto* options = dynamic_cast<TPrintOptionsDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(options, nullptr);
    answered = true;
    options->findChild<QPushButton*>("1")->click();
  });
  route(CM_FILEPRINT);
  EXPECT_TRUE(answered) << "the print options were asked";
  if (!std::filesystem::exists(pdf)) {
    ADD_FAILURE() << "nothing was printed to " << pdf;
    return {};
  }
  return PdfText(pdf);
}
